#!/usr/bin/env bash
# Runs the stand-in game (UT2003.exe) under Wine in a throw-away demo folder inside
# Korvane's prefix and checks what it records about each start and what it leaves in
# the benchmark log: the default run, fixed frame rates, every fault, and which
# settings section wins.
# Usage: test-standin.sh path/to/UT2003.exe
# shellcheck source-path=SCRIPTDIR
set -euo pipefail

if [ $# -ne 1 ] || [ ! -f "$1" ]; then
    echo "usage: $0 path/to/UT2003.exe" >&2
    exit 2
fi
exe=$(readlink -f "$1")
# shellcheck source=wine-env.sh
. "$(dirname "$(readlink -f "$0")")/wine-env.sh"
korvane_wine_ensure

folderName="standin-selftest-$$"
root="$WINEPREFIX/drive_c/$folderName"
winRoot="C:\\$folderName"
system="$root/System"
log="$root/Benchmark/benchmark.log"
record="$system/standin-record.txt"
cleanup() { rm -rf "$root"; }
trap cleanup EXIT

passed=0
failed=0
pass() {
    passed=$((passed + 1))
    echo "ok   $1"
}
fail() {
    failed=$((failed + 1))
    echo "FAIL $1" >&2
}
# expect NAME ACTUAL EXPECTED
expect() {
    if [ "$2" == "$3" ]; then
        pass "$1"
    else
        fail "$1: got [$2], expected [$3]"
    fi
}
# expect_true NAME COMMAND...
expect_true() {
    local name=$1
    shift
    if "$@"; then
        pass "$name"
    else
        fail "$name"
    fi
}

# A fresh demo folder: System\UT2003.exe and Benchmark\Stuff, no log, no record.
fresh_install() {
    rm -rf "$root"
    mkdir -p "$system" "$root/Benchmark/Stuff"
    cp "$exe" "$system/UT2003.exe"
}

# settings LINE...: writes standin-settings.ini with CR LF line ends.
settings() {
    printf '%s\r\n' "$@" >"$system/standin-settings.ini"
}

# The arguments of one scene as Korvane composes them, after the executable.
# scene_arguments KIND MAP RESOLUTION INI
scene_arguments() {
    local kind=$1 map=$2 resolution=$3 ini=$4 url user
    if [ "$kind" = flyby ]; then
        url="$map?game=engine.gameinfo"
    else
        url="$map?spectatoronly=true?numbots=12?quickstart=true"
    fi
    case $ini in
    Max*) user=MaxDetailUser.ini ;;
    *) user=MinDetailUser.ini ;;
    esac
    sceneArgs=("$url" -benchmark -seconds=77 "-exec=..\\Benchmark\\Stuff\\${kind}exec.txt"
        "ini=C:\\Korvane\\$ini.ini" "userini=..\\Benchmark\\Stuff\\$user" -nosound -UPT "-$resolution")
}

# run_game KIND MAP RESOLUTION INI [TIMEOUT]: starts the game from its system folder
# and sets gameStatus to its exit status.
run_game() {
    scene_arguments "$1" "$2" "$3" "$4"
    gameStatus=0
    (cd "$system" && timeout "${5:-20}" "$KORVANE_WINE" "$winRoot\\System\\UT2003.exe" "${sceneArgs[@]}" \
        </dev/null >/dev/null 2>&1) || gameStatus=$?
}

# The log's last line without its CR (empty if there is no log).
last_line() {
    if [ -f "$log" ]; then
        tail -n 1 "$log" | tr -d '\r'
    fi
}
line_count() {
    if [ -f "$1" ]; then
        wc -l <"$1" | tr -d ' '
    else
        echo 0
    fi
}
# The average of a result line.
average_of() { awk -F' / ' '{ print $2 }' <<<"$1"; }
# What Korvane converts: the at most eleven characters after the first "=".
korvane_value_text() {
    local rest=${1#*=}
    echo "${rest:0:11}"
}
# is_result_line LINE: the engine's shape, score equal to the average.
is_result_line() {
    grep -Eq '^[0-9]+\.[0-9]{6} / ([0-9]+\.[0-9]{6}) / [0-9]+\.[0-9]{6} fps -- Score = \1        rand\[[0-9]+\]$' <<<"$1"
}
# in_range VALUE LOW HIGH: LOW < VALUE < HIGH and min < average < max on the last line.
in_range() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v > lo && v < hi) }'; }
less_than() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }
min_avg_max_ordered() {
    awk -F' / ' '{ split($3, m, " "); exit !($1 + 0 < $2 + 0 && $2 + 0 < m[1] + 0) }' <<<"$1"
}
# default_fps KIND MAP RESOLUTION INI: the average a settings-free run reports.
default_fps() {
    rm -f "$log"
    run_game "$@"
    average_of "$(last_line)"
}

echo "== default run, start record"
fresh_install
run_game flyby dm-antalus 1024x768 MaxDetailD3D
expect "default run exits 0" "$gameStatus" 0
expect "log has one line" "$(line_count "$log")" 1
line=$(last_line)
expect_true "result line has the engine's shape: $line" is_result_line "$line"
expect_true "log line ends in CR LF" grep -q $'rand\[[0-9]*\]\r$' "$log"
expect_true "fly-by default is plausible" in_range "$(average_of "$line")" 60 250
expect_true "min < average < max" min_avg_max_ordered "$line"
expect "record has one line" "$(line_count "$record")" 1
recordLine=$(tr -d '\r' <"$record")
expect_true "record line ends in CR LF" grep -q $'\r$' "$record"
scene_arguments flyby dm-antalus 1024x768 MaxDetailD3D
recordTail=" ${sceneArgs[*]}"
recordHead="start|"
expect "record starts with start|" "${recordLine:0:6}" "$recordHead"
expect_true "record priority is 8 upper-case hex digits" grep -Eq '^start\|[0-9A-F]{8}\|' <<<"$recordLine"
expect "record directory is the system folder" "$(cut -d'|' -f3 <<<"$recordLine")" "$winRoot\\System"
commandLine=${recordLine#start|*|*|}
commandLine=${commandLine//\"/}
expect "record holds the command line" "$commandLine" "$winRoot\\System\\UT2003.exe$recordTail"

echo "== default frame rates depend on the scene and the options"
flyby=$(default_fps flyby dm-antalus 1024x768 MaxDetailD3D)
expect "default is deterministic" "$(default_fps flyby dm-antalus 1024x768 MaxDetailD3D)" "$flyby"
botmatch=$(default_fps botmatch dm-antalus 1024x768 MaxDetailD3D)
expect_true "bot match default is plausible ($botmatch)" in_range "$botmatch" 30 120
expect_true "bot match slower than fly-by" less_than "$botmatch" "$flyby"
expect_true "1600x1200 slower than 1024x768" less_than "$(default_fps flyby dm-antalus 1600x1200 MaxDetailD3D)" "$flyby"
expect_true "low detail faster than high" less_than "$flyby" "$(default_fps flyby dm-antalus 1024x768 MinDetailD3D)"
expect_true "OpenGL differs from Direct3D" less_than "$(default_fps flyby dm-antalus 1024x768 MaxDetailOGL)" "$flyby"
expect_true "maps differ" less_than "$(default_fps flyby ctf-citadel 1024x768 MaxDetailD3D)" "$flyby"

echo "== fps=40, rand, seconds"
fresh_install
settings "[all]" "fps=40" "rand=6284"
run_game botmatch ctf-citadel 1280x1024 MinDetailOGL
line=$(last_line)
expect "fps=40 gives score 40.000000" "${line#* fps -- }" "Score = 40.000000        rand[6284]"
expect "fps=40 average" "$(average_of "$line")" "40.000000"
expect "Korvane reads the eleven characters after =" "$(korvane_value_text "$line")" " 40.000000 "
expect_true "fps=40 line has the engine's shape" is_result_line "$line"
settings "[all]" "seconds=2"
started=$(date +%s%N)
run_game flyby dm-asbestos 1024x768 MaxDetailD3D
elapsedMs=$((($(date +%s%N) - started) / 1000000))
expect_true "seconds=2 runs at least 2 s (${elapsedMs} ms)" test "$elapsedMs" -ge 2000
expect "seconds=2 then writes" "$(line_count "$log")" 2

echo "== faults"
fresh_install
settings "[all]" "fps=50"
run_game flyby dm-antalus 1024x768 MaxDetailD3D
cp "$log" "$root/before.log"
log_unchanged() { cmp -s "$log" "$root/before.log"; }

settings "[all]" "fault=no-write"
run_game flyby dm-antalus 1024x768 MaxDetailD3D
expect "no-write exits 0" "$gameStatus" 0
expect_true "no-write leaves the log alone" log_unchanged

settings "[all]" "fault=fail-no-write"
run_game flyby dm-antalus 1024x768 MaxDetailD3D
expect "fail-no-write exits 1 by default" "$gameStatus" 1
expect_true "fail-no-write leaves the log alone" log_unchanged

settings "[all]" "fault=fail-no-write" "exitcode=7"
run_game flyby dm-antalus 1024x768 MaxDetailD3D
expect "fail-no-write exits with exitcode" "$gameStatus" 7

settings "[all]" "fault=hang"
started=$(date +%s%N)
run_game flyby dm-antalus 1024x768 MaxDetailD3D 3
elapsedMs=$((($(date +%s%N) - started) / 1000000))
expect "hang runs until killed" "$gameStatus" 124
expect_true "hang ran until the time-out (${elapsedMs} ms)" test "$elapsedMs" -ge 2900
expect_true "hang leaves the log alone" log_unchanged
expect "hang was recorded" "$(line_count "$record")" 5

settings "[all]" "fault=rewrite-same"
touch -d '2020-01-02 03:04:05' "$log"
run_game flyby dm-antalus 1024x768 MaxDetailD3D
expect "rewrite-same exits 0" "$gameStatus" 0
expect_true "rewrite-same keeps every byte" log_unchanged
expect_true "rewrite-same changes the time" test "$(stat -c %Y "$log")" -gt "$(date -d '2020-01-02 03:04:06' +%s)"

settings "[all]" "fault=empty-line" "fps=60"
run_game flyby dm-antalus 1024x768 MaxDetailD3D
expect "empty-line exits 0" "$gameStatus" 0
expect "empty-line: last line empty" "$(last_line)" ""
expect "empty-line: result line before it" "$(average_of "$(tail -n 2 "$log" | head -n 1 | tr -d '\r')")" "60.000000"
expect "empty-line: file ends in CR LF CR LF" "$(tail -c 4 "$log" | od -An -c | tr -d ' ')" '\r\n\r\n'

settings "[all]" "fault=no-number"
run_game flyby dm-antalus 1024x768 MaxDetailD3D
line=$(last_line)
expect "no-number exits 0" "$gameStatus" 0
expect_true "no-number line has text: $line" test -n "$line"
expect_true "no-number line has no = and no digit" grep -vq '[=0-9]' <<<"$line"
expect "no-number line ends in CR LF" "$(tail -c 2 "$log" | od -An -c | tr -d ' ')" '\r\n'

settings "[all]" "fault=fail-exit" "exitcode=3" "fps=33"
run_game flyby dm-antalus 1024x768 MaxDetailD3D
expect "fail-exit exits with exitcode" "$gameStatus" 3
expect "fail-exit writes a result line" "$(average_of "$(last_line)")" "33.000000"

rm -f "$log"
settings "[all]" "fault=rewrite-same" "fps=44"
run_game flyby dm-antalus 1024x768 MaxDetailD3D
expect "rewrite-same without a log writes a line" "$(average_of "$(last_line)")" "44.000000"
expect "rewrite-same without a log writes one line" "$(line_count "$log")" 1

echo "== missing Benchmark folder"
rm -rf "$root/Benchmark"
settings "[all]" "fps=50"
run_game flyby dm-antalus 1024x768 MaxDetailD3D
expect "missing folder exits 0" "$gameStatus" 0
expect_true "missing folder is not created" test ! -e "$root/Benchmark"

echo "== which section wins"
fresh_install
settings "; precedence: start, then scene, then all" \
    "[all]" "fps=10" "rand=77" \
    "[flyby dm-antalus]" "fps=20" \
    "[botmatch ctf-citadel]" "fps=25" \
    "[start 3]" "fps=30"
run_game flyby dm-antalus 1024x768 MaxDetailD3D
expect "start 1: flyby section over all" "$(average_of "$(last_line)")" "20.000000"
run_game botmatch dm-antalus 1024x768 MaxDetailD3D
expect "start 2: all for a scene without a section" "$(average_of "$(last_line)")" "10.000000"
run_game flyby dm-antalus 1024x768 MaxDetailD3D
line=$(last_line)
expect "start 3: start section over flyby section" "$(average_of "$line")" "30.000000"
expect "start 3: keys it lacks come from all" "${line##* }" "rand[77]"
run_game botmatch ctf-citadel 1600x1200 MinDetailOGL
expect "start 4: botmatch section" "$(average_of "$(last_line)")" "25.000000"
run_game flyby dm-asbestos 1024x768 MaxDetailD3D
expect "start 5: all for another map" "$(average_of "$(last_line)")" "10.000000"
expect "record counts five starts" "$(line_count "$record")" 5
expect "log holds five lines, newest last" "$(average_of "$(tr -d '\r' <"$log")" | tr '\n' ' ')" \
    "20.000000 10.000000 30.000000 25.000000 10.000000 "

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
