#!/usr/bin/env bash
# Reads each HTML page given as a browser that draws no SVG does (Debian's w3m,
# as Internet Explorer 5 and 6 also read them) and fails a page whose charts
# leak into the text: their labels would stand as a line of stray words above
# each table ("0 50 100 150 frames per second Flyby 1 DM-Antalus ..."). The
# tables must still be there. A copy of the first page with its charts put
# inline, as plain <svg> elements, must fail, which shows the check can.
# Usage: check-text-browser.sh PAGE...
set -uo pipefail
command -v w3m >/dev/null || { echo "FAIL: no w3m"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# What only a chart holds: its axes' names.
leaks='frames per second|difference in percent|Korvanes$'

# judge PAGE NAME: prints ok or FAIL; status 1 on FAIL.
judge() {
    local text
    text=$(w3m -dump -cols 200 -T text/html "$1" 2>&1)
    if grep -Eq "$leaks" <<<"$text"; then
        echo "FAIL: $2: a chart's text shows: $(grep -Em1 "$leaks" <<<"$text")"
        return 1
    fi
    if ! grep -q "Mean fps\|Difference\|Index" <<<"$text"; then
        echo "FAIL: $2: no table shows"
        return 1
    fi
    echo "ok:   $2: tables only"
}

status=0
for page in "$@"; do
    judge "$page" "$(basename "$page")" || status=1
done
/usr/bin/python3 - "$1" "$work/inline.html" <<'PYTHON'
import base64, re, sys
page = open(sys.argv[1], encoding="utf-8").read()
page = re.sub(r'<!--\[if gte IE 9\]><!--><object[^>]*data="data:image/svg\+xml;base64,([A-Za-z0-9+/=]+)"></object><!--<!\[endif\]-->',
              lambda match: base64.b64decode(match.group(1)).decode("utf-8"), page)
open(sys.argv[2], "w", encoding="utf-8").write(page)
PYTHON
if judge "$work/inline.html" "planted" >/dev/null; then
    echo "FAIL: a planted fault passes: a page with its charts inline shows no chart text"
    status=1
else
    echo "ok:   planted and caught: a page with its charts inline shows their text"
fi
exit $status
