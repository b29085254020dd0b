#!/usr/bin/env bash
# Compares every DLL and function a Windows program imports with its allow-list,
# so that a new import is a decision recorded in the repository, not an accident,
# and refuses every import that Windows XP SP3 lacks (xp-missing-exports.txt).
#
# Usage: check-imports.sh [--update] EXE ALLOWLIST
#        check-imports.sh --imports-from FILE ALLOWLIST   (FILE lists dll!Function lines)
#   --update   rewrite ALLOWLIST from the program's imports (the XP check still runs)
# Environment: OBJDUMP (default i686-w64-mingw32-objdump), KORVANE_DENY_LIST
# (default xp-missing-exports.txt beside this script).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=pe-imports.sh
. "$here/pe-imports.sh"

update=no
importsFile=
while [ $# -gt 0 ]; do
    case $1 in
    --update) update=yes; shift ;;
    --imports-from) importsFile=$2; shift 2 ;;
    *) break ;;
    esac
done
if [ -n "$importsFile" ]; then
    [ $# -eq 1 ] || { sed -n '/^# Usage:/,/^# Environment/p' "$0" >&2; exit 2; }
    name=$(basename "$importsFile")
    imports=$(pe_import_list "$importsFile")
    allowList=$1
else
    [ $# -eq 2 ] || { sed -n '/^# Usage:/,/^# Environment/p' "$0" >&2; exit 2; }
    name=$(basename "$1")
    imports=$(pe_imports "${OBJDUMP:-i686-w64-mingw32-objdump}" "$1")
    allowList=$2
    [ -n "$imports" ] || { echo "FAIL: $name: no imports read from $1"; exit 1; }
fi
denyList=${KORVANE_DENY_LIST:-$here/xp-missing-exports.txt}
failures=0

denied=$(pe_denied "$imports" "$denyList")
if [ -n "$denied" ]; then
    echo "FAIL: $name imports what Windows XP SP3 lacks ($(basename "$denyList")):"
    sed 's/^/    /' <<<"$denied"
    failures=$((failures + 1))
else
    echo "ok:   $name imports nothing that Windows XP SP3 lacks ($(wc -l <<<"$imports") imports)"
fi

if [ "$update" = yes ]; then
    {
        echo "# Every DLL and function $name (i686) imports, as objdump -p lists them;"
        echo "# checked by tests/pe/check-imports.sh. Rewrite with its --update option,"
        echo "# and commit the change only as a decision."
        echo "$imports"
    } >"$allowList"
    echo "updated $allowList"
elif [ ! -f "$allowList" ]; then
    echo "FAIL: $name has no allow-list $allowList; write it with"
    echo "      bash $0 --update <the i686 $name> $allowList"
    echo "      after reviewing the imports:"
    sed 's/^/    /' <<<"$imports"
    failures=$((failures + 1))
else
    difference=$(diff <(pe_import_list "$allowList") <(echo "$imports") | sed -n 's/^> /+ /p; s/^< /- /p' || true)
    if [ -n "$difference" ]; then
        echo "FAIL: $name's imports differ from $(basename "$allowList") (+ imported, not listed; - listed, not imported):"
        sed 's/^/    /' <<<"$difference"
        echo "      If the change is intended, rewrite the list with --update and commit it."
        failures=$((failures + 1))
    else
        echo "ok:   $name imports exactly what $(basename "$allowList") lists"
    fi
fi
[ "$failures" -eq 0 ]
