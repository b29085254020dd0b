#!/usr/bin/env bash
# Saves a PNG of the X display the Windows programs run on: the caller's DISPLAY, or
# else the Xvfb that Korvane's Wine prefix uses. With a window title, the picture is
# cut to that window when xwininfo finds it (exact title first, then a title that
# contains the text); otherwise the whole screen is saved.
#
# Usage: screenshot.sh OUT.png [WINDOW-TITLE]
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: $0 OUT.png [WINDOW-TITLE]" >&2
    exit 2
fi
out=$1
title=${2:-}

# shellcheck source=wine-env.sh
. "$(dirname "$(readlink -f "$0")")/wine-env.sh"
if [ -z "${DISPLAY:-}" ]; then
    displayFile="$WINEPREFIX.display"
    if [ -f "$displayFile" ]; then
        read -r number pid <"$displayFile"
        if kill -0 "$pid" 2>/dev/null; then
            export DISPLAY=":$number"
        fi
    fi
fi
if [ -z "${DISPLAY:-}" ]; then
    echo "screenshot: no display (no DISPLAY and no Xvfb of $WINEPREFIX running)" >&2
    exit 1
fi

# ImageMagick's own convert, when something else of that name comes first on the PATH.
convertTool=convert
if [ -x /usr/bin/convert ]; then
    convertTool=/usr/bin/convert
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
xwd -root -silent -display "$DISPLAY" >"$work/screen.xwd"

# window_geometry TITLE: prints "WIDTH HEIGHT X Y" of a visible window with that title.
window_geometry() {
    command -v xwininfo >/dev/null 2>&1 || return 1
    local id info
    info=$(xwininfo -display "$DISPLAY" -name "$1" 2>/dev/null) || info=
    if [ -z "$info" ]; then
        # A title that contains the text: the first viewable match of the window tree.
        while read -r id; do
            info=$(xwininfo -display "$DISPLAY" -id "$id" 2>/dev/null) || continue
            if grep -q 'Map State: IsViewable' <<<"$info"; then
                break
            fi
            info=
        done < <(xwininfo -display "$DISPLAY" -root -tree 2>/dev/null |
            grep -F "\"" | grep -F -- "$1" | awk '{ print $1 }')
    fi
    [ -n "$info" ] || return 1
    grep -q 'Map State: IsViewable' <<<"$info" || return 1
    awk -F: '
        /Absolute upper-left X/ { x = $2 + 0 }
        /Absolute upper-left Y/ { y = $2 + 0 }
        /^ *Width/ { w = $2 + 0 }
        /^ *Height/ { h = $2 + 0 }
        END { if (w > 0 && h > 0) print w, h, x, y; else exit 1 }' <<<"$info"
}

crop=()
if [ -n "$title" ]; then
    if geometry=$(window_geometry "$title"); then
        read -r width height x y <<<"$geometry"
        # Keep the part that lies on the screen.
        if [ "$x" -lt 0 ]; then
            width=$((width + x))
            x=0
        fi
        if [ "$y" -lt 0 ]; then
            height=$((height + y))
            y=0
        fi
        if [ "$width" -gt 0 ] && [ "$height" -gt 0 ]; then
            crop=(-crop "${width}x${height}+${x}+${y}" +repage)
        fi
    fi
    if [ ${#crop[@]} -eq 0 ]; then
        echo "screenshot: no window titled \"$title\"; saving the whole screen" >&2
    fi
fi

"$convertTool" "xwd:$work/screen.xwd" "${crop[@]}" "png:$out"
echo "$out"
