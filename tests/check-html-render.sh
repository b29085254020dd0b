#!/usr/bin/env bash
# Draws each HTML page given with a real browser (Debian's chromium, headless) into
# a PNG in PNG_FOLDER, and fails a page whose charts came out blank: the charts are
# the only coloured part of a page (text and tables are grey), so a drawn page must
# have at least 500 saturated pixels. A copy of the first page with its bars,
# dots and lines taken out of its drawings must fail, which shows the check can.
# Usage: check-html-render.sh PNG_FOLDER PAGE...
set -uo pipefail
out=$1 min=500
shift
mkdir -p "$out" || exit 1
browser=$(command -v chromium || command -v chromium-browser) || { echo "FAIL: no chromium"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# coloured PAGE PNG: the number of pixels of saturation above 30 % in PAGE as drawn.
coloured() {
    HOME=$work timeout 60 "$browser" --headless=new --no-sandbox --disable-gpu --hide-scrollbars \
        --user-data-dir="$work/profile" --window-size=800,1600 --screenshot="$2" "file://$1" >/dev/null 2>&1 &&
        convert "$2" -colorspace HSL -channel G -separate -threshold 30% -format '%[fx:round(mean*w*h)]' info:
}

status=0
pages=("$@")
[ -f "${pages[0]:-}" ] || { echo "FAIL: no page ${pages[0]:-given}"; exit 1; }
for page in "${pages[@]}"; do
    png=$out/$(basename "${page%.html}").png
    count=$(coloured "$page" "$png") || count=0
    if [ "${count:-0}" -ge "$min" ]; then
        echo "ok:   $(basename "$page"): $count coloured pixels"
    else
        echo "FAIL: $(basename "$page"): ${count:-no} coloured pixels, fewer than $min: blank charts" && status=1
    fi
done
# The charts are SVG drawings in data: objects: each is taken out, stripped, put back.
/usr/bin/python3 - "${pages[0]}" "$work/blank.html" <<'PYTHON'
import base64, re, sys
page = open(sys.argv[1], encoding="utf-8").read()
def blank(match):
    svg = base64.b64decode(match.group(1)).decode("utf-8")
    svg = re.sub(r"<(rect|circle|polyline)[^>]*>", "", svg)
    return "data:image/svg+xml;base64," + base64.b64encode(svg.encode("utf-8")).decode("ascii")
open(sys.argv[2], "w", encoding="utf-8").write(re.sub(r"data:image/svg\+xml;base64,([A-Za-z0-9+/=]+)", blank, page))
PYTHON
count=$(coloured "$work/blank.html" "$work/blank.png") || count=0
if [ "${count:-0}" -lt "$min" ]; then
    echo "ok:   planted and caught: a page without its bars has $count coloured pixels"
else
    echo "FAIL: a planted fault passes: a page without its bars has $count coloured pixels" && status=1
fi
exit $status
