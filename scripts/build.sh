#!/usr/bin/env bash
# Builds Korvane: the native tree (platform-free code, unit tests, tools) and the
# two Windows trees (x86_64 and i686), each leaving its release folder in dist/.
# Usage: scripts/build.sh [native] [win64] [win32]   (default: all three)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${KORVANE_JOBS:-$(nproc)}
trees=("$@")
[ ${#trees[@]} -gt 0 ] || trees=(native win64 win32)

for tree in "${trees[@]}"; do
    case "$tree" in
    # The native tree's compilation database feeds scripts/static-analysis.sh.
    native) toolchain=(-DCMAKE_EXPORT_COMPILE_COMMANDS=ON) ;;
    win64) toolchain=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake") ;;
    win32) toolchain=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake") ;;
    *) echo "build.sh: unknown tree '$tree' (native, win64, win32)" >&2; exit 2 ;;
    esac
    echo "== build $tree"
    cmake -S "$root" -B "$root/build/$tree" -DCMAKE_BUILD_TYPE=Release "${toolchain[@]}" >/dev/null
    cmake --build "$root/build/$tree" -j "$jobs"
done
