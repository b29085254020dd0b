#!/usr/bin/env bash
# Runs one Windows program under Korvane's private Wine prefix: CTest's emulator
# for the cross builds. Usage: wine-run.sh program.exe [arguments...]
set -u
. "$(dirname "$(readlink -f "$0")")/wine-env.sh" || exit 1
korvane_wine_ensure || exit 1
exec "$KORVANE_WINE" "$@"
