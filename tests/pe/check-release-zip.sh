#!/usr/bin/env bash
# Checks a release zip as a user receives it (docs/release.md): its SHA-256 file, one
# top-level folder named as the zip, and in it exactly the release's files, each
# identical to what it was made from. With MAX_BYTES (the 32-bit release, for one
# floppy) the zip is at most that size and its README.txt says it fits on a floppy.
# With --self-test the release must pass, and then copies of it spoilt one way per
# rule (planted-zips.tsv) must each fail, naming the rule.
# Usage: check-release-zip.sh [--self-test] ZIP RELEASE_FOLDER SOURCE_ROOT [MAX_BYTES]
set -uo pipefail
selfTest=no
[ "${1:-}" = --self-test ] && { selfTest=yes; shift; }
[ $# -eq 3 ] || [ $# -eq 4 ] || { sed -n 's/^# Usage: //p' "$0" >&2; exit 2; }
source=$3 limit=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# check ZIP FOLDER: a FAIL line per broken rule; status 1 if any.
check() {
    local zip=$1 folder=$2 zipName name top file program expected actual difference size bad=0
    zipName=$(basename "$zip") name=$(basename "$zip" .zip)
    fail() { echo "FAIL: $zipName: $*"; bad=1; }
    if [ ! -f "$zip.sha256" ]; then
        fail "no checksum file $zip.sha256"
    elif [ "$(wc -l <"$zip.sha256")" -ne 1 ] || ! grep -qxE "[0-9a-f]{64}  ${zipName//./[.]}" "$zip.sha256"; then
        fail "$zipName.sha256 is not one sha256sum line for $zipName: $(head -c 200 "$zip.sha256")"
    elif ! (cd "$(dirname "$zip")" && sha256sum --quiet -c "$zipName.sha256" >/dev/null 2>&1); then
        fail "$zipName.sha256 does not match the zip"
    fi

    # One 1.44 MB floppy holds 1,457,664 bytes; the limit leaves room to grow.
    size=$(stat -c %s "$zip")
    [ -z "$limit" ] || [ "$size" -le "$limit" ] ||
        fail "$size bytes, more than the $limit that leave room on one 1.44 MB floppy"

    rm -rf "$work/unzipped"
    unzip -q "$zip" -d "$work/unzipped" || { fail "unzip failed"; return 1; }
    # One folder at the top, named as the zip, so that unpacking makes one folder.
    top=$(ls -A "$work/unzipped")
    [ "$top" = "$name" ] && [ -d "$work/unzipped/$name" ] ||
        fail "top level of the zip is '$(tr '\n' ' ' <<<"$top")', expected the folder $name"

    declare -A from=([cpudef.dat]=res/cpudef.dat [README.txt]=res/release/README.txt [LICENSE.txt]=LICENSE.txt)
    for file in M{ax,in}Detail{D3D,OGL}.ini; do from[$file]=res/renderer/$file; done
    for file in "${!from[@]}"; do from[$file]=$source/${from[$file]}; done
    [ -f "$folder/korvane.exe" ] || fail "no korvane.exe in the release folder $folder"
    for program in "$folder"/*.exe; do [ -f "$program" ] && from[$(basename "$program")]=$program; done
    expected=$(printf '%s\n' "${!from[@]}" | LC_ALL=C sort)
    actual=$(cd "$work/unzipped" && find . -mindepth 1 \( -type f -o -type l \) -printf '%P\n' | sed "s|^$name/||" | LC_ALL=C sort)
    difference=$(diff <(echo "$expected") <(echo "$actual") | sed -n 's/^> /+ /p; s/^< /- /p')
    [ -z "$difference" ] || fail "the zip's files differ from the release's (+ in the zip only, - missing): ${difference//$'\n'/, }"
    for file in "${!from[@]}"; do
        [ ! -f "$work/unzipped/$name/$file" ] || cmp -s "${from[$file]}" "$work/unzipped/$name/$file" ||
            fail "$file differs from ${from[$file]}"
    done
    if [ -n "$limit" ]; then
        grep -q 'fits on one 1\.44 MB floppy' "$work/unzipped/$name/README.txt" 2>/dev/null ||
            fail "README.txt does not say that the zip fits on one 1.44 MB floppy"
    fi
    [ $bad -eq 1 ] || echo "ok:   $zipName: checksum, folder and files as released${limit:+, $size bytes (at most $limit)}"
    return $bad
}

zip=$1 folder=$2
check "$zip" "$folder"
status=$?
[ $selfTest = yes ] || exit $status

# spoilt SHELL: the check on a copy of the release that SHELL spoilt (run in the copy's folder).
z=$(basename "$1") n=$(basename "$2")
spoilt() {
    rm -rf "$work/copy" && mkdir "$work/copy" && cp -r "$folder" "$zip" "$zip.sha256" "$work/copy/"
    (cd "$work/copy" && eval "$1") >/dev/null 2>&1
    check "$work/copy/$z" "$work/copy/$n"
}
# shellcheck source=caught.sh
. "$(dirname "$0")/caught.sh"
rezip() { rm "$z" && zip -qr "$z" "$n" && sha256sum "$z" >"$z.sha256"; }
# The faults of planted-zips.tsv, their texts with the names above put in.
while IFS=$'\t' read -r when text spoil; do
    [[ $when == '#'* || ($when == floppy && -z $limit) ]] || caught "$(eval "echo \"$text\"")" spoilt "$spoil"
done <"$(dirname "$0")/planted-zips.tsv" || status=1
exit $status
