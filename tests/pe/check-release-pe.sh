#!/usr/bin/env bash
# Checks every program of a release folder, whatever programs it holds: the PE
# hardening of check-pe.sh and the manifest of check-manifest.sh for both
# architectures and, for the 32-bit release, which must load on Windows 98, ME,
# 2000 and later, the Windows version its header asks for (4.0: with 5.01,
# Windows 2000 calls the file "not a valid Win32 application") and every import
# (check-imports.sh).
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
    # korvane.exe is the windowed program; any other (korvane-cli.exe) is a console one.
    if [ "$name" = korvane.exe ]; then
        bash "$here/check-manifest.sh" --windowed "$program" || status=1
    else
        bash "$here/check-manifest.sh" --console "$program" || status=1
    fi
    if [ "$arch" = i686 ]; then
        # The loader refuses a program whose header asks for a newer Windows.
        for field in OSystem Subsystem; do
            label=$([ "$field" = OSystem ] && echo "operating system" || echo subsystem)
            version=$(i686-w64-mingw32-objdump -p "$program" |
                awk -v f="$field" '$1 == "Major" f "Version" {major = $2} $1 == "Minor" f "Version" {minor = $2}
                    END {print major "." minor}')
            if [ "$version" = 4.0 ]; then
                echo "ok:   $label version $version (Windows 95 and NT 4.0 are 4.0)"
            else
                echo "FAIL: $name asks for $label version $version; Windows 98, ME and 2000 need 4.0"
                status=1
            fi
        done
        OBJDUMP=i686-w64-mingw32-objdump bash "$here/check-imports.sh" "$program" || status=1
    fi
done
exit $status
