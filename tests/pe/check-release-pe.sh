#!/usr/bin/env bash
# Checks every program (*.exe) of a release folder from its PE headers and resources:
# hardening (docs/security.md), the manifest, and on i686 the header's system version
# 4.0 and every import against the systems it must load on (docs/release.md has the
# rules and the tables they use). With --self-test the folder must pass, and then
# copies of its korvane.exe (planted-headers.tsv) and of its import list (planted-imports.tsv)
# spoilt one way per rule must each fail, naming the rule.
# Usage: check-release-pe.sh [--self-test] RELEASE_FOLDER i686|x86_64
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
selfTest=no
[ "${1:-}" = --self-test ] && { selfTest=yes; shift; }
[ $# -eq 2 ] || { sed -n 's/^# Usage: //p' "$0" >&2; exit 2; }
folder=$1 arch=$2 objdump=$2-w64-mingw32-objdump
fail() { echo "FAIL: $name: $*"; bad=1; }

# imports < `objdump -p` output: every import as dll!Function, the DLL in lower case,
# sorted (dll!#N for one taken by ordinal).
imports() {
    awk '/^The Import Tables/ { on = 1; next }
        on && /^[A-Z]/ { on = 0 }
        on && /DLL Name:/ { dll = tolower($3); next }
        on && dll != "" && /^\t[0-9a-f]+\t/ { print dll "!" (($3 == "<none>" || $3 == "") ? "#" $2 : $3) }' |
        LC_ALL=C sort -u
}

# judge_imports NAME < imports: a FAIL line per refused import; status 1 if any.
judge_imports() {
    awk -F'\t' -v name="$1" '
        FILENAME == ARGV[1] || FILENAME == ARGV[2] { if (!/^#/ && NF >= 4) { nine[$1 "!" $2] = $3; nt[$1 "!" $2] = $4 }; next }
        FILENAME == ARGV[3] { if (!/^#/ && NF >= 3) verdict[$2] = $1; next }
        $0 != "" {
            count++; split($0, part, "!"); dll = part[1]; fn = part[2]; why = ""
            if (fn ~ /^#/) why = "imported by ordinal"
            else if (dll !~ /^(kernel32|advapi32|msvcrt|user32|gdi32|comctl32)\.dll$/) why = "a DLL the check does not know"
            else if (!($0 in nine)) why = "not in the table of " dll
            else if (nine[$0] !~ /^(95|95 OSR2|98)$/) why = "Windows 98 lacks it (first 9x release: " nine[$0] ")"
            else if (nt[$0] !~ /^(3\.1|3\.5|3\.51|3\.51 SP[0-9]|4\.0|4\.0 SP[0-9]|2000)$/) why = "Windows 2000 lacks it (first NT release: " nt[$0] ")"
            else if (verdict[$0] == "refuse") why = "exported but not working on Windows 98 and ME (behaviour-on-9x.tsv)"
            else if (dll ~ /^(kernel32|advapi32|user32|gdi32)\.dll$/ && fn ~ /[a-z0-9]W$/ && verdict[$0] != "allow")
                why = "a Unicode function, which fails on Windows 98 and ME unless behaviour-on-9x.tsv says why not"
            if (why != "") { print "FAIL: " name " imports " $0 ": " why; refused++ }
        }
        END {
            if (count == 0) { print "FAIL: " name ": no imports read"; exit 1 }
            if (refused) exit 1
        }' "$here/winapi-first-version.tsv" "$here/system-exports.tsv" "$here/behaviour-on-9x.tsv" -
}

# handler_calls EXE: the address (hex) of every call of libssp's __stack_chk_fail, the
# stack protector's handler, which a stripped program does not name: it is the call
# target nearest before the code that loads its message "*** stack smashing
# detected ***". Calls within 256 bytes after it are libssp's own (__stack_chk_fail_local).
handler_calls() {
    local offset message
    offset=$(LC_ALL=C grep -obaF '*** stack smashing detected ***' "$1" | head -n 1 | cut -d: -f1)
    [ -n "$offset" ] || return 0
    # The message's address: its file offset moved into the section that holds it.
    message=$("$objdump" -h "$1" | while read -r _ _ size vma _ start _; do
        [[ $start =~ ^[0-9a-f]{8}$ ]] && ((offset >= 16#$start && offset < 16#$start + 16#$size)) &&
            printf '%x\n' $((16#$vma + offset - 16#$start))
    done)
    [ -n "$message" ] || return 0
    "$objdump" -d --no-show-raw-insn "$1" | perl -ne '
        BEGIN { $message = hex(shift @ARGV) }
        next unless /^\s*([0-9a-f]+):\t(\S+)\s*(.*)$/;
        ($at, $mnemonic, $operands) = (hex($1), $2, $3);
        push @{$calls{hex($1)}}, $at if $mnemonic =~ /^call/ && $operands =~ /^(?:0x)?([0-9a-f]+)\b/;
        $load //= $at if $operands =~ /(?:\$0x|# (?:0x)?)0*([0-9a-f]+)\b/ && hex($1) == $message;
        END {
            exit unless defined $load;
            ($handler) = sort { $b <=> $a } grep { $_ <= $load && $load - $_ < 64 } keys %calls;
            printf "%x\n", $_ for grep { $_ < $handler || $_ >= $handler + 256 } @{$calls{$handler // -1}};
        }' "$message"
}

# check_program EXE: a FAIL line per broken rule; status 1 if any.
check_program() {
    local headers flags flag writable debug dll manifest id field version
    name=$(basename "$1") bad=0
    headers=$("$objdump" -p "$1")
    flags=" $(awk '/^DllCharacteristics/ {getline; while (/^\t\t/) {printf "%s ", $1; if (!getline) break}}' <<<"$headers")"
    for flag in DYNAMIC_BASE NX_COMPAT $([ "$arch" = x86_64 ] && echo HIGH_ENTROPY_VA); do
        [[ $flags == *" $flag "* ]] || fail "$flag missing from the header's DllCharacteristics"
    done
    # A section that is code and not read-only is writable and executable.
    writable=$("$objdump" -h "$1" | awk '/^ *[0-9]+ / {s = $2} /CODE/ && !/READONLY/ {print s}')
    [ -z "$writable" ] || fail "writable and executable sections: $writable"
    [ "$(handler_calls "$1" | wc -l)" -gt 0 ] ||
        fail "stack protector missing (no function calls libssp's __stack_chk_fail)"
    # Stripped: the symbols and debug information stay in the build tree's program.
    [ "$("$objdump" -t "$1" | grep -c '^\[')" -eq 0 ] || fail "a symbol table; the release's programs are stripped"
    debug=$("$objdump" -h "$1" | awk '$2 ~ /^\.(debug|zdebug|stab)/ {printf " %s", $2}')
    [ -z "$debug" ] || fail "debug sections:$debug; the release's programs are stripped"
    for dll in $(awk '/DLL Name:/ {print $3}' <<<"$headers"); do
        [[ ${dll,,} =~ ^(kernel32|user32|gdi32|advapi32|comctl32|msvcrt)\.dll$ ]] || fail "imports $dll, which is not a system DLL"
    done

    # The manifest is stored as its UTF-8 text; here on one line, blanks collapsed
    # (${manifest,,} where case does not matter).
    manifest=$(LC_ALL=C tr '\0' '\n' <"$1" | LC_ALL=C sed -n '/<?xml/,/<\/assembly>/{p;/<\/assembly>/q}' |
        tr '\r\n\t' '   ' | tr -s ' ')
    if [ -z "$manifest" ]; then
        fail "no application manifest"
    else
        [[ $manifest =~ '<requestedExecutionLevel level="asInvoker" uiAccess="false"'\ ?'/>' ]] ||
            fail "manifest does not ask to run as invoker (level=\"asInvoker\" uiAccess=\"false\")"
        # Windows Vista, 7, 8, 8.1 and 10 (and later).
        for id in e2011457-1546-43c5-a5fe-008deee3d3f0 35138b9a-5d96-4fbd-8e2d-a2440225f93a \
            4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 1f676c76-80e1-4239-95bb-83d0f6d0da78 \
            8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
            [[ ${manifest,,} == *"<supportedos id=\"{$id}\"/>"* ]] || fail "manifest lacks supportedOS {$id}"
        done
        if [ "$name" = korvane.exe ]; then
            [[ $manifest == *'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"'* ]] ||
                fail "manifest does not ask for common controls 6"
            [[ ${manifest,,} != *dpiaware* ]] || fail "manifest declares DPI awareness; the release leaves scaling to Windows"
        fi
    fi

    if [ "$arch" = i686 ]; then
        for field in OSystem Subsystem; do
            version=$(awk -v f="$field" '$1 == "Major" f "Version" {a = $2} $1 == "Minor" f "Version" {b = $2}
                END {print a "." b}' <<<"$headers")
            [ "$version" = 4.0 ] || fail "the header asks for $field version $version; Windows 98, ME and 2000 need 4.0"
        done
        imports <<<"$headers" | judge_imports "$name" || bad=1
    fi
    [ $bad -eq 1 ] || echo "ok:   $name ($arch): every rule holds"
    return $bad
}

shopt -s nullglob nocaseglob
programs=("$folder"/*.exe)
[ ${#programs[@]} -gt 0 ] || { echo "FAIL: no program (*.exe) in $folder"; exit 1; }
status=0
for program in "${programs[@]}"; do check_program "$program" || status=1; done
[ $selfTest = yes ] || exit $status

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=caught.sh
. "$here/caught.sh"
# spoilt PERL: checks a copy of korvane.exe changed by PERL (planted-headers.tsv says how).
spoilt() {
    cp "$folder/korvane.exe" "$work/korvane.exe"
    perl -0777 -pi -e '$p = unpack("V", substr($_, 60, 4));
        sub poke { substr($_, $p + $_[0], 1) = chr(ord(substr($_, $p + $_[0], 1)) & $_[1] | $_[2]) } '"$1" "$work/korvane.exe"
    check_program "$work/korvane.exe"
}
while IFS=$'\t' read -r arches text perl; do
    [[ $arches == '#'* || ! $arches =~ ^(both|$arch)$ ]] || caught "$text" spoilt "$perl"
done <"$here/planted-headers.tsv" || status=1
# Every call of the stack protector's handler made five NOPs, as in a program compiled
# without -fstack-protector-strong that links libssp all the same (for
# _FORTIFY_SOURCE): the handler and its message are there, but nothing calls it.
read -r _ _ _ text_vma _ text_start _ < <("$objdump" -h "$folder/korvane.exe" | awk '$2 == ".text"')
nops=$(handler_calls "$folder/korvane.exe" | while read -r call; do
    printf 'substr($_, %d, 5) = "\\x90" x 5; ' $((16#$call - 16#$text_vma + 16#$text_start))
done)
caught "korvane.exe: stack protector missing (no function calls" spoilt "$nops"
# rebuilt OPTION...: checks a copy of korvane.exe that objcopy made with OPTIONS.
rebuilt() {
    "${objdump%objdump}objcopy" "$@" "$folder/korvane.exe" "$work/korvane.exe" 2>/dev/null
    check_program "$work/korvane.exe"
}
printf 'planted' >"$work/debug-info"
caught "korvane.exe: a symbol table; the release's programs are stripped" rebuilt --add-symbol planted=.text:0
caught "korvane.exe: debug sections: .debug_" rebuilt --add-section ".debug_info=$work/debug-info"
[ "$arch" = i686 ] || exit $status

caught "korvane.exe: no imports read" judge_imports korvane.exe </dev/null
own=$(imports < <("$objdump" -p "$folder/korvane.exe"))
with() { printf '%s\n%s\n' "$own" "$1" | judge_imports korvane.exe; }
while IFS=$'\t' read -r planted why; do
    [[ $planted == '#'* ]] || caught "korvane.exe imports $planted: $why" with "$planted"
done <"$here/planted-imports.tsv" || status=1
exit $status
