#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in build/fuzz and runs each for a bounded time,
# one after the other. Each target starts from a copy of its committed seeds in
# build/fuzz/run/<target>/corpus, so the committed corpus never grows by itself.
# Prints per target the executions and whether it found anything; a finding (a
# broken property, a sanitizer report, a leak, a time-out or running out of
# memory) keeps its input under build/fuzz/findings/ and makes the exit status 1.
# Installs nothing: clang and libclang-rt-14-dev come from scripts/install-deps.sh.
# Usage: scripts/run-fuzzers.sh [seconds-per-target]   (default 60)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: $0 [seconds-per-target]" >&2
    exit 2
fi

sources=$root/tests/fuzz
build=$root/build/fuzz
findings=$build/findings
targets=(fuzz_cpudef fuzz_log_value fuzz_command_line fuzz_cpuid_registers fuzz_report_reader)

for tool in clang++ cmake; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "run-fuzzers: $tool is missing; run scripts/install-deps.sh" >&2
        exit 2
    fi
done

echo "== fuzzing: building with $(clang++ --version | head -n 1)"
mkdir -p "$build"
cmake -S "$sources" -B "$build" -DCMAKE_CXX_COMPILER=clang++ >"$build/configure.log" 2>&1 || {
    cat "$build/configure.log" >&2
    echo "run-fuzzers: configuring failed" >&2
    exit 2
}
cmake --build "$build" -j"${KORVANE_JOBS:-2}" >"$build/build.log" 2>&1 || {
    tail -n 40 "$build/build.log" >&2
    echo "run-fuzzers: building failed" >&2
    exit 2
}

mkdir -p "$findings"
status=0
for target in "${targets[@]}"; do
    work=$build/run/$target
    rm -rf "$work"
    mkdir -p "$work/corpus"
    cp "$sources/corpus/$target"/* "$work/corpus/"
    options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
             -artifact_prefix="$findings/$target-")
    if [ -f "$sources/dict/$target.dict" ]; then
        options+=(-dict="$sources/dict/$target.dict")
    fi
    log=$work/fuzz.log
    rc=0
    (cd "$work" && "$build/$target" "${options[@]}" "$work/corpus" >"$log" 2>&1) || rc=$?

    # The executions: the final statistics, or the last progress line when the run stopped early.
    executions=$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$log" | tail -n 1)
    if [ -z "$executions" ]; then
        executions=$(sed -n 's/^#\([0-9][0-9]*\)[[:space:]].*/\1/p' "$log" | tail -n 1)
    fi
    seeds=$(find "$sources/corpus/$target" -type f | wc -l)
    if [ "$rc" -eq 0 ]; then
        printf 'run-fuzzers: %-22s %10s executions in %s s from %s seeds, no finding\n' \
            "$target" "${executions:-?}" "$seconds" "$seeds"
    else
        status=1
        input=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -n 1)
        printf 'run-fuzzers: %-22s FINDING after %s executions (exit %s)\n' "$target" "${executions:-?}" "$rc"
        echo "  input: ${input:-none written}; log: $log"
        {
            sed -n '/property does not hold/,/ERROR: libFuzzer/p' "$log" | head -n 12
            grep -m 4 -E 'ERROR: (Address|Leak|UndefinedBehavior)Sanitizer|runtime error|SUMMARY:' "$log"
        } | sed 's/^/  /' || true
    fi
done
if [ "$status" -ne 0 ]; then
    echo "run-fuzzers: findings kept in $findings"
fi
exit $status
