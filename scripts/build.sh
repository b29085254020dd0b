#!/usr/bin/env bash
# Builds Korvane: the native tree (platform-free code, unit tests, tools), the two
# Windows release trees (i686 and x86_64, win32 thread model), each leaving its
# release folder in dist/, and the i686 test tree (posix thread model: unit tests,
# stand-in game, end-to-end tests and drivers, which drive the releases in dist/).
# The x86_64 test tree (win64-tests) is for machines that cannot run 32-bit programs.
# Usage: scripts/build.sh [native] [win32] [win64] [win32-tests] [win64-tests]
#        (default: the first four)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${KORVANE_JOBS:-$(nproc)}
trees=("$@")
[ ${#trees[@]} -gt 0 ] || trees=(native win32 win64 win32-tests)

for tree in "${trees[@]}"; do
    case "$tree" in
    # The native tree's compilation database feeds scripts/static-analysis.sh.
    native) toolchain=(-DCMAKE_EXPORT_COMPILE_COMMANDS=ON) ;;
    win64) toolchain=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake") ;;
    win32) toolchain=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake") ;;
    win32-tests) toolchain=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686-tests.cmake") ;;
    win64-tests) toolchain=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64-tests.cmake") ;;
    *) echo "build.sh: unknown tree '$tree' (native, win32, win64, win32-tests, win64-tests)" >&2; exit 2 ;;
    esac
    echo "== build $tree"
    cmake -S "$root" -B "$root/build/$tree" -DCMAKE_BUILD_TYPE=Release "${toolchain[@]}" >/dev/null
    cmake --build "$root/build/$tree" -j "$jobs"
done
