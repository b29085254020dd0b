#!/usr/bin/env bash
# Static analysis of Korvane's platform-free code: clang-tidy (checks in
# .clang-tidy) and cppcheck (suppressions, each with its reason, in
# tests/static-analysis/cppcheck-suppressions.txt). Any finding fails.
#
# The files are those of the native build's compilation database under app/,
# bench/, cli/, framework/, sysinfo/ and tools/ (the native build holds only the
# platform-free code and the portable tools), plus the stand-in game's portable
# part, which only the Windows build compiles.
#
# Usage: scripts/static-analysis.sh [NATIVE_BUILD_DIR]   (default build/native,
#        configured with CMAKE_EXPORT_COMPILE_COMMANDS=ON as scripts/build.sh does)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/native}
jobs=${KORVANE_JOBS:-$(nproc)}
database=$build/compile_commands.json
if [ ! -f "$database" ]; then
    echo "static-analysis: no $database; run scripts/build.sh native first" >&2
    exit 2
fi
for tool in clang-tidy cppcheck; do
    command -v "$tool" >/dev/null || { echo "static-analysis: $tool is missing (scripts/install-deps.sh)" >&2; exit 2; }
done

mapfile -t files < <(grep -o '"file": *"[^"]*"' "$database" | sed 's/^"file": *"//; s/"$//' |
    grep -E "^$root/(app|bench|cli|framework|sysinfo|tools)/" | LC_ALL=C sort -u)
portableOnlyInWindowsBuild=("$root/tools/standin-game/Scenario.cpp")
if [ ${#files[@]} -eq 0 ]; then
    echo "static-analysis: no platform-free sources in $database" >&2
    exit 2
fi
echo "static-analysis: ${#files[@]} files from $database, ${#portableOnlyInWindowsBuild[@]} more with the project's flags"
status=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== clang-tidy ($(clang-tidy --version | sed -n 's/.*LLVM version \([0-9.]*\).*/\1/p'))"
# One file per call, two at a time; each call's findings go to its own file.
tidyOne() {
    local root=$1 build=$2 work=$3 file=$4 out
    out=$work/tidy-$(printf '%s' "$file" | tr '/' '_').txt
    if [ -n "$(grep -F "\"$file\"" "$build/compile_commands.json" | head -n 1)" ]; then
        clang-tidy --quiet -p "$build" "$file" >"$out" 2>&1 || echo "$file" >>"$work/tidy-failed"
    else
        clang-tidy --quiet "$file" -- -std=c++17 -I"$root" >"$out" 2>&1 || echo "$file" >>"$work/tidy-failed"
    fi
}
export -f tidyOne
printf '%s\n' "${files[@]}" "${portableOnlyInWindowsBuild[@]}" |
    xargs -P "$jobs" -I{} bash -c 'tidyOne "$@"' _ "$root" "$build" "$work" {}
# The findings, each once (a finding in a header comes with every file that
# includes it); run clang-tidy on the file named for the notes and the fix it offers.
cat "$work"/tidy-*.txt | grep -E ': (error|warning): ' | LC_ALL=C sort -u || true
if [ -f "$work/tidy-failed" ]; then
    echo "clang-tidy: findings in $(sort -u "$work/tidy-failed" | wc -l) files"
    status=1
else
    echo "clang-tidy: no findings"
fi

echo "== cppcheck ($(cppcheck --version | sed 's/^Cppcheck //'))"
if cppcheck --quiet --std=c++17 --language=c++ -I "$root" -j "$jobs" \
    --enable=warning,style,performance,portability --inline-suppr \
    --suppressions-list="$root/tests/static-analysis/cppcheck-suppressions.txt" \
    --error-exitcode=1 --template='{file}:{line}:{column}: {severity}: {message} [{id}]' \
    "${files[@]}" "${portableOnlyInWindowsBuild[@]}"; then
    echo "cppcheck: no findings"
else
    echo "cppcheck: findings above"
    status=1
fi
exit $status
