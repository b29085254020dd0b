#!/usr/bin/env bash
# Runs the korvane-cli examples of README.md under Wine against the stand-in demo,
# with the settings files of docs/cli-examples/, and keeps what they printed in
# build/cli-examples/ (one .txt per example, its exit status on the last line) and
# their pages drawn by chromium in docs/screenshots/cli-*.png:
#   sweep     a resolution sweep of two scenes (base.ini), its page
#   compare   the same sweep again (new.ini) and the comparison, its page
#   flyby2    two runs of the six scenes, Flyby 2 run again for its spread
#   resume    a night's call killed during its third scene run, then resumed
#   roundup   four "cards" (roundup/*.ini) run twice each and merged, its page
# Needs the release and test builds (scripts/build.sh win32 win32-tests).
# Usage: cli-examples.sh
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

root=$(cd "$(dirname "$(readlink -f "$0")")/.." && pwd)
export KORVANE_WINEPREFIX=${KORVANE_WINEPREFIX:-$root/build/cli-wineprefix}
examples=$root/docs/cli-examples
out=$root/build/cli-examples
folder=$KORVANE_WINEPREFIX/drive_c/Korvane
mkdir -p "$out"

install() { "$root/scripts/demo-install.sh" --fresh --korvane --settings "$1" >/dev/null; }

# cli NAME ARGUMENTS...: korvane-cli in C:\Korvane, its output and exit status into NAME.txt.
cli() {
    local name=$1 status=0
    shift
    (cd "$folder" && "$root/scripts/wine-run.sh" korvane-cli.exe "$@") >"$out/$name.txt" 2>&1 || status=$?
    echo "exit status $status" >>"$out/$name.txt"
    echo "== $name: exit status $status"
}

# draw PAGE PNG: the page as chromium draws it, 800 pixels wide, cut below its end.
draw() {
    local profile
    profile=$(mktemp -d)
    HOME=$profile timeout 60 chromium --headless=new --no-sandbox --disable-gpu --hide-scrollbars \
        --user-data-dir="$profile/profile" --window-size=800,2400 --screenshot="$2" "file://$1" >/dev/null 2>&1
    rm -rf "$profile"
    convert "$2" -trim +repage -bordercolor white -border 12 "$2"
}

sweep=(--scenes "flyby1,botmatch1" --resolution "640x480,1600x1200")
install "$examples/base.ini"
cli sweep "${sweep[@]}" --json base.json --html base.html
install "$examples/new.ini"
cli sweep-new "${sweep[@]}" --json new.json
cli compare compare base.json new.json --fail-below 3 --html compare.html
draw "$folder/base.html" "$root/docs/screenshots/cli-sweep-report.png"
draw "$folder/compare.html" "$root/docs/screenshots/cli-compare-report.png"

install "$examples/flyby2.ini"
cli flyby2 --runs 2 --json run.json
cp "$folder/run.json" "$out/flyby2.json"

# A night's call, ended with SIGKILL (no Ctrl-C, no chance to write) 11 s in, during its
# third scene run, then resumed from its report.
install "$examples/night.ini"
rm -f "$folder"/night.*
(cd "$folder" && timeout -s KILL 11 "$root/scripts/wine-run.sh" korvane-cli.exe --scenes flyby1,flyby2 \
    --runs 4 --json night.json --csv night.csv --html night.html) >"$out/night.txt" 2>&1 || true
echo "killed; left: $(cd "$folder" && echo night.*)"
cp "$folder/night.json" "$out/night-killed.json"
cli resume --resume night.json
cp "$folder/night.json" "$out/night.json"

for card in "$examples"/roundup/*.ini; do
    name=$(basename "$card" .ini)
    install "$card"
    cli "roundup-$name" --runs 2 --quiet --json "$name.json"
done
cli merge merge radeon-9700-pro.json geforce4-ti4600.json parhelia-512.json xabre-400.json \
    --html roundup.html --markdown roundup.md --bbcode roundup.txt --json roundup.json
cp "$folder"/roundup.* "$out/"
draw "$folder/roundup.html" "$root/docs/screenshots/cli-merge-report.png"
