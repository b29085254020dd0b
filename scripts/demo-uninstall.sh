#!/usr/bin/env bash
# Removes the UT2003 demo's registry key from Korvane's Wine prefix, in the 32-bit
# and the 64-bit view, and, when a folder is named, the stand-in demo folder too.
#
# Usage: demo-uninstall.sh [FOLDER]
#   FOLDER   Windows or Unix path of a demo folder inside the prefix's drive C: to delete
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

if [ $# -gt 1 ] || [ "${1:-}" = -h ] || [ "${1:-}" = --help ]; then
    echo "usage: $0 [FOLDER]" >&2
    exit 2
fi

# shellcheck source=wine-env.sh
. "$(dirname "$(readlink -f "$0")")/wine-env.sh"
korvane_wine_ensure

key='HKLM\SOFTWARE\UNREAL TECHNOLOGY\INSTALLED APPS\UT2003DEMO'
for view in /reg:32 /reg:64; do
    # A key that is not there is fine: the view is clean either way.
    if "$KORVANE_WINE" reg query "$key" "$view" </dev/null >/dev/null 2>&1; then
        "$KORVANE_WINE" reg delete "$key" /f "$view" </dev/null >/dev/null
        echo "registry key deleted ($view)"
    fi
done

if [ $# -eq 1 ]; then
    unixFolder=$(realpath -m -- "$(korvane_unix_path "$1")")
    driveC=$(realpath -m -- "$WINEPREFIX/drive_c")
    case $unixFolder in
    "$driveC"/?*)
        rm -rf -- "$unixFolder"
        echo "folder deleted: $(korvane_windows_path "$unixFolder")"
        ;;
    *)
        echo "demo-uninstall: $1 is not a folder inside the prefix's drive C:; left alone" >&2
        exit 1
        ;;
    esac
fi
