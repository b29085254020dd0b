#!/usr/bin/env bash
# Checks the application manifest embedded in a release program against the
# release's decisions (docs/release.md):
#   - it runs as the invoking user (asInvoker, no UI access): it never asks for
#     elevation and Windows applies no installer detection to it;
#   - for a release program, windowed (--windowed) or console (--console): it has
#     a manifest and lists Windows Vista to 10 as supported;
#   - for the windowed program: it also asks for common controls 6 (visual
#     styles) and declares no DPI awareness (Windows scales its fixed-size
#     pictures and fonts as a whole).
# A program without a manifest passes unless --windowed or --console is given.
# Usage: check-manifest.sh [--windowed|--console] EXE
#        check-manifest.sh [--windowed|--console] --manifest-from FILE   (the manifest's text)
set -euo pipefail
windowed=no
release=no
manifestFile=
while [ $# -gt 0 ]; do
    case $1 in
    --windowed) windowed=yes; release=yes; shift ;;
    --console) release=yes; shift ;;
    --manifest-from) manifestFile=$2; shift 2 ;;
    *) break ;;
    esac
done
if [ -n "$manifestFile" ]; then
    [ $# -eq 0 ] || { sed -n '/^# Usage:/,/^set -euo/p' "$0" | sed '$d' >&2; exit 2; }
    name=$(basename "$manifestFile")
    manifest=$(cat "$manifestFile")
else
    [ $# -eq 1 ] || { sed -n '/^# Usage:/,/^set -euo/p' "$0" | sed '$d' >&2; exit 2; }
    name=$(basename "$1")
    # The manifest is stored as its UTF-8 text in the resources.
    manifest=$(LC_ALL=C tr '\0' '\n' <"$1" | LC_ALL=C sed -n '/<?xml/,/<\/assembly>/{p;/<\/assembly>/q}') || true
fi
failures=0
fail() { echo "FAIL: $name: $*"; failures=$((failures + 1)); }
pass() { echo "ok:   $name: $*"; }

if [ -z "$manifest" ]; then
    if [ "$release" = yes ]; then
        fail "no application manifest"
    else
        pass "no application manifest"
    fi
    [ "$failures" -eq 0 ]
    exit
fi
# One line, blanks collapsed, so that attributes can be matched wherever the lines break.
flat=$(tr '\r\n\t' '   ' <<<"$manifest" | tr -s ' ')

if grep -qE '<requestedExecutionLevel level="asInvoker" uiAccess="false" ?/>' <<<"$flat"; then
    pass "runs as invoker"
else
    fail "does not ask to run as invoker (requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\")"
fi
if [ "$windowed" = yes ]; then
    if grep -qE 'name="Microsoft.Windows.Common-Controls" version="6\.0\.0\.0"' <<<"$flat"; then
        pass "asks for common controls 6 (visual styles)"
    else
        fail "does not ask for common controls 6"
    fi
    if grep -qiE 'dpiAware|dpiAwareness' <<<"$flat"; then
        fail "declares DPI awareness; the release leaves scaling to Windows"
    else
        pass "declares no DPI awareness"
    fi
fi
if [ "$release" = yes ]; then
    # Windows Vista, 7, 8, 8.1 and 10 (and later).
    missing=0
    for id in e2011457-1546-43c5-a5fe-008deee3d3f0 35138b9a-5d96-4fbd-8e2d-a2440225f93a \
        4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 1f676c76-80e1-4239-95bb-83d0f6d0da78 \
        8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
        grep -qiF "<supportedOS Id=\"{$id}\"/>" <<<"$flat" || { fail "supportedOS {$id} missing"; missing=1; }
    done
    [ $missing -eq 1 ] || pass "lists Windows Vista, 7, 8, 8.1 and 10 as supported"
fi
[ "$failures" -eq 0 ]
