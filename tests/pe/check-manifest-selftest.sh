#!/usr/bin/env bash
# Shows that check-manifest.sh catches what it is there for: the repository's
# manifests (korvane.exe's and korvane-cli.exe's) pass, and each way of spoiling
# them (elevation, no visual styles, DPI awareness, a missing supported system,
# no manifest at all) fails naming the fault.
# Usage: check-manifest-selftest.sh SOURCE_ROOT
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
windowedManifest=$1/res/korvane.manifest
consoleManifest=$1/cli/korvane-cli.manifest
manifest=$windowedManifest
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=selftest-cases.sh
. "$here/selftest-cases.sh"

# run_case NAME EXPECT(pass|fail) EXPECTED_TEXT SED_SCRIPT [--windowed]
run_case() {
    local name=$1 expect=$2 text=$3 script=$4 output status
    shift 4
    sed -e "$script" "$manifest" >"$work/manifest.xml"
    output=$(bash "$here/check-manifest.sh" "$@" --manifest-from "$work/manifest.xml" 2>&1)
    status=$?
    judge "$name" "$expect" "$text" "$status" "$output"
}

run_case "the repository's manifest" pass "" "" --windowed
run_case "asks for administrator rights" fail "does not ask to run as invoker" \
    's/level="asInvoker"/level="requireAdministrator"/' --windowed
run_case "asks for UI access" fail "does not ask to run as invoker" 's/uiAccess="false"/uiAccess="true"/'
run_case "common controls 5" fail "does not ask for common controls 6" 's/version="6.0.0.0"/version="5.82.0.0"/' --windowed
run_case "declares DPI awareness" fail "declares DPI awareness" \
    's|</trustInfo>|</trustInfo><application xmlns="urn:schemas-microsoft-com:asm.v3"><windowsSettings><dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true</dpiAware></windowsSettings></application>|' \
    --windowed
run_case "Windows 10 not listed" fail "supportedOS {8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a} missing" \
    '/8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a/d' --windowed
run_case "a tool outside the release: only asInvoker counts" pass "" '/Common-Controls/s/6.0.0.0/5.82.0.0/'

# korvane-cli.exe: a console program needs no common controls, but the rest holds.
manifest=$consoleManifest
run_case "korvane-cli's manifest" pass "" "" --console
run_case "korvane-cli's manifest is not a windowed one" fail "does not ask for common controls 6" "" --windowed
run_case "korvane-cli asks for administrator rights" fail "does not ask to run as invoker" \
    's/level="asInvoker"/level="requireAdministrator"/' --console
run_case "korvane-cli: Windows Vista not listed" fail "supportedOS {e2011457-1546-43c5-a5fe-008deee3d3f0} missing" \
    '/e2011457-1546-43c5-a5fe-008deee3d3f0/d' --console
run_case "korvane-cli without a manifest" fail "no application manifest" 'd' --console
run_case "a tool outside the release without a manifest" pass "no application manifest" 'd'

[ $failures -eq 0 ] && echo "check-manifest.sh: all cases behaved" || exit 1
