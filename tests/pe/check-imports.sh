#!/usr/bin/env bash
# Checks that a 32-bit Windows program loads on Windows 98 (first edition and SE),
# ME, 2000 and later: every function it imports must be exported by each of them.
#   - kernel32, advapi32 and msvcrt imports go against winapi-first-version.tsv (the
#     first 9x and the first NT release that export each function);
#   - user32, gdi32 and comctl32 imports go against system-exports.tsv;
#   - an import of another DLL, by ordinal, or not in its table is refused;
#   - behaviour-on-9x.tsv refuses what 98 and ME export but do not implement, and
#     every Unicode (W) function it does not allow with a reason.
# A function newer than that is looked up with GetProcAddress by the program.
#
# Usage: check-imports.sh EXE
#        check-imports.sh --imports-from FILE   (FILE lists dll!Function lines)
#        check-imports.sh --self-test EXE       (the check on EXE's imports with one
#                                                planted fault at a time: each must fail)
# Environment: OBJDUMP (default i686-w64-mingw32-objdump).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=pe-imports.sh
. "$here/pe-imports.sh"

# judge_imports NAME < imports: prints one line per refused import and a verdict;
# exit status 1 when any import is refused.
judge_imports() {
    awk -F'\t' -v name="$1" '
        FILENAME == ARGV[1] { if ($0 !~ /^#/ && NF >= 4) { nine[$1 "!" $2] = $3; nt[$1 "!" $2] = $4 }; next }
        FILENAME == ARGV[2] { if ($0 !~ /^#/ && NF >= 4) { nine[$1 "!" $2] = $3; nt[$1 "!" $2] = $4 }; next }
        FILENAME == ARGV[3] { if ($0 !~ /^#/ && NF >= 3) { verdict[$2] = $1 }; next }
        $0 != "" {
            count++
            split($0, part, "!")
            dll = part[1]; fn = part[2]
            why = ""
            if (fn ~ /^#/) {
                why = "imported by ordinal"
            } else if (!(dll ~ /^(kernel32|advapi32|msvcrt|user32|gdi32|comctl32)\.dll$/)) {
                why = "a DLL the check does not know"
            } else if (!($0 in nine)) {
                why = "not in the table of " dll
            } else if (!(nine[$0] ~ /^(95|95 OSR2|98)$/)) {
                why = "Windows 98 lacks it (first 9x release: " nine[$0] ")"
            } else if (!(nt[$0] ~ /^(3\.1|3\.5|3\.51|3\.51 SP[0-9]|4\.0|4\.0 SP[0-9]|2000)$/)) {
                why = "Windows 2000 lacks it (first NT release: " nt[$0] ")"
            } else if (verdict[$0] == "refuse") {
                why = "exported but not working on Windows 98 and ME (behaviour-on-9x.tsv)"
            } else if (dll ~ /^(kernel32|advapi32|user32|gdi32)\.dll$/ && fn ~ /[a-z0-9]W$/ && verdict[$0] != "allow") {
                why = "a Unicode function, which fails on Windows 98 and ME unless behaviour-on-9x.tsv says why not"
            }
            if (why != "") { print "FAIL: " name " imports " $0 ": " why; refused++ }
        }
        END {
            if (count == 0) { print "FAIL: " name ": no imports read"; exit 1 }
            if (refused) { exit 1 }
            print "ok:   " name ": all " count " imports exist on Windows 98, ME and 2000"
        }' "$here/winapi-first-version.tsv" "$here/system-exports.tsv" "$here/behaviour-on-9x.tsv" -
}

case ${1:-} in
--imports-from)
    [ $# -eq 2 ] || { sed -n '/^# Usage:/,/^# Environment/p' "$0" >&2; exit 2; }
    pe_import_list "$2" | judge_imports "$(basename "$2")"
    ;;
--self-test)
    [ $# -eq 2 ] || { sed -n '/^# Usage:/,/^# Environment/p' "$0" >&2; exit 2; }
    imports=$(pe_imports "${OBJDUMP:-i686-w64-mingw32-objdump}" "$2")
    name=$(basename "$2")
    status=0
    judge_imports "$name" <<<"$imports" >/dev/null || { echo "FAIL: $name's own imports are refused"; status=1; }
    # One planted fault at a time: an XP-only import (winpthreads' vectored handler),
    # one of Windows 2000 (a job object), one of Windows 98 SE, an import the tables
    # lack, one by ordinal, a refused stub and a Unicode function.
    for planted in kernel32.dll!AddVectoredExceptionHandler kernel32.dll!CreateJobObjectA \
        kernel32.dll!GetTickCount64 msvcrt.dll!_fstat64 msvcrt.dll!_aligned_malloc \
        user32.dll!GetLayeredWindowAttributes comctl32.dll!#17 ws2_32.dll!connect \
        kernel32.dll!TryEnterCriticalSection kernel32.dll!CreateFileW user32.dll!MessageBoxW; do
        if output=$(printf '%s\n%s\n' "$imports" "$planted" | judge_imports "$name"); then
            echo "FAIL: a planted $planted passes the check"
            status=1
        elif ! grep -qF "imports $planted:" <<<"$output"; then
            echo "FAIL: a planted $planted is not named:"; sed 's/^/    /' <<<"$output"
            status=1
        else
            grep -F "imports $planted:" <<<"$output" | sed 's/^FAIL: /ok:   refused: /'
        fi
    done
    exit $status
    ;;
*)
    [ $# -eq 1 ] || { sed -n '/^# Usage:/,/^# Environment/p' "$0" >&2; exit 2; }
    imports=$(pe_imports "${OBJDUMP:-i686-w64-mingw32-objdump}" "$1")
    judge_imports "$(basename "$1")" <<<"$imports"
    ;;
esac
