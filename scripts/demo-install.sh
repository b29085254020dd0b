#!/usr/bin/env bash
# Installs a stand-in UT2003 demo in Korvane's Wine prefix: the stand-in game as
# System\UT2003.exe, the benchmark's exec scripts and user ini files in
# Benchmark\Stuff (no benchmark.log), and the registry value Korvane looks for,
# HKLM\SOFTWARE\UNREAL TECHNOLOGY\INSTALLED APPS\UT2003DEMO "Folder", in the 32-bit
# view where the demo's installer leaves it.
#
# Usage: demo-install.sh [options] [FOLDER]
#   FOLDER                 Windows path (C:\Games\UT 2003 Demo) or Unix path; default C:\UT2003Demo.
#                          A Windows path goes into the registry exactly as given (a trailing
#                          backslash stays).
#   --settings FILE        install FILE as System\standin-settings.ini (otherwise any old one is removed)
#   --game EXE             the stand-in to install (default: build/win32-tests/tools/standin-game/UT2003.exe,
#                          or $KORVANE_STANDIN_GAME)
#   --fresh                delete the folder first (old record and log included)
#   --registry-value TEXT  write TEXT as "Folder" instead of the folder's Windows path
#   --no-registry          leave the registry alone
#   --korvane              also copy the release folder (dist/korvane-*-win32, or -win64 on a machine
#                          without 32-bit Wine) to C:\Korvane, where korvane.exe and korvane-cli.exe
#                          are started from
# Prints the folder's Windows and Unix paths.
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

usage() {
    sed -n '/^# Usage:/,/^# Prints/p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
}

# shellcheck source=wine-env.sh
. "$(dirname "$(readlink -f "$0")")/wine-env.sh"

folder='C:\UT2003Demo'
settingsFile=
game=${KORVANE_STANDIN_GAME:-$KORVANE_ROOT/build/win32-tests/tools/standin-game/UT2003.exe}
fresh=0
copyKorvane=0
writeRegistry=1
registryValue=
haveRegistryValue=0
while [ $# -gt 0 ]; do
    case $1 in
    --settings)
        [ $# -ge 2 ] || usage
        settingsFile=$2
        shift 2
        ;;
    --game)
        [ $# -ge 2 ] || usage
        game=$2
        shift 2
        ;;
    --fresh)
        fresh=1
        shift
        ;;
    --registry-value)
        [ $# -ge 2 ] || usage
        registryValue=$2
        haveRegistryValue=1
        shift 2
        ;;
    --no-registry)
        writeRegistry=0
        shift
        ;;
    --korvane)
        copyKorvane=1
        shift
        ;;
    -h | --help) usage ;;
    -*)
        echo "demo-install: unknown option $1" >&2
        usage
        ;;
    *)
        folder=$1
        shift
        [ $# -eq 0 ] || usage
        ;;
    esac
done

if [ ! -f "$game" ]; then
    echo "demo-install: no stand-in game at $game (build the win32-tests tree, or pass --game)" >&2
    exit 1
fi
if [ -n "$settingsFile" ] && [ ! -f "$settingsFile" ]; then
    echo "demo-install: no settings file $settingsFile" >&2
    exit 1
fi

korvane_wine_ensure
unixFolder=$(korvane_unix_path "$folder")
windowsFolder=$(korvane_windows_path "$folder")
[ "$haveRegistryValue" -eq 1 ] || registryValue=$windowsFolder

if [ "$fresh" -eq 1 ] && [ -e "$unixFolder" ]; then
    rm -rf -- "$unixFolder"
fi
system="$unixFolder/System"
stuff="$unixFolder/Benchmark/Stuff"
mkdir -p "$system" "$stuff"
cp -- "$game" "$system/UT2003.exe"
if [ -n "$settingsFile" ]; then
    cp -- "$settingsFile" "$system/standin-settings.ini"
else
    rm -f -- "$system/standin-settings.ini"
fi

# crlf FILE LINE...: writes the lines with CR LF ends, as the demo ships its files.
crlf() {
    local file=$1
    shift
    printf '%s\r\n' "$@" >"$file"
}
crlf "$stuff/flybyexec.txt" \
    "stat fps" \
    "set Engine.LevelInfo bHighDetailMode True"
crlf "$stuff/botmatchexec.txt" \
    "stat fps" \
    "set Engine.GameInfo bQuickStart True"
crlf "$stuff/MaxDetailUser.ini" \
    "[Engine.LevelInfo]" \
    "PhysicsDetailLevel=PDL_High" \
    "" \
    "[Engine.PlayerController]" \
    "bSmallWeapons=False" \
    "bWeaponBob=True"
crlf "$stuff/MinDetailUser.ini" \
    "[Engine.LevelInfo]" \
    "PhysicsDetailLevel=PDL_Low" \
    "" \
    "[Engine.PlayerController]" \
    "bSmallWeapons=True" \
    "bWeaponBob=False"

if [ "$writeRegistry" -eq 1 ]; then
    "$KORVANE_WINE" reg add 'HKLM\SOFTWARE\UNREAL TECHNOLOGY\INSTALLED APPS\UT2003DEMO' \
        /v Folder /t REG_SZ /d "$registryValue" /f /reg:32 </dev/null >/dev/null
fi

if [ "$copyKorvane" -eq 1 ]; then
    arch=win32
    [ "$(korvane_test_tree)" = win32-tests ] || arch=win64
    release=$(find "$KORVANE_ROOT/dist" -maxdepth 1 -type d -name "korvane-*-$arch" | head -n 1)
    if [ -z "$release" ]; then
        echo "demo-install: no release folder dist/korvane-*-$arch (run scripts/build.sh)" >&2
        exit 1
    fi
    korvane=$(korvane_unix_path 'C:\Korvane')
    mkdir -p "$korvane"
    cp -- "$release"/* "$korvane/"
    echo "korvane:        C:\Korvane (from $release)"
fi

echo "demo installed: $windowsFolder"
echo "unix folder:    $unixFolder"
if [ "$writeRegistry" -eq 1 ]; then
    echo "registry:       HKLM\\SOFTWARE\\UNREAL TECHNOLOGY\\INSTALLED APPS\\UT2003DEMO Folder=$registryValue (32-bit view)"
fi
