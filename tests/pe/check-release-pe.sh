#!/usr/bin/env bash
# Checks every program of a release folder, whatever programs it holds: the PE
# hardening of check-pe.sh for both architectures and, for the 32-bit release,
# which must start on Windows XP SP3, the imports against the program's
# allow-list tests/pe/imports-<program>-i686.txt and the list of what XP lacks.
# Usage: check-release-pe.sh RELEASE_FOLDER i686|x86_64
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
folder=$1
arch=$2
shopt -s nullglob nocaseglob
programs=("$folder"/*.exe)
shopt -u nocaseglob
if [ ${#programs[@]} -eq 0 ]; then
    echo "FAIL: no program (*.exe) in $folder"
    exit 1
fi
status=0
for program in "${programs[@]}"; do
    name=$(basename "$program")
    echo "== $name ($arch)"
    bash "$here/check-pe.sh" "$program" "$arch" || status=1
    if [ "$arch" = i686 ]; then
        OBJDUMP=i686-w64-mingw32-objdump bash "$here/check-imports.sh" \
            "$program" "$here/imports-${name%.*}-i686.txt" || status=1
    fi
done
exit $status
