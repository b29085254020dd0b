#!/usr/bin/env bash
# Checks a release zip as a user receives it: the SHA-256 file beside it (in
# sha256sum's format, and matching), one top-level folder named as the zip, and in
# it exactly the release's files: every program of the release folder (korvane.exe
# among them), cpudef.dat, the four renderer ini files, README.txt and LICENSE.txt,
# each identical to what it was made from.
# Usage: check-release-zip.sh ZIP RELEASE_FOLDER SOURCE_ROOT
set -euo pipefail
zip=$1
folder=$2
source=$3
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok:   $*"; }

[ -f "$zip" ] || { echo "FAIL: no zip $zip"; exit 1; }
zipName=$(basename "$zip")
name=${zipName%.zip}

# The checksum file: one line "<64 hex digits>  <zip name>", and it matches.
checksum=$zip.sha256
if [ ! -f "$checksum" ]; then
    fail "no checksum file $checksum"
elif ! grep -qxE "[0-9a-f]{64}  $(sed 's/[.]/[.]/g' <<<"$zipName")" "$checksum" || [ "$(wc -l <"$checksum")" -ne 1 ]; then
    fail "$(basename "$checksum") is not one sha256sum line for $zipName: $(head -c 200 "$checksum")"
elif (cd "$(dirname "$zip")" && sha256sum --quiet -c "$(basename "$checksum")"); then
    pass "$(basename "$checksum") matches the zip"
else
    fail "$(basename "$checksum") does not match the zip"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work" || { echo "FAIL: unzip $zipName"; exit 1; }

# One folder at the top, named as the zip, so that unpacking makes one folder.
top=$(cd "$work" && ls -A)
if [ "$top" = "$name" ] && [ -d "$work/$name" ]; then
    pass "one top-level folder $name"
else
    fail "top level of the zip is '$(tr '\n' ' ' <<<"$top")', expected the folder $name"
fi

# The file list.
declare -A expectedFrom=(
    [cpudef.dat]=$source/res/cpudef.dat
    [MaxDetailD3D.ini]=$source/res/renderer/MaxDetailD3D.ini
    [MinDetailD3D.ini]=$source/res/renderer/MinDetailD3D.ini
    [MaxDetailOGL.ini]=$source/res/renderer/MaxDetailOGL.ini
    [MinDetailOGL.ini]=$source/res/renderer/MinDetailOGL.ini
    [README.txt]=$source/res/release/README.txt
    [LICENSE.txt]=$source/LICENSE.txt
)
[ -f "$folder/korvane.exe" ] || fail "no korvane.exe in the release folder $folder"
shopt -s nullglob
for program in "$folder"/*.exe; do
    expectedFrom[$(basename "$program")]=$program
done
shopt -u nullglob
expected=$(printf '%s\n' "${!expectedFrom[@]}" | LC_ALL=C sort)
actual=$(cd "$work" && find . -mindepth 1 \( -type f -o -type l \) -printf '%P\n' | sed "s|^$name/||" | LC_ALL=C sort)
difference=$(diff <(echo "$expected") <(echo "$actual") | sed -n 's/^> /+ /p; s/^< /- /p' || true)
if [ -z "$difference" ]; then
    pass "the zip holds exactly: $(tr '\n' ' ' <<<"$expected")"
else
    fail "the zip's files differ from the release's (+ in the zip only, - missing):"
    sed 's/^/    /' <<<"$difference"
fi

# Each file as it was made.
for file in "${!expectedFrom[@]}"; do
    [ -f "$work/$name/$file" ] || continue
    if cmp -s "${expectedFrom[$file]}" "$work/$name/$file"; then
        pass "$file is identical to ${expectedFrom[$file]#"$source"/}"
    else
        fail "$file differs from ${expectedFrom[$file]}"
    fi
done

[ "$failures" -eq 0 ] && echo "$zipName: all checks passed" || exit 1
