#!/usr/bin/env bash
# Every test of Korvane, from a fresh Debian machine: installs what is missing,
# builds the native tree, both Windows release trees and the i686 test tree, then runs
#   - the native tests (platform-free code, korvane-cpuid),
#   - the layer rules between the folders (scripts/check-layers.sh),
#   - the checks on both releases' PE files (imports, header, hardening, manifest, zip),
#   - the i686 tests under 32-bit Wine: the unit tests with the Windows C runtime and
#     x87 arithmetic, the stand-in game's self-test, and the end-to-end tests through
#     the real windows of the i686 release, with a smoke run of the x86_64 release,
#   - the fuzz targets for a bounded time, beside the tests above.
# On a machine whose kernel runs no 32-bit code, 32-bit Wine cannot start at all:
# there the same tests are built as x86_64 programs and drive the x86_64 release,
# and the run says so; the i686 release then gets its PE checks only.
# Usage: scripts/run-tests.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
start=$(date +%s)

"$root/scripts/install-deps.sh"
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
test_tree=$(korvane_test_tree)
if [ "$test_tree" != win32-tests ]; then
    echo "== NOTE: this machine's kernel runs no 32-bit code, so 32-bit Wine cannot start here."
    echo "== NOTE: the Windows-side tests run as x86_64 programs against the x86_64 release;"
    echo "== NOTE: the i686 release gets its PE checks only. Run this on a machine with IA-32"
    echo "== NOTE: emulation (any stock Debian kernel) to test the i686 release under Wine."
fi
"$root/scripts/build.sh" native win32 win64 "$test_tree"
# Start the display and the wine server before CTest, so that no test pays for
# them and no daemon holds CTest's output pipes open.
korvane_wine_ensure
trap korvane_wine_stop EXIT

# --- Fuzzing: each fuzz target of the platform-free parsers for a bounded time
# (KORVANE_FUZZ_SECONDS per target, 45 by default); scripts/run-fuzzers.sh alone
# runs them longer. The fuzzers run beside the tests below: those mostly wait for
# Korvane's pauses between scenes, the fuzzers keep the processor busy meanwhile.
fuzz_log="$root/build/fuzz-run.log"
mkdir -p "$root/build"
"$root/scripts/run-fuzzers.sh" "${KORVANE_FUZZ_SECONDS:-45}" >"$fuzz_log" 2>&1 &
fuzz_pid=$!
# --- End of fuzzing.

status=0
for tree in native win32 win64 "$test_tree"; do
    echo "== tests: $tree"
    (cd "$root/build/$tree" && ctest --output-on-failure --timeout 900) || status=1
done

echo "== fuzzing"
wait "$fuzz_pid" || status=1
cat "$fuzz_log"

# --- Layers: which folder's code may include which, and no product build file
# compiling anything of tests/ (scripts/check-layers.sh states the rules).
echo "== layers"
"$root/scripts/check-layers.sh" "$root" || status=1
# --- End of layers.

# --- Static analysis: clang-tidy and cppcheck over the platform-free code, from the
# native tree's compilation database (scripts/static-analysis.sh).
echo "== static analysis"
"$root/scripts/static-analysis.sh" "$root/build/native" || status=1
# --- End of static analysis.

echo "== all tests took $(( $(date +%s) - start )) s"
exit $status
