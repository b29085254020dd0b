#!/usr/bin/env bash
# Checks every instruction of the i686 release programs against the processor floor,
# the Pentium Pro's instruction set (docs/release.md): instruction-sets.tsv gives each
# mnemonic's class and whether the floor has it, instruction-exceptions.tsv the few
# functions allowed more (each with the reason) and the data that objdump reads as
# code. It reads the unstripped programs of the build tree, whose symbols name the
# function of each instruction; each must hold the code of the release folder's
# program of the same name, and every program of the release folder must be given.
# With --self-test the programs must pass, and then PLANTED (a test program with one
# SSE2 instruction) and the disassembly spoilt one way per rule (planted-instructions.tsv)
# must each fail, naming the rule.
# Usage: check-instruction-set.sh [--self-test PLANTED] RELEASE_FOLDER PROGRAM...
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
objdump=i686-w64-mingw32-objdump objcopy=i686-w64-mingw32-objcopy
planted=
[ "${1:-}" = --self-test ] && { planted=${2:-}; shift 2; }
[ $# -ge 2 ] || { sed -n 's/^# Usage: //p' "$0" >&2; exit 2; }
folder=$1 && shift
sets=$here/instruction-sets.tsv exceptions=$here/instruction-exceptions.tsv
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# disassemble EXE: objdump's disassembly of EXE's code in Intel syntax, each function
# under its symbol's label.
disassemble() { "$objdump" -d -M intel --no-show-raw-insn "$1"; }

# judge NAME < disassembly: by the tables $sets and $exceptions, a FAIL line per
# refused instruction (once per function and mnemonic, with the count and the first
# address), then one line of counts per class; status 1 if any is refused. The
# exception rows that matched are appended to $work/used.
judge() {
    awk -F'\t' -v name="$1" -v used="$work/used" '
        FILENAME == ARGV[1] { if (!/^#/ && NF >= 4) { class[$1] = $2; verdict[$1] = $3; order[$2] = order[$2] ? order[$2] : ++classes; byOrder[order[$2]] = $2 }; next }
        FILENAME == ARGV[2] {
            if (!/^#/ && NF >= 3) { n = split($2, list, " "); for (i = 1; i <= n; i++) allowIn[$1, list[i]] = 1; if ($2 == "data") data[$1] = 1 }
            next
        }
        # A label: the symbol of the function (or data) that the lines below belong to.
        # Functions that libstdc++ keeps in sections of their own are labelled .text$NAME.
        /^[0-9a-f]+ <.*>:$/ { fn = $0; sub(/^[0-9a-f]+ </, "", fn); sub(/>:$/, "", fn); sub(/^\.text\$/, "", fn); next }
        /^ *[0-9a-f]+:\t/ {
            if (fn in data) { if (!(fn in seenData)) { seenData[fn] = 1; print fn >> used }; skipped++; next }
            address = $1; sub(/^ */, "", address); sub(/:$/, "", address)
            text = $2; sub(/ *<[^>]*>/, "", text)
            count++; n = split(text, token, " ")
            # Prefixes count with the instruction they change; a prefix alone is its own.
            for (i = 1; i < n && class[token[i]] == "prefix"; i++) {}
            m = token[i]; operands = ""
            for (j = i + 1; j <= n; j++) operands = operands " " token[j]
            if (m == "nop" && operands != "") m = "nop r/m"
            why = ""
            if (m in verdict && verdict[m] == "refuse") why = class[m]
            else if (operands ~ /(^|[^a-z])[xyz]mm[0-9]/) why = "an SSE register"
            else if (operands ~ /(^|[^a-z])mm[0-7]([^0-9]|$)/) why = "an MMX register"
            else if (!(m in verdict)) why = "not in instruction-sets.tsv"
            if (why == "") { tally[class[m]]++; next }
            if ((fn, m) in allowIn) {
                if (!(m in listed)) listedOrder[++nListed] = m
                listed[m]++
                if (!((fn, m) in seenRow)) { seenRow[fn, m] = 1; print fn "\t" m >> used }
                next
            }
            key = m " (" why ") in " fn
            if (!(key in refused)) { refused[key] = address; keys[++nKeys] = key }
            times[key]++
        }
        END {
            if (count == 0) { print "FAIL: " name ": no instructions read"; exit 1 }
            for (k = 1; k <= nKeys; k++)
                print "FAIL: " name ": " keys[k] ", " times[keys[k]] " time" (times[keys[k]] > 1 ? "s" : "") " from 0x" refused[keys[k]]
            line = ""
            for (c = 1; c <= classes; c++) if (tally[byOrder[c]]) line = line "; " byOrder[c] " " tally[byOrder[c]]
            if (nListed) line = line "; in the listed functions:"
            for (k = 1; k <= nListed; k++) line = line " " listedOrder[k] " " listed[listedOrder[k]] (k < nListed ? "," : "")
            print "      " name ": " count " instructions" line "; " skipped + 0 " lines of data skipped"
            if (nKeys) exit 1
        }' "$sets" "$exceptions" -
}

# same_code EXE EXE: status 0 if the two hold the same .text section.
same_code() {
    "$objcopy" -O binary -j .text "$1" "$work/code1" && "$objcopy" -O binary -j .text "$2" "$work/code2" &&
        cmp -s "$work/code1" "$work/code2"
}

# check_program EXE: the program's symbols, then every instruction; a FAIL line per
# broken rule, status 1 if any.
check_program() {
    local name output
    name=$(basename "$1")
    if [ "$("$objdump" -t "$1" | grep -c '^\[')" -eq 0 ]; then
        echo "FAIL: $name: no symbol table, so no instruction can be put to its function (give the build tree's program)"
        return 1
    fi
    output=$(disassemble "$1" | judge "$name")
    local status=$?
    echo "$output"
    [ $status -eq 0 ] && echo "ok:   $name: every instruction within the Pentium Pro's set, or allowed where it is"
    return $status
}

# check_release FOLDER PROGRAM...: every program of FOLDER has one of PROGRAMS, with the
# same code, and every PROGRAM passes; then every exception row matched somewhere.
check_release() {
    local folder=$1 released program given unused status=0 && shift
    : >"$work/used"
    shopt -s nullglob nocaseglob
    for released in "$folder"/*.exe; do
        given=
        for program in "$@"; do [ "$(basename "$program")" = "$(basename "$released")" ] && given=$program; done
        if [ -z "$given" ]; then
            echo "FAIL: $(basename "$released") of the release is not checked: give its build tree's program"; status=1
        elif ! same_code "$given" "$released"; then
            echo "FAIL: $(basename "$released"): $given holds other code than the release's"; status=1
        fi
    done
    shopt -u nullglob nocaseglob
    for program in "$@"; do check_program "$program" || status=1; done
    unused=$(awk -F'\t' 'FILENAME == ARGV[1] { used[$0] = 1; next }
        !/^#/ && NF >= 3 {
            n = split($2, list, " ")
            for (i = 1; i <= n; i++) if (!(($1 "\t" list[i]) in used) && !($2 == "data" && ($1 in used))) print $1 " " list[i]
        }' "$work/used" "$exceptions")
    if [ -n "$unused" ]; then
        echo "FAIL: instruction-exceptions.tsv allows what no program holds any more: ${unused//$'\n'/, }"; status=1
    fi
    return $status
}

check_release "$folder" "$@"
status=$?
[ -n "$planted" ] || exit $status

# shellcheck source=caught.sh
. "$here/caught.sh"
caught "$(basename "$planted"): paddq (SSE2) in _korvane_planted_sse2, 1 time from 0x" check_program "$planted"

# The first program's disassembly with one function more, holding LINES.
first=$1
disassemble "$first" >"$work/own"
with() { { cat "$work/own"; printf '00f00000 <%s>:\n' "${2:-_planted}"; printf '  f00000:\t%s\n' "$1"; } | judge planted; }
while IFS=$'\t' read -r instruction why function; do
    [[ $instruction == '#'* ]] || caught "planted: $why" with "$instruction" "$function"
done <"$here/planted-instructions.tsv" || status=1
caught "planted: no instructions read" judge planted </dev/null

# The release and the programs given must match, and every exception row be needed.
name=$(basename "$first")
mkdir "$work/release" && cp "$folder"/*.exe "$work/release/"
caught "FAIL: $name of the release is not checked" check_release "$work/release" "${@:2}"
cp "$planted" "$work/release/$name"
caught "FAIL: $name: $first holds other code than the release's" check_release "$work/release" "$@"
"$objcopy" --strip-all "$first" "$work/$name"
caught "FAIL: $name: no symbol table" check_program "$work/$name"
rm "$work/release"/*.exe
{ cat "$exceptions"; printf '_planted_gone\tpopcnt\tan exception left behind\n'; } >"$work/exceptions.tsv"
exceptions=$work/exceptions.tsv
caught "allows what no program holds any more: _planted_gone popcnt" check_release "$work/release" "$@"
exit $status
