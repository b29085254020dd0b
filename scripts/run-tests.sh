#!/usr/bin/env bash
# Every test of Korvane, from a fresh Debian machine: installs what is missing,
# builds the native and both Windows trees, then runs
#   - the native tests (platform-free code, korvane-cpuid),
#   - the Windows tests under Wine: the same unit tests with the Windows C runtime,
#     the stand-in game's self-test and the end-to-end tests through the real windows,
#   - the checks on the 32-bit build, which this Wine cannot run.
# Usage: scripts/run-tests.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
start=$(date +%s)

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" native win64 win32

# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
# Start the display and the wine server before CTest, so that no test pays for
# them and no daemon holds CTest's output pipes open.
korvane_wine_ensure
trap korvane_wine_stop EXIT

status=0
for tree in native win64 win32; do
    echo "== tests: $tree"
    (cd "$root/build/$tree" && ctest --output-on-failure --timeout 900) || status=1
done

# --- Fuzzing: each fuzz target of the platform-free parsers for a bounded time
# (KORVANE_FUZZ_SECONDS per target, 45 by default); scripts/run-fuzzers.sh alone
# runs them longer.
"$root/scripts/run-fuzzers.sh" "${KORVANE_FUZZ_SECONDS:-45}" || status=1
# --- End of fuzzing.

# --- Static analysis: clang-tidy and cppcheck over the platform-free code, from the
# native tree's compilation database (scripts/static-analysis.sh).
echo "== static analysis"
"$root/scripts/static-analysis.sh" "$root/build/native" || status=1
# --- End of static analysis.

echo "== all tests took $(( $(date +%s) - start )) s"
exit $status
