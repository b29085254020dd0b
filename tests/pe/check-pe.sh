#!/usr/bin/env bash
# Checks a built Windows program's hardening and linkage from its PE headers:
# ASLR (dynamic base), DEP (NX compatible), high-entropy ASLR on x86_64, no
# section both writable and executable, the stack protector linked in, and only
# system DLLs imported (everything else is linked statically).
# Usage: check-pe.sh PROGRAM.exe i686|x86_64
set -euo pipefail
exe=$1
arch=$2
objdump=${arch}-w64-mingw32-objdump
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok:   $*"; }

headers=$("$objdump" -p "$exe")
characteristics=$(awk '/^DllCharacteristics/ {getline; while ($0 ~ /^\t\t/) {print $1; if (!getline) break}}' <<<"$headers")
for flag in DYNAMIC_BASE NX_COMPAT; do
    grep -qx "$flag" <<<"$characteristics" && pass "$flag" || fail "$flag missing"
done
if [ "$arch" = x86_64 ]; then
    grep -qx HIGH_ENTROPY_VA <<<"$characteristics" && pass HIGH_ENTROPY_VA || fail "HIGH_ENTROPY_VA missing"
fi

# A section that is code and not read-only is writable and executable.
sections=$("$objdump" -h "$exe")
writableCode=$(awk '/^ *[0-9]+ / {name=$2} /CODE/ && !/READONLY/ {print name}' <<<"$sections")
[ -z "$writableCode" ] && pass "no writable code section" || fail "writable code sections: $writableCode"

symbols=$("$objdump" -t "$exe")
if grep -q '__stack_chk_fail$' <<<"$symbols" && grep -q '__stack_chk_guard$' <<<"$symbols"; then
    pass "stack protector linked in"
else
    fail "stack protector missing (__stack_chk_fail or __stack_chk_guard not found)"
fi

allowed='^(KERNEL32|USER32|GDI32|ADVAPI32|COMCTL32|msvcrt)\.dll$'
while read -r dll; do
    if grep -qiE "$allowed" <<<"$dll"; then
        pass "imports $dll"
    else
        fail "imports $dll, which is not a system DLL"
    fi
done < <(awk '/DLL Name:/ {print $3}' <<<"$headers")

[ "$failures" -eq 0 ] && echo "$(basename "$exe") ($arch): all checks passed" || exit 1
