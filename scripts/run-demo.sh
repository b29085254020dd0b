#!/usr/bin/env bash
# Korvane's main job, from a fresh Debian machine: installs what is missing,
# builds Korvane and the stand-in game, installs the stand-in demo in a private
# Wine prefix and runs Korvane there from its release folder (C:\Korvane).
#
# With a display (DISPLAY set) Korvane opens on it and you drive it yourself.
# Without one, or with --auto, a virtual X server is used and the demo drives the
# windows itself: it runs the default benchmark (all six scenes), opens the
# details list and the About window, then starts Korvane once more without the
# demo's registry key to show the fatal message; it prints what each window shows
# and saves a screenshot of each in build/demo/.
#
# Usage: scripts/run-demo.sh [--auto] [--seconds N] [--docs]
#   --seconds N   how long the stand-in game runs per scene (default 3; the real game takes 77)
#   --docs        also copy the screenshots to docs/screenshots/
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
auto=no
seconds=3
docs=no
while [ $# -gt 0 ]; do
    case "$1" in
    --auto) auto=yes ;;
    --seconds) seconds=$2; shift ;;
    --docs) docs=yes ;;
    *) sed -n '/^# Usage:/,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2; exit 2 ;;
    esac
    shift
done
[ -n "${DISPLAY:-}" ] || auto=yes
# A prefix of the demo's own, so that it never meets a test run's Korvane or registry key.
export KORVANE_WINEPREFIX=${KORVANE_WINEPREFIX:-$root/build/demo-wineprefix}

"$root/scripts/install-deps.sh"
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
# The i686 release; the x86_64 one on a machine that cannot run 32-bit programs.
test_tree=$(korvane_test_tree)
arch=win32
if [ "$test_tree" != win32-tests ]; then
    arch=win64
    echo "run-demo: this machine's kernel runs no 32-bit code; the demo runs the x86_64 release" >&2
fi
"$root/scripts/build.sh" "$arch" "$test_tree"
export KORVANE_STANDIN_GAME=${KORVANE_STANDIN_GAME:-$root/build/$test_tree/tools/standin-game/UT2003.exe}

korvane_wine_ensure
cleanup() {
    "$KORVANE_WINE" "$root/build/$test_tree/tools/demo-driver/korvane-demo-driver.exe" exit >/dev/null 2>&1 || true
    korvane_wine_stop
}
[ "$auto" = yes ] && trap cleanup EXIT

# The stand-in demo, its game running a few seconds per scene.
settings=$(mktemp)
printf '[all]\r\nseconds=%s\r\n' "$seconds" >"$settings"
"$root/scripts/demo-install.sh" --fresh --settings "$settings" >/dev/null
rm -f "$settings"

# Korvane's release folder, unpacked where a user would put it.
release=$(ls -d "$root"/dist/korvane-*-"$arch" | head -n 1)
korvaneFolder="$WINEPREFIX/drive_c/Korvane"
rm -rf "$korvaneFolder"
cp -r "$release" "$korvaneFolder"
echo "Korvane: $(basename "$release") in C:\\Korvane; stand-in demo in C:\\UT2003Demo"

# Korvane reads cpudef.dat from, and hands the ini files of, the folder it starts in.
(cd "$korvaneFolder" && exec "$KORVANE_WINE" korvane.exe) &
korvane=$!

if [ "$auto" = no ]; then
    echo "Korvane is open on $DISPLAY; close it to end the demo."
    wait "$korvane" || true
    exit 0
fi

shots="$root/build/demo"
mkdir -p "$shots"
driver() { "$KORVANE_WINE" "$root/build/$test_tree/tools/demo-driver/korvane-demo-driver.exe" "$@" | tr -d '\r'; }
shot() { # shot NAME CAPTION: the window's own X window, or the screen cut to its rectangle
    local rect
    sleep 1
    if xwd -silent -display "$DISPLAY" -name "$2" -out "$shots/$1.xwd" 2>/dev/null; then
        /usr/bin/convert "xwd:$shots/$1.xwd" "$shots/$1.png"
        rm -f "$shots/$1.xwd"
    else
        rect=$(driver rect "$2") || rect=""
        "$root/scripts/screenshot.sh" "$shots/$1.png" >/dev/null
        if [ -n "$rect" ]; then
            read -r x y w h <<<"$rect"
            /usr/bin/convert "$shots/$1.png" -crop "${w}x${h}+${x}+${y}" +repage "$shots/$1.png"
        fi
    fi
    echo "screenshot: $shots/$1.png"
}

driver wait-main
shot main-window "Korvane version 1.00 alpha"
echo
driver benchmark
shot result-window "Korvane Result Window"
echo
driver details
shot details-window "Benchmark details"
echo
driver about
shot about-window "About Korvane..."
driver close-about
driver exit
wait "$korvane" || true

# Without the demo's registry key Korvane shows its fatal message and ends.
echo
"$root/scripts/demo-uninstall.sh" >/dev/null
(cd "$korvaneFolder" && exec "$KORVANE_WINE" korvane.exe) &
korvane=$!
sleep 3
shot fatal-error "Korvane Fatal Error"
driver message
status=0
wait "$korvane" || status=$?
echo "Korvane ended with status $status (255 is -1 as Wine's launcher reports it)"

if [ "$docs" = yes ]; then
    mkdir -p "$root/docs/screenshots"
    cp "$shots"/*.png "$root/docs/screenshots/"
    echo "copied to docs/screenshots/"
fi
