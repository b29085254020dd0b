#!/usr/bin/env bash
# How long korvane-cli merge takes for 64 reports of 8 configurations each under
# Wine: the release's korvane-cli.exe merges the reports tests/perf writes, with
# every file it can write, timed from outside (the median of RUNS calls).
# Needs the builds of scripts/build.sh. Not a test: the figure depends on the
# machine and its load.
# Usage: scripts/measure-merge.sh [RUNS]   (default 5)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" >/dev/null
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
tree=$(korvane_test_tree)
arch=win32
[ "$tree" = win32-tests ] || arch=win64
build=${KORVANE_TEST_BUILD:-$root/build/$tree}
cli=$(find "$root/dist" -maxdepth 2 -path "*-$arch/korvane-cli.exe" | head -n 1)
[ -f "$build/tests/perf/korvane-write-reports.exe" ] && [ -n "$cli" ] || "$root/scripts/build.sh" "$arch" "$tree"
cli=$(find "$root/dist" -maxdepth 2 -path "*-$arch/korvane-cli.exe" | head -n 1)
korvane_wine_ensure
trap korvane_wine_stop EXIT
folder=$WINEPREFIX/drive_c/korvane-merge
rm -rf "$folder" && mkdir -p "$folder"
cp "$cli" "$folder/"
"$root/scripts/wine-run.sh" "$build/tests/perf/korvane-write-reports.exe" 'C:\korvane-merge' 64
cd "$folder"
reports=(card-*.json)
times=()
for _ in $(seq "${1:-5}"); do
    start=$(date +%s%N)
    "$root/scripts/wine-run.sh" korvane-cli.exe merge "${reports[@]}" --json merge.json --csv merge.csv \
        --html merge.html --markdown merge.md --bbcode merge.txt >/dev/null
    times+=("$(awk -v ns=$(( $(date +%s%N) - start )) 'BEGIN { printf "%.2f", ns / 1e9 }')")
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
echo "merge of ${#reports[@]} reports of 8 configurations, every file: $(echo "$sorted" | tr '\n' ' ')s"
echo "median: $(echo "$sorted" | sed -n "$(( (${#times[@]} + 1) / 2 ))p") s (each call includes Wine's start of korvane-cli.exe)"
cd "$root" && rm -rf "$folder"
