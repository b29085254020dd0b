#!/usr/bin/env bash
# Shows that check-release-zip.sh catches what it is there for: each case makes a
# release folder and zip from the repository's files (as the release target does:
# cmake -E tar --format=zip, cmake/WriteChecksum.cmake), spoils one thing and
# expects the check to pass or to fail saying what is wrong.
# Usage: check-release-zip-selftest.sh SOURCE_ROOT
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
name=korvane-test-win32
# shellcheck source=selftest-cases.sh
. "$here/selftest-cases.sh"

# make_release [EXTRA_PROGRAM]: a fresh release folder in $work/dist.
make_release() {
    rm -rf "$work/dist"
    mkdir -p "$work/dist/$name"
    cp "$source"/res/cpudef.dat "$source"/res/renderer/M??Detail*.ini "$source"/res/release/README.txt \
        "$source"/LICENSE.txt "$work/dist/$name/"
    printf 'MZ korvane' >"$work/dist/$name/korvane.exe"
    [ $# -eq 0 ] || printf 'MZ %s' "$1" >"$work/dist/$name/$1"
}
make_zip() {
    rm -f "$work/dist/$name.zip" "$work/dist/$name.zip.sha256"
    (cd "$work/dist" && cmake -E tar cf "$name.zip" --format=zip "$@") &&
        cmake -DFILE="$work/dist/$name.zip" -P "$source/cmake/WriteChecksum.cmake"
}

# run_case NAME EXPECT(pass|fail) EXPECTED_TEXT
run_case() {
    local caseName=$1 expect=$2 text=$3 output status
    output=$(bash "$here/check-release-zip.sh" "$work/dist/$name.zip" "$work/dist/$name" "$source" 2>&1)
    status=$?
    judge "$caseName" "$expect" "$text" "$status" "$output"
}

make_release && make_zip "$name"
run_case "as the release target makes it" pass ""

make_release && make_zip "$name" && printf 'more' >>"$work/dist/$name.zip"
run_case "zip changed after its checksum" fail "does not match the zip"

make_release && make_zip "$name" && rm "$work/dist/$name.zip.sha256"
run_case "no checksum file" fail "no checksum file"

make_release && make_zip "$name" && sed -i 's/  /  other-/' "$work/dist/$name.zip.sha256"
run_case "checksum names another file" fail "is not one sha256sum line"

make_release && rm "$work/dist/$name/README.txt" && make_zip "$name"
run_case "README.txt missing" fail "- README.txt"

make_release && printf 'x' >"$work/dist/$name/debug.log" && make_zip "$name"
run_case "a file too many" fail "+ debug.log"

make_release && printf '\r\n' >>"$work/dist/$name/cpudef.dat" && make_zip "$name"
run_case "cpudef.dat not as committed" fail "cpudef.dat differs"

make_release && (cd "$work/dist/$name" && cmake -E tar cf "../$name.zip" --format=zip -- *) &&
    cmake -DFILE="$work/dist/$name.zip" -P "$source/cmake/WriteChecksum.cmake"
run_case "files at the top level, no folder" fail "expected the folder $name"

make_release korvane-cli.exe && make_zip "$name"
run_case "a second program, zipped" pass ""

make_release korvane-cli.exe && make_zip "$name" && printf 'MZ newer' >"$work/dist/$name/korvane-cli.exe"
run_case "a program changed after zipping" fail "korvane-cli.exe differs"

make_release && make_zip "$name" && printf 'MZ tool' >"$work/dist/$name/korvane-cli.exe"
run_case "a program of the folder missing from the zip" fail "- korvane-cli.exe"

[ $failures -eq 0 ] && echo "check-release-zip.sh: all cases behaved" || exit 1
