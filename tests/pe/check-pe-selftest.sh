#!/usr/bin/env bash
# Shows that check-pe.sh catches each fault it is there for: builds a small
# program with the release's hardening and variants that each lack one part of
# it, and expects check-pe.sh to pass the first and to fail each variant naming
# the missing part.
# Usage: check-pe-selftest.sh C_COMPILER i686|x86_64
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
compiler=$1
arch=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/program.c" <<'PROGRAM'
#include <stdio.h>
#include <string.h>
#ifdef CALL_WINSOCK
#include <winsock2.h>
#endif
/* A local array, so that the stack protector guards this function. */
int Echo(const char* text) {
    char buffer[64];
    strncpy(buffer, text, sizeof buffer - 1);
    buffer[sizeof buffer - 1] = '\0';
    return puts(buffer);
}
int main(int argc, char** argv) {
#ifdef CALL_WINSOCK
    if (WSAGetLastError() != 0) {
        return 2;
    }
#endif
    return Echo(argc > 1 ? argv[1] : "x") < 0;
}
PROGRAM
# A section that is writable and executable.
printf '\t.section .wxcode,"wx"\n\t.byte 0xc3\n' >"$work/wx.s"

hardening=(-O2 -static -fstack-protector-strong -Wl,--dynamicbase -Wl,--nxcompat)
[ "$arch" = x86_64 ] && hardening+=(-Wl,--high-entropy-va)
# shellcheck source=selftest-cases.sh
. "$here/selftest-cases.sh"

# run_case NAME EXPECT(pass|fail) EXPECTED_TEXT EXTRA_SOURCES_AND_OPTIONS...
run_case() {
    local name=$1 expect=$2 text=$3 output status
    shift 3
    if ! "$compiler" "$work/program.c" "${hardening[@]}" "$@" -o "$work/program.exe" 2>"$work/build.txt"; then
        echo "FAIL: $name: the program did not build"
        sed 's/^/    /' "$work/build.txt"
        failures=$((failures + 1))
        return
    fi
    output=$(bash "$here/check-pe.sh" "$work/program.exe" "$arch" 2>&1)
    status=$?
    judge "$name" "$expect" "$text" "$status" "$output"
}

run_case "hardened as the release" pass ""
run_case "without dynamic base" fail "DYNAMIC_BASE missing" -Wl,--disable-dynamicbase
run_case "without NX compatibility" fail "NX_COMPAT missing" -Wl,--disable-nxcompat
if [ "$arch" = x86_64 ]; then
    run_case "without high-entropy ASLR" fail "HIGH_ENTROPY_VA missing" -Wl,--disable-high-entropy-va
fi
run_case "with a writable and executable section" fail "writable code sections: .wxcode" "$work/wx.s"
run_case "without the stack protector" fail "stack protector missing" -fno-stack-protector
run_case "importing a DLL that is not a system one" fail "imports WS2_32.dll, which is not a system DLL" -DCALL_WINSOCK -lws2_32

[ $failures -eq 0 ] && echo "check-pe.sh ($arch): all cases behaved" || exit 1
