#!/usr/bin/env bash
# Writes the seed inputs of the fuzz targets into tests/fuzz/corpus/<target>/:
# excerpts of res/cpudef.dat, benchmark log lines, the edge cases of the unit
# tests and the CPUID dumps of tests/data/cpuid, each behind the control bytes
# its target reads first (the layout is described at the top of each target).
# Run it after changing a target's input layout, and commit the result; the fuzz
# runs never write here.
# Usage: tests/fuzz/make-seeds.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
corpus=$here/corpus
cpudef=$root/res/cpudef.dat
dumps=$root/tests/data/cpuid

# Bytes from decimal values.
bytes() {
    local value
    for value in "$@"; do
        # shellcheck disable=SC2059
        printf "$(printf '\\%03o' $((value & 255)))"
    done
}
# A little-endian 16-bit or 32-bit word from decimal or 0x-hexadecimal.
word16() { bytes $(($1)) $(($1 >> 8)); }
word32() { bytes $(($1)) $(($1 >> 8)) $(($1 >> 16)) $(($1 >> 24)); }
# Lines first to last of cpudef.dat, as committed (CR LF).
excerpt() { sed -n "$1,$2p" "$cpudef"; }
# Writes standard input as the seed `name` of `target`.
seed() { cat >"$corpus/$1/$2"; }

targets=(fuzz_cpudef fuzz_log_value fuzz_command_line fuzz_cpuid_registers fuzz_cpuid_dump)
for target in "${targets[@]}"; do
    rm -rf "${corpus:?}/$target"
    mkdir -p "$corpus/$target"
done

# --- fuzz_cpudef: vendor, family<<4|model, level-2 choice, level-2 size, chunk, read pattern; file
# Vendor choices: 0 AMD, 1 Intel, 2 Cyrix, 3 Centaur, 4 Rise, 5 "Unknown".
# Level-2 choices: 0 0, 1 128, 2 256, 3 512, 4 1024, 5 64, 6 -1, 7 the size given.
# Chunk: 0 one byte (0 asked for), 1-254 that many, 255 the reader's default.
cpudef_seed() { # name vendor signature level2Choice level2 chunk pattern; file from standard input
    local name=$1
    shift
    { bytes "$1" "$2" "$3"; word32 "$4"; bytes "$5" "$6"; cat; } | seed fuzz_cpudef "$name"
}
{ excerpt 18 19; excerpt 293 343; } | cpudef_seed intel_6_8_coppermine_256 1 0x68 2 0 255 0
{ excerpt 18 19; excerpt 293 343; } | cpudef_seed intel_6_8_celeron_128_chunk7 1 0x68 1 0 7 3
{ excerpt 293 301; excerpt 335 343; } | cpudef_seed intel_6_8_variant_missing 1 0x68 2 0 255 0
excerpt 251 292 | cpudef_seed intel_6_7_katmai_512_chunk1 1 0x67 3 0 1 9
excerpt 407 451 | cpudef_seed intel_15_2_pentium4 1 0xF2 3 0 255 0
excerpt 614 676 | cpudef_seed amd_6_10 0 0x6A 2 0 255 0
excerpt 614 676 | cpudef_seed amd_6_3_duron 0 0x63 5 0 13 1
excerpt 857 874 | cpudef_seed cyrix_6_0 2 0x60 0 0 255 0
excerpt 902 919 | cpudef_seed centaur_6_6 3 0x66 0 0 255 0
excerpt 965 982 | cpudef_seed rise_5_0 4 0x50 0 0 255 0
excerpt 614 676 | cpudef_seed unknown_vendor 5 0x6A 0 0 255 0
printf '[2,0x68]\n[-1]\nline 1\nno size\n3\n4\n5\n6\n7\n' | cpudef_seed intel_negative_level2 1 0x68 6 0 255 0
printf '[2,0x68]\n[-2147483648]\nline 1\nsmallest\n3\n4\n5\n6\n7\n' |
    cpudef_seed intel_smallest_level2 1 0x68 7 0x80000000 255 0
printf '[1,0x6A] \nline 1\nblank\n3\n4\n5\n6\n7\n' | cpudef_seed key_trailing_blank 0 0x6A 0 0 255 0
printf '[1,0x6a]\nline 1\nlower\n3\n4\n5\n6\n7\n' | cpudef_seed key_lowercase_digit 0 0x6A 0 0 255 0
printf '[1,0x6A]' | cpudef_seed key_last_line_without_terminator 0 0x6A 0 0 255 0
printf '[1,0x6A]\r\nfirst\r\n' | cpudef_seed ends_inside_description 0 0x6A 0 0 2 0
printf '[1,0x6A]\nfirst\r\nAthlon\nthird' | cpudef_seed mixed_line_ends 0 0x6A 0 0 0 0
printf '[2,0x68]\n[128]\na\nCeleron\n3\n4\n5\n6\n7\n[2,0x6A]\na\nXeon\n3\n4\n5\n6\n7\n[256]\na\nlater\n3\n4\n5\n6\n7\n' |
    cpudef_seed variant_in_later_section 1 0x68 2 0 255 0
printf '[2,0x6B]\n[128]\nTualatin\n3\n4\n5\n6\n7\n' | cpudef_seed model_11_no_variant 1 0x6B 1 0 255 0
printf '[1,0x6A]\na\nfirst\n3\n4\n5\n6\n7\n[1,0x6A]\na\nsecond\n3\n4\n5\n6\n7\n' |
    cpudef_seed duplicate_sections 0 0x6A 0 0 255 0
# Found by fuzzing: a CR at the very end of the file, with no LF after it, is part
# of the last line (the key does not match; the name keeps it).
printf '\xEF(\r' | cpudef_seed regression_lone_cr_at_end 0x22 0x22 0x22 0xC0C02222 0xC0 0xC0
printf '[1,0x6A]\r' | cpudef_seed regression_key_with_lone_cr 0 0x6A 0 0 255 0
printf '[1,0x6A]\nx\nAthlon\r' | cpudef_seed regression_name_with_lone_cr 0 0x6A 0 0 1 0

# --- fuzz_log_value: chunk, read pattern; log
log_seed() { # name chunk pattern; log from standard input
    local name=$1
    { bytes "$2" "$3"; cat; } | seed fuzz_log_value "$name"
}
engine='21.542334 / 41.762527 / 95.221848 fps -- Score = 41.766209        rand[6284]'
printf 'Benchmark started\r\n%s\r\n%s\r\n' "$engine" "$engine" | log_seed engine_log 255 0
printf 'Benchmark started\r\n%s\r\n' "$engine" | log_seed engine_log_chunk1 0 0
printf 'first\r\nsecond = 2\r\n' | log_seed crlf_split_across_chunks 6 1
printf 'x = 17.5\n\n' | log_seed empty_last_line 255 0
printf 'average = 41.762527 (x)' | log_seed blank_number_blank 255 0
printf 'average =            41.762527\n' | log_seed twelve_blanks 255 0
printf '=123.4567890123\n' | log_seed eleven_characters 255 0
printf '17.5 fps\n' | log_seed no_equals 255 0
printf 'fps 17.5\n' | log_seed no_equals_text_first 255 0
printf 'Score =' | log_seed ends_with_equals 255 0
printf 'a = 12.5 b = 99.0\n' | log_seed several_equals 255 0
printf 'x=1.5e2\nx=1.23456789e5\n' | log_seed exponents 255 0
printf 'x=0x1A\nx=inf\nx=nan\n' | log_seed not_decimal 255 0
printf 'Score = 1e999\n' | log_seed overflow 255 0
printf 'x=4.9406564584124654e-324\n' | log_seed subnormal 255 0
printf 'x=-0.0\n' | log_seed negative_zero 255 0
printf '99999999999999999999999999999999999999999999999999e300\n' | log_seed many_digits 255 0
printf 'a = 1\rb = 2\rc = 3' | log_seed cr_only_line_ends 255 0
printf 'a\0b = 7\n' | log_seed zero_byte 255 0
printf '\t\v\f  8.25' | log_seed leading_blanks 255 0
# Found by fuzzing: a CR at the very end of the log, with no LF after it, does not
# vanish from the line as a CR LF's CR does.
printf '\r\r\r\r\r' | log_seed regression_lone_crs 0x27 0x0D
printf 'Score = 41.5\r' | log_seed regression_value_then_lone_cr 255 0
printf 'x = 4\r\r\n' | log_seed double_cr_before_lf 255 0

# --- fuzz_command_line: scene, flags, resolution choice, text length, folder length, directory length; bytes
# Flags: 1 OpenGL, 2 High, 4 keep zero bytes. Resolution choices: 0-4 the table, 5 none, 6 text.
line_seed() { # name scene flags resolution textLength folder directory
    { bytes "$2" "$3" "$4" "$5"; word16 ${#6}; word16 ${#7}; printf '%s%s' "$6" "$7"; } |
        seed fuzz_command_line "$1"
}
line_seed example_236 0 3 2 0 'D:\Games\UT2003Demo' 'D:\Tools\Bench'
line_seed defaults_botmatch3 5 2 2 0 'C:\UT2003Demo' 'C:\Korvane'
line_seed opengl_low_800 4 1 1 0 'C:\UT2003Demo' 'C:\Korvane'
# With scene 4 or 5 and 1600x1200, 46 characters remain for the two paths together.
line_seed room_46_fits 4 2 4 0 'C:\Games\UT2003 Demo' 'C:\Program Files\Korvane 1'
line_seed room_47_refused 5 2 4 0 'C:\Games\UT2003 Demo' 'C:\Program Files\Korvane 10'
line_seed drive_root 2 0 0 0 'E:\UT2003Demo' 'C:\'
line_seed percent_in_folder 1 3 3 0 'C:\%s %d %%' 'C:\100%'
line_seed no_resolution 3 0 5 0 'C:\UT2003Demo' 'C:\Korvane'
line_seed resolution_text 0 0 6 9 'C:\UT2003Demo' 'C:\Korvane'
printf 'C:\\UT\0Demo' | { bytes 0 6 2 0; word16 10; word16 3; cat; } | seed fuzz_command_line zero_byte_kept
long=$(printf 'C:\\%0250d' 0)
line_seed long_paths 0 3 2 0 "$long" "$long"

# --- fuzz_cpuid_registers: vendor choice, vendor change, recorded leaves, definitions mode,
# failing line, chunk, read pattern; registers of leaves 0, 1, 2, 0x80000000, 0x80000005,
# 0x80000006; three starting cache sizes; cpudef.dat
# Vendor choices: 0-4 the five vendors, 5 one byte off, 6-7 leaf 0 as given.
# Definitions modes: 0 readable, 1 not opened, 2 opening fails, 3 reading a line fails.
leaves=(00000000 00000001 00000002 80000000 80000005 80000006)
# The registers of the six leaves from a dump, with the mask of those it holds.
dump_registers() { # dump file; prints "mask eax ebx ecx edx ..." (24 words)
    local mask=0 index leaf line registers=()
    for index in "${!leaves[@]}"; do
        leaf=${leaves[$index]}
        line=$(grep -m1 -i "^CPUID $leaf: " "$1" | tr -d '\r' || true)
        if [ -n "$line" ]; then
            mask=$((mask | 1 << index))
            IFS=- read -r -a words <<<"${line#CPUID $leaf: }"
            registers+=("0x${words[0]}" "0x${words[1]}" "0x${words[2]}" "0x${words[3]:0:8}")
        else
            registers+=(0 0 0 0)
        fi
    done
    echo "$mask ${registers[*]}"
}
cpuid_seed() { # name vendorChoice vendorChange mask mode failAtLine chunk 24 registers; cpudef.dat from standard input
    local name=$1 word
    {
        bytes "$2" "$3" "$4" "$5" "$6" "$7" 0
        shift 7
        for word in "$@"; do word32 "$word"; done
        word32 0
        word32 0
        word32 0
        cat
    } | seed fuzz_cpuid_registers "$name"
}
for dump in "$dumps"/*.txt; do
    name=$(basename "$dump" .txt)
    [ "$name" = expected ] && continue
    # shellcheck disable=SC2046
    set -- $(dump_registers "$dump")
    mask=$1
    shift
    case $name in
    athlon* | duron* | k6*) { excerpt 18 19; excerpt 569 676; excerpt 803 811; } ;;
    pentium4* | celeron_willamette) excerpt 407 451 ;;
    *) { excerpt 137 163; excerpt 242 343; excerpt 353 361; } ;;
    esac | cpuid_seed "dump_$name" 7 0 "$mask" 0 0 255 "$@"
done
none=(0 0 0 0)
intel=(2 0x756E6547 0x6C65746E 0x49656E69)
amd=(1 0x68747541 0x444D4163 0x69746E65)
printf '[2,0x68]\n[512]\na\nPentium III\n3\n4\n5\n6\n7\n' |
    cpuid_seed intel_reset_by_third_byte 7 0 7 0 0 255 "${intel[@]}" 0x683 0 0 0 0x03020101 0 0 0x0C040843 \
        "${none[@]}" "${none[@]}" "${none[@]}"
printf '[2,0x69]\na\nPentium M\n3\n4\n5\n6\n7\n' |
    cpuid_seed intel_l1_code_zero 7 0 7 0 0 255 "${intel[@]}" 0x695 0 0 0 0x665B5001 0 0 0x007A7040 \
        "${none[@]}" "${none[@]}" "${none[@]}"
printf '[1,0x58]\na\nK6-2\n3\n4\n5\n6\n7\n' |
    cpuid_seed amd_without_level2_leaf 7 0 59 0 0 255 "${amd[@]}" 0x580 0 0 0 "${none[@]}" \
        0x80000005 0 0 0 0 0 0x40020140 0x40020140 0 0 0x01004140 0
printf '[1,0x63]\na\nDuron\n3\n4\n5\n6\n7\n' |
    cpuid_seed amd_first_duron 7 0 59 0 0 255 "${amd[@]}" 0x630 0 0 0 "${none[@]}" \
        0x80000006 0 0 0 0 0 0x40020140 0x40020140 0 0 0x00018140 0
printf '[1,0x64]\na\nAthlon\n3\n4\n5\n6\n7\n' |
    cpuid_seed amd_level2_256 7 0 59 0 0 255 "${amd[@]}" 0x641 0 0 0 "${none[@]}" \
        0x80000006 0 0 0 0 0 0x40020140 0x40020140 0 0 0x01004140 0
printf '[1,0x6A]\na\nAthlon XP\n3\n4\n5\n6\n7\n' |
    cpuid_seed definitions_not_opened 0 0 63 1 0 255 "${none[@]}" 0x6A0 0 0 0 "${none[@]}" \
        0x80000006 0 0 0 0 0 0x40020140 0x40020140 0 0 0x01004140 0
printf '[1,0x6A]\na\nAthlon XP\n3\n4\n5\n6\n7\n' |
    cpuid_seed definitions_open_fails 0 0 63 2 0 255 "${none[@]}" 0x6A0 0 0 0 "${none[@]}" \
        0x80000006 0 0 0 0 0 0x40020140 0x40020140 0 0 0x01004140 0
printf '[1,0x64]\na\nAthlon\n3\n4\n5\n6\n7\n[1,0x6A]\na\nAthlon XP\n3\n4\n5\n6\n7\n' |
    cpuid_seed definitions_read_fails 0 0 63 3 3 255 "${none[@]}" 0x6A0 0 0 0 "${none[@]}" \
        0x80000006 0 0 0 0 0 0x40020140 0x40020140 0 0 0x01004140 0
printf '[1,0x6A]\na\nAthlon XP\n3\n4\n5\n6\n7\n' |
    cpuid_seed vendor_one_byte_off 5 0x30 63 0 0 255 "${none[@]}" 0x6A0 0 0 0 "${none[@]}" "${none[@]}" \
        "${none[@]}" "${none[@]}"
printf 'any\n' |
    cpuid_seed vendor_transmeta 7 0 3 0 0 255 1 0x756E6547 0x3638784D 0x54656E69 0x543 0 0 0 "${none[@]}" \
        "${none[@]}" "${none[@]}" "${none[@]}"

# --- fuzz_cpuid_dump: chunk, read pattern, letter case, ending, leaf and registers of a written line; dump
for dump in "$dumps"/*.txt; do
    name=$(basename "$dump" .txt)
    [ "$name" = expected ] && continue
    { bytes 255 0 31 1; word32 1; word32 0x683; word32 2; word32 0; word32 0x0387FBFF; cat "$dump"; } |
        seed fuzz_cpuid_dump "$name"
done
{
    bytes 5 7 0 3
    word32 0x8000000A
    word32 10
    word32 0xDEADBEEF
    word32 0
    word32 0xFFFF
    printf '%s\r\n' '# a dump' \
        'CPUID 00000001: 00000683-00000002-00000000-0387FBFF' \
        'CPUID 80000006: 00000000-41004100-00018140-00000000' \
        'CPUID 8000000a: 0000000a-deadbeef-00000000-0000ffff' \
        'CPUID 00000004: 04000121-01C0003F-0000003F-00000000 [SL 00]' \
        'CPUID 00000004: 04000122-01C0003F-0000003F-00000000 [SL 01]' \
        'CPUID 00000000: 00000002-756E6547-6C65746E-49656E69   ' \
        'cpuid 00000001: 00000683-00000002-00000000-0387FBFF' \
        ' CPUID 00000001: 00000683-00000002-00000000-0387FBFF' \
        'CPUID 0001: 00000683-00000002-00000000-0387FBFF' \
        'CPUID 00000001: 00000683-00000002-00000000' \
        'CPUID 00000001: 683-00000002-00000000-0387FBFF' \
        'CPUID 00000001: 00000683-00000002-00000000-0387FBFF0' \
        'CPUID 00000001: 0000068G-00000002-00000000-0387FBFF' \
        'CPUID 00000001:00000683-00000002-00000000-0387FBFF' \
        'CPUID 00000001: 00000683 00000002 00000000 0387FBFF'
    printf 'CPUID 00000002: 03020101-00000000-00000000-0C040882'
} | seed fuzz_cpuid_dump edge_lines

for target in "${targets[@]}"; do
    echo "make-seeds: $target: $(find "$corpus/$target" -type f | wc -l) seeds, $(cat "$corpus/$target"/* | wc -c) bytes"
done
