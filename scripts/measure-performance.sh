#!/usr/bin/env bash
# Korvane's performance figures under Wine, measured from outside the program:
#   - start-up: from CreateProcess to the main window visible, median of N starts,
#     beside a bare Win32 dialog program (tools/perf) started the same way in the
#     same run, and beside Korvane with Direct3D 8 disabled;
#   - Korvane's own CPU time while a game runs (the stand-in game runs SECONDS s);
#   - Korvane's overhead per scene beyond the game's own time and the 3000 ms pause;
#   - the clock Korvane measures against the kernel's time-stamp-counter frequency.
# Prints a table and writes it, with the machine it ran on, into docs/performance.md
# (between the "figures" markers; the rest of that file is kept).
#
# Needs the builds of scripts/build.sh (build/win32-tests and dist/korvane-*-win32). Uses a
# Wine prefix of its own (build/perf-wineprefix) with a stand-in demo installed by
# scripts/demo-install.sh. Not a test: the figures depend on the machine and its load.
# KORVANE_TEST_BUILD and KORVANE_DIST_ROOT name another i686 test tree and
# release folder root.
#
# Usage: scripts/measure-performance.sh [--runs N] [--seconds S] [--no-docs]
#   --runs N      start-ups measured per program (default 9)
#   --seconds S   how long each stand-in game runs (default 30)
#   --no-docs     print the table only
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=9
seconds=30
writeDocs=yes
while [ $# -gt 0 ]; do
    case $1 in
    --runs) runs=$2; shift ;;
    --seconds) seconds=$2; shift ;;
    --no-docs) writeDocs=no ;;
    *) sed -n '/^# Usage:/,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2; exit 2 ;;
    esac
    shift
done
[ "$runs" -ge 1 ] && [ "$seconds" -ge 4 ] || { echo "measure-performance: need --runs >= 1 and --seconds >= 4" >&2; exit 2; }

"$root/scripts/install-deps.sh" >/dev/null
build=${KORVANE_TEST_BUILD:-$root/build/win32-tests}
driverExe=$build/tools/perf/korvane-perf-driver.exe
bareExe=$build/tools/perf/bare-dialog.exe
styledExe=$build/tools/perf/bare-dialog-styled.exe
gameExe=$build/tools/standin-game/UT2003.exe
release=$(ls -d "${KORVANE_DIST_ROOT:-$root/dist}"/korvane-*-win32 2>/dev/null | head -n 1 || true)
for file in "$driverExe" "$bareExe" "$styledExe" "$gameExe" "$release/korvane.exe"; do
    if [ ! -f "$file" ]; then
        echo "measure-performance: missing $file; run scripts/build.sh first" >&2
        exit 1
    fi
done

export KORVANE_WINEPREFIX=${KORVANE_WINEPREFIX:-$root/build/perf-wineprefix}
# shellcheck source=wine-env.sh
. "$root/scripts/wine-env.sh"
korvane_wine_ensure
work=$(mktemp -d)
trap 'rm -rf "$work"; korvane_wine_stop' EXIT

# The stand-in demo, its game running SECONDS per scene; Korvane's release folder
# where a user would unpack it; the bare dialog in a folder of its own.
printf '[all]\r\nseconds=%s\r\n' "$seconds" >"$work/settings.ini"
KORVANE_STANDIN_GAME=$gameExe "$root/scripts/demo-install.sh" --fresh --settings "$work/settings.ini" >/dev/null
rm -rf "$WINEPREFIX/drive_c/Korvane" "$WINEPREFIX/drive_c/KorvanePerf"
cp -r "$release" "$WINEPREFIX/drive_c/Korvane"
mkdir -p "$WINEPREFIX/drive_c/KorvanePerf"
cp "$bareExe" "$styledExe" "$WINEPREFIX/drive_c/KorvanePerf/"
korvaneWin='C:\Korvane\korvane.exe'
bareWin='C:\KorvanePerf\bare-dialog.exe'
styledWin='C:\KorvanePerf\bare-dialog-styled.exe'
mainCaption='Korvane version 1.00 alpha'
frequencyLabel=1020

driver() { "$KORVANE_WINE" "$driverExe" "$@" </dev/null 2>/dev/null | tr -d '\r'; }

# One program keeps the desktop open for the whole run: otherwise Wine would start
# its desktop process anew for every measured start.
"$KORVANE_WINE" "$driverExe" hold </dev/null >/dev/null 2>&1 &
holder=$!
trap 'kill "$holder" 2>/dev/null; rm -rf "$work"; korvane_wine_stop' EXIT
# value KEY: the number after KEY on the driver's output line that starts with KEY.
value() { awk -v key="$1" '$1 == key {print $2; exit}'; }
# median, minimum, maximum: of the numbers on standard input, one a line, with one decimal.
median() { sort -g | awk '{v[NR] = $1} END {if (NR == 0) print "nan"; else printf "%.1f\n", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
minimum() { sort -g | awk 'NR == 1 {printf "%.1f\n", $1}'; }
maximum() { sort -g | awk '{v = $1} END {printf "%.1f\n", v}'; }
# list: the numbers on standard input on one line, one decimal each.
list() { awk '{printf "%s%.1f", (NR > 1 ? " " : ""), $1} END {print ""}'; }

loadBefore=$(cut -d' ' -f1-3 /proc/loadavg)
if awk -v load="${loadBefore%% *}" -v cores="$(nproc)" 'BEGIN {exit !(load >= cores / 2)}'; then
    echo "measure-performance: the machine is busy (load average $loadBefore on $(nproc) cores);" \
        "start-up and overhead figures will come out high" >&2
fi
echo "== start-up: $runs starts each (one unmeasured start of each first)"
driver startup "$bareWin" "Bare dialog" >/dev/null || true
driver startup "$styledWin" "Bare dialog" >/dev/null || true
driver startup "$korvaneWin" "$mainCaption" >/dev/null || true
: >"$work/bare" >"$work/styled" >"$work/korvane" >"$work/nod3d" >"$work/clock"
for run in $(seq "$runs"); do
    out=$(driver startup "$bareWin" "Bare dialog")
    value startup_ms <<<"$out" >>"$work/bare"
    out=$(driver startup "$styledWin" "Bare dialog")
    value startup_ms <<<"$out" >>"$work/styled"
    out=$(driver startup "$korvaneWin" "$mainCaption" "$frequencyLabel")
    value startup_ms <<<"$out" >>"$work/korvane"
    awk '$1 == "control" {print $2; exit}' <<<"$out" >>"$work/clock"
    out=$(WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}d3d8=" driver startup "$korvaneWin" "$mainCaption")
    value startup_ms <<<"$out" >>"$work/nod3d"
    echo "  run $run: bare $(tail -n 1 "$work/bare") ms, with manifest $(tail -n 1 "$work/styled") ms, Korvane $(tail -n 1 "$work/korvane") ms," \
        "Korvane without Direct3D 8 $(tail -n 1 "$work/nod3d") ms, clock $(tail -n 1 "$work/clock") MHz"
done
for file in bare styled korvane nod3d clock; do
    if [ "$(grep -c '^[0-9.]*$' "$work/$file")" -ne "$runs" ]; then
        echo "measure-performance: a start-up measurement failed ($file): $(tr '\n' ' ' <"$work/$file")" >&2
        exit 1
    fi
done

echo "== process creation under Wine: $runs starts of the stand-in game as Korvane starts it, each ended at once"
driver spawn 'C:\UT2003Demo\System\UT2003.exe' "$runs" | awk '$1 == "spawn_ms" {print $2}' >"$work/spawn"

# Korvane's Linux process (Wine runs each Windows process as one): the one whose
# command line is Korvane's Windows path, in this prefix.
korvaneUnixPid() {
    local pid
    for pid in $(pgrep -f 'korvane\.exe' 2>/dev/null); do
        if [ "$(tr -d '\0' <"/proc/$pid/cmdline" 2>/dev/null)" = "$korvaneWin" ] &&
            grep -qzxF "WINEPREFIX=$WINEPREFIX" "/proc/$pid/environ" 2>/dev/null; then
            echo "$pid"
            return 0
        fi
    done
    return 1
}
# The CPU time all threads of a Linux process have used, in nanoseconds (schedstat).
linuxCpuNs() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{sum += $1} END {printf "%.0f\n", sum}'; }

echo "== one benchmark run: six scenes, the stand-in game running $seconds s each"
cpuFrom=1
cpuTo=$((seconds - 1))
pid=
# Straight from Wine, without a filter that would buffer the lines: each "cpu" line
# must be read while the game still runs.
"$KORVANE_WINE" "$driverExe" benchmark "$korvaneWin" 111111 "$cpuFrom" "$cpuTo" </dev/null 2>/dev/null | while read -r line; do
    line=${line%$'\r'}
    case $line in
    click_ms*)
        pid=$(korvaneUnixPid) || pid=
        echo "$line"
        ;;
    cpu*)
        [ -n "$pid" ] && echo "$line linux_ns $(linuxCpuNs "$pid")" || echo "$line linux_ns -1"
        ;;
    *) echo "$line" ;;
    esac
done | tee "$work/benchmark" | sed 's/^/  /'
if ! grep -q '^result_ms' "$work/benchmark" || grep -q '^error' "$work/benchmark"; then
    echo "measure-performance: the benchmark run failed" >&2
    exit 1
fi

# --- The figures.
window_s=$((cpuTo - cpuFrom))
# CPU per game: Linux's count (ns) and the Windows threads' times (100 ns units) over the window.
awk -v window="$window_s" '
    $1 == "cpu" && $3 == "from" {winFrom[$2] = $5; linFrom[$2] = $7}
    $1 == "cpu" && $3 == "to" {
        if ($7 >= 0 && linFrom[$2] >= 0) printf "%s %.4f %.1f\n", $2, ($7 - linFrom[$2]) / 1e6 * 10 / window, ($5 - winFrom[$2]) / 1e4 * 10 / window
    }' "$work/benchmark" >"$work/cpu"
# Overhead per scene: the time from the press (or the previous game's end) to the game's
# creation, less the pause, and after the last game to the result window, less the pause.
awk '
    $1 == "game" {start[$2] = $4; end[$2] = $6; n = $2 > n ? $2 : n}
    $1 == "result_ms" {result = $2}
    END {
        for (i = 1; i <= n; ++i) {
            gap = i == 1 ? start[1] : start[i] - end[i - 1] - 3000
            if (i == n) gap += result - end[n] - 3000
            printf "%d %.3f\n", i, gap
        }
    }' "$work/benchmark" >"$work/overhead"
scenes=$(wc -l <"$work/overhead")

bareMs=$(median <"$work/bare")
styledMs=$(median <"$work/styled")
korvaneMs=$(median <"$work/korvane")
nod3dMs=$(median <"$work/nod3d")
spawnMs=$(median <"$work/spawn")
startupLimit=$(awk -v b="$bareMs" 'BEGIN {printf "%.1f", b + 150 + 100}')
cpuLinux=$(cut -d' ' -f2 "$work/cpu" | sort -g | awk '{v[NR] = $1} END {printf "%.3f\n", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}')
cpuLinuxMax=$(cut -d' ' -f2 "$work/cpu" | sort -g | awk '{v = $1} END {printf "%.3f\n", v}')
# Korvane's CPU time from the end of one game's window to the start of the next one's:
# the log reading, the pause and the next game's start.
awk '$1 == "cpu" && $3 == "from" && last != "" {printf "%.1f\n", ($7 - last) / 1e6}
     $1 == "cpu" && $3 == "to" {last = $7}' "$work/benchmark" >"$work/cpuBetween"
overheadMean=$(awk '{s += $2} END {printf "%.1f", s / NR}' "$work/overhead")
overheadMax=$(cut -d' ' -f2 "$work/overhead" | maximum)
d3dMs=$(awk -v k="$korvaneMs" -v n="$nod3dMs" 'BEGIN {printf "%.1f", k - n}')
clockMhz=$(sort -g "$work/clock" | awk '{v[NR] = $1} END {printf "%.2f\n", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}')
clockMin=$(sort -g "$work/clock" | head -n 1)
clockMax=$(sort -g "$work/clock" | tail -n 1)

# The kernel's TSC frequency: the refined calibration or the detected value from the
# kernel log, else /proc/cpuinfo's "cpu MHz".
tscSource=
tscMhz=$(dmesg 2>/dev/null | sed -n 's/.*tsc: Refined TSC clocksource calibration: \([0-9.]*\) MHz.*/\1/p' | tail -n 1)
[ -z "$tscMhz" ] || tscSource='kernel log, "tsc: Refined TSC clocksource calibration"'
if [ -z "$tscMhz" ]; then
    tscMhz=$(dmesg 2>/dev/null | sed -n 's/.*tsc: Detected \([0-9.]*\) MHz processor.*/\1/p' | tail -n 1)
    [ -z "$tscMhz" ] || tscSource='kernel log, "tsc: Detected ... MHz processor"'
fi
if [ -z "$tscMhz" ]; then
    tscMhz=$(awk -F': ' '/^cpu MHz/ {print $2; exit}' /proc/cpuinfo)
    tscSource='/proc/cpuinfo "cpu MHz" (the kernel log was not readable)'
fi
ppm() { awk -v m="$1" -v t="$tscMhz" 'BEGIN {printf "%+.1f", (m - t) / t * 1e6}'; }
clockPpm=$(ppm "$clockMhz")
# The display rounds to 0.01 MHz: half of that, in ppm of the TSC frequency.
roundingPpm=$(awk -v t="$tscMhz" 'BEGIN {printf "%.1f", 0.005 / t * 1e6}')

verdict() { awk -v v="$1" -v limit="$2" 'BEGIN {print (v <= limit) ? "met" : "**not met**"}'; }
startupVerdict=$(verdict "$korvaneMs" "$startupLimit")
cpuVerdict=$(verdict "$cpuLinuxMax" 1)
overheadVerdict=$(verdict "$overheadMean" 50)
clockVerdict=$(awk -v p="$clockPpm" 'BEGIN {print (p <= 20 && p >= -20) ? "met" : "**not met**"}')

cpuModel=$(awk -F': ' '/^model name/ {print $2; exit}' /proc/cpuinfo)
cores=$(nproc)
ramGb=$(awk '/^MemTotal/ {printf "%.1f", $2 / 1048576}' /proc/meminfo)
wineVersion=$("$KORVANE_WINE" --version 2>/dev/null || echo unknown)
load=$(cut -d' ' -f1-3 /proc/loadavg)
now=$(date -u '+%Y-%m-%d %H:%M UTC')
commit=$(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo unknown)

{
    echo "Measured $now on $cpuModel, $cores cores, $ramGb GiB RAM, Linux $(uname -r), $wineVersion."
    echo "Load average $loadBefore before the run and $load after it. Korvane $(basename "$release"),"
    echo "commit $commit, x86_64 build, in its own Wine prefix with the stand-in demo."
    echo
    echo "| Figure | Measured | Target | |"
    echo "|---|---|---|---|"
    echo "| Start-up to main window visible, median of $runs | $korvaneMs ms; bare dialog $bareMs ms (with Korvane's manifest $styledMs ms); Korvane with Direct3D 8 disabled $nod3dMs ms | bare dialog + 150 ms + 100 ms = $startupLimit ms | $startupVerdict |"
    echo "| Korvane's CPU time while a game runs, per 10 s of game time | median $cpuLinux ms, at most $cpuLinuxMax ms ($(wc -l <"$work/cpu") games of $seconds s) | under 1 ms | $cpuVerdict |"
    echo "| Korvane's overhead per scene beyond the game and the 3000 ms pause | mean $overheadMean ms, at most $overheadMax ms ($scenes scenes); Wine's CreateProcess of the game alone: median $spawnMs ms | under 50 ms | $overheadVerdict |"
    echo "| Measured clock against the kernel's TSC frequency | $clockMhz MHz against $tscMhz MHz: $clockPpm ppm (the display's rounding: ±$roundingPpm ppm) | within 20 ppm | $clockVerdict |"
    echo
    echo "- Start-ups in ms, in the order measured: bare dialog $(list <"$work/bare");"
    echo "  bare dialog with Korvane's manifest $(list <"$work/styled"); Korvane $(list <"$work/korvane");"
    echo "  Korvane with Direct3D 8 disabled $(list <"$work/nod3d"). Direct3D 8's share of the median: $d3dMs ms."
    echo "- CreateProcess of the stand-in game in ms: $(list <"$work/spawn")."
    echo "- Korvane's CPU time per 10 s of game time, per game, from $cpuFrom s to $cpuTo s after the game's start, in ms:"
    echo "  Linux's count (schedstat, ns resolution) $(cut -d' ' -f2 "$work/cpu" | awk '{printf "%s%.3f", (NR > 1 ? " " : ""), $1} END {print ""}');"
    echo "  the Windows threads' times (GetThreadTimes from outside; Wine counts in 10 ms steps) $(cut -d' ' -f3 "$work/cpu" | list)."
    echo "  Between two games (log reading, pause, starting the next game) Korvane used $(list <"$work/cpuBetween") ms."
    echo "- Overhead per scene in ms, scene 1 to $scenes (the last one includes showing the result window): $(cut -d' ' -f2 "$work/overhead" | list)."
    echo "- Clock readings in MHz: $(tr '\n' ' ' <"$work/clock")(TSC frequency from the $tscSource)."
} >"$work/figures.md"

echo
echo "== figures"
cat "$work/figures.md"
if [ "$writeDocs" = yes ]; then
    doc=$root/docs/performance.md
    begin='<!-- figures: written by scripts/measure-performance.sh -->'
    end='<!-- end of figures -->'
    if [ ! -f "$doc" ] || ! grep -qF "$begin" "$doc"; then
        printf '# Performance\n\n%s\n%s\n' "$begin" "$end" >"$doc"
    fi
    awk -v begin="$begin" -v end="$end" -v figures="$work/figures.md" '
        $0 == begin {print; while ((getline line < figures) > 0) print line; skipping = 1; next}
        $0 == end {skipping = 0}
        !skipping {print}' "$doc" >"$work/doc" && cp "$work/doc" "$doc"
    echo
    echo "written to docs/performance.md"
fi
