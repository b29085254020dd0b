#!/usr/bin/env bash
# What korvane-cli's rewrite of its --json, --csv and --html files after a scene
# run costs for a report of 300 scene runs, under Wine (tests/perf): the texts
# made from the call and each file put in place through its flushed pending file.
# Needs the i686 test tree of scripts/build.sh (or KORVANE_TEST_BUILD). Not a
# test: the figure depends on the machine and its load.
# Usage: scripts/measure-rewrite-cost.sh [REWRITES]   (default 20)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" >/dev/null
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
build=${KORVANE_TEST_BUILD:-$root/build/$(korvane_test_tree)}
program=$build/tests/perf/korvane-rewrite-cost.exe
[ -f "$program" ] || "$root/scripts/build.sh" "$(basename "$build")"
korvane_wine_ensure
trap korvane_wine_stop EXIT
folder=$WINEPREFIX/drive_c/korvane-rewrite-cost
mkdir -p "$folder"
"$root/scripts/wine-run.sh" "$program" 'C:\korvane-rewrite-cost' "${1:-20}"
rm -rf "$folder"
