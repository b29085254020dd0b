# shellcheck shell=bash
# Source this file: it sets up Korvane's private Wine prefix (never ~/.wine) and,
# when there is no display, a virtual X server. Used by every script that runs a
# Windows program and by CTest's emulator wrapper.
#   korvane_wine_ensure   create or reuse the prefix, the display and the wine server
#   korvane_wine_stop     wait for the Windows programs, then stop the server and Xvfb
#   korvane_unix_path     the Unix path of a Windows path in the prefix (C:\x -> .../drive_c/x)
#   korvane_windows_path  the Windows path of a Unix path (.../drive_c/x -> C:\x, /x -> Z:\x)
#   korvane_test_tree     the Windows test tree this machine can run: win32-tests, or
#                         win64-tests where 32-bit programs cannot run at all

KORVANE_ROOT=${KORVANE_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX=${KORVANE_WINEPREFIX:-$KORVANE_ROOT/build/wineprefix}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

korvane_find_wine() {
    local candidate
    for candidate in wine64 /usr/lib/wine/wine64 wine /usr/lib/wine/wine; do
        if command -v "$candidate" >/dev/null 2>&1; then
            command -v "$candidate"
            return 0
        fi
    done
    echo "wine-env: no wine found; install Debian's wine64 package" >&2
    return 1
}

korvane_find_wineserver() {
    local candidate
    for candidate in wineserver /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver; do
        if command -v "$candidate" >/dev/null 2>&1; then
            command -v "$candidate"
            return 0
        fi
    done
    return 1
}

# 32-bit Wine needs a kernel that runs 32-bit x86 code (IA-32 emulation); some
# virtual machines' kernels have none, and there only 64-bit programs run.
korvane_test_tree() {
    if [ -x /usr/lib/wine/wine ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
        echo win64-tests
    else
        echo win32-tests
    fi
}

KORVANE_WINE=$(korvane_find_wine) || return 1 2>/dev/null || exit 1
KORVANE_WINESERVER=$(korvane_find_wineserver)
export KORVANE_WINE KORVANE_WINESERVER

# The display: the caller's, or one Xvfb shared by everything that uses this prefix.
korvane_display() {
    local displayFile="$WINEPREFIX.display"
    if [ -n "${DISPLAY:-}" ] && [ -z "${KORVANE_OWN_DISPLAY:-}" ]; then
        return 0
    fi
    if [ -f "$displayFile" ]; then
        local number pid
        read -r number pid <"$displayFile"
        if kill -0 "$pid" 2>/dev/null; then
            export DISPLAY=":$number"
            return 0
        fi
    fi
    command -v Xvfb >/dev/null 2>&1 || { echo "wine-env: no display and no Xvfb (install xvfb)" >&2; return 1; }
    local number=${KORVANE_XVFB_DISPLAY:-91}
    while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do
        number=$((number + 1))
    done
    Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 9>&- &
    local pid=$!
    local tries=0
    while [ ! -e "/tmp/.X11-unix/X$number" ] && [ $tries -lt 100 ]; do
        sleep 0.1
        tries=$((tries + 1))
    done
    echo "$number $pid" >"$displayFile"
    export DISPLAY=":$number"
    export KORVANE_OWN_DISPLAY=1
}

korvane_wine_ensure() {
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        korvane_display || exit 1
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            "$KORVANE_WINESERVER" -p </dev/null >/dev/null 2>&1 9>&-
            "$KORVANE_WINE" wineboot -i </dev/null >/dev/null 2>&1 9>&-
            # A crash must end the program, not wait on a crash dialog.
            "$KORVANE_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1 9>&-
            "$KORVANE_WINESERVER" -w
        fi
        korvane_wine_look 9>&-
    ) 9>"$WINEPREFIX.lock" || return 1
    korvane_display || return 1
    # Keep the server up between programs; each start would cost seconds otherwise.
    "$KORVANE_WINESERVER" -p </dev/null >/dev/null 2>&1 || true
    # Start the services and the desktop here, detached: started by the first program
    # instead, they would keep its standard error open for as long as the server runs,
    # and a caller reading that program's output through a pipe would wait forever.
    if ! korvane_wine_services_running; then
        "$KORVANE_WINE" wineboot </dev/null >/dev/null 2>&1 || true
    fi
}

# Once per prefix: windows look as they do on Windows under a bare X server. Wine
# draws frames and captions itself (no window manager would draw them), and the
# caption buttons get the Marlett glyphs, which Wine does not find outside the prefix.
korvane_wine_look() {
    local marker="$WINEPREFIX/.korvane-look"
    [ ! -f "$marker" ] || return 0
    "$KORVANE_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
        </dev/null >/dev/null 2>&1 || return 0
    local font
    for font in /usr/share/wine/fonts/marlett.ttf /usr/share/fonts/truetype/wine/marlett.ttf; do
        if [ -f "$font" ]; then
            mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
            cp -f "$font" "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf"
            break
        fi
    done
    touch "$marker"
}

# True when the services of this prefix are running.
korvane_wine_services_running() {
    command -v pgrep >/dev/null 2>&1 || return 1
    local pid
    for pid in $(pgrep -f 'system32.services\.exe' 2>/dev/null); do
        if grep -qzxF "WINEPREFIX=$WINEPREFIX" "/proc/$pid/environ" 2>/dev/null; then
            return 0
        fi
    done
    return 1
}

korvane_wine_stop() {
    if [ -n "$KORVANE_WINESERVER" ]; then
        "$KORVANE_WINESERVER" -k 2>/dev/null || true
    fi
    local displayFile="$WINEPREFIX.display"
    if [ -f "$displayFile" ]; then
        local number pid
        read -r number pid <"$displayFile"
        kill "$pid" 2>/dev/null || true
        rm -f "$displayFile"
    fi
}

# Prints the Unix path of a Windows path ("C:\Games\UT 2003" gives
# $WINEPREFIX/drive_c/Games/UT 2003); a Unix path is printed as it is.
korvane_unix_path() {
    local path=$1
    case $path in
    [A-Za-z]:*)
        local drive=${path:0:1}
        local rest=${path:2}
        local base
        drive=$(printf '%s' "$drive" | tr '[:upper:]' '[:lower:]')
        if [ -e "$WINEPREFIX/dosdevices/$drive:" ]; then
            base=$(readlink -f -- "$WINEPREFIX/dosdevices/$drive:")
        elif [ "$drive" = c ]; then
            base=$WINEPREFIX/drive_c
        else
            echo "wine-env: no drive $drive: in $WINEPREFIX" >&2
            return 1
        fi
        rest=${rest//\\//}
        printf '%s/%s\n' "${base%/}" "${rest#/}"
        ;;
    *)
        printf '%s\n' "$path"
        ;;
    esac
}

# Prints the Windows path of a Unix path: under the prefix's drive_c on C:, anywhere
# else on Z: (the whole Unix tree); a Windows path is printed as it is.
korvane_windows_path() {
    local path=$1
    case $path in
    [A-Za-z]:*)
        printf '%s\n' "$path"
        return 0
        ;;
    esac
    local driveC
    path=$(realpath -m -- "$path")
    driveC=$(realpath -m -- "$WINEPREFIX/drive_c")
    case $path in
    "$driveC")
        printf 'C:\\\n'
        ;;
    "$driveC"/*)
        path=${path#"$driveC"/}
        printf 'C:\\%s\n' "${path//\//\\}"
        ;;
    *)
        printf 'Z:%s\n' "${path//\//\\}"
        ;;
    esac
}
