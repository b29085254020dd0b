#!/usr/bin/env bash
# Installs the Debian packages that Korvane's builds, tests and demo run need: the
# compilers (native and MinGW-w64), GoogleTest, Wine with its fonts, Xvfb and the
# screenshot tools, the zip tools for the release, the code checkers and the JSON
# schema validator (Debian's python3-jsonschema, for /usr/bin/python3), and the
# header-only libraries korvane-cli builds with (Boost.Math, nlohmann-json), and
# Debian's chromium, which draws korvane-cli's HTML pages in the tests, and w3m,
# which reads them as a browser without SVG does. Only the
# packages that are missing are installed; with everything present it does nothing.
# Wine's 32-bit half (wine32, with the GL libraries Direct3D 8 needs under it)
# comes from Debian's i386 architecture, which is added when missing.
# Runs apt-get as root (through sudo when started by another user).
set -euo pipefail

packages=(
    cmake
    g++
    googletest
    g++-mingw-w64-i686-win32
    g++-mingw-w64-x86-64-win32
    g++-mingw-w64-i686-posix
    g++-mingw-w64-x86-64-posix
    binutils-mingw-w64-i686
    binutils-mingw-w64-x86-64
    wine64
    fonts-wine
    xvfb
    xauth
    x11-apps
    x11-utils
    imagemagick
    fonts-dejavu-core
    zip
    unzip
    clang
    clang-format
    clang-tidy
    cppcheck
    python3-jsonschema
    libboost-math-dev
    nlohmann-json3-dev
    chromium
    w3m
    libclang-rt-14-dev
    wine32:i386
    libgl1:i386
    libgl1-mesa-dri:i386
    libglx-mesa0:i386
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg -s "$package" 2>/dev/null | grep -q '^Status: install ok installed$'; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: all ${#packages[@]} packages are installed; nothing to do"
    exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
        echo "install-deps: missing ${missing[*]}; run this script as root" >&2
        exit 1
    fi
    sudo=(sudo)
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386
fi
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
echo "install-deps: done"
