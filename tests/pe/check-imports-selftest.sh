#!/usr/bin/env bash
# Shows that check-imports.sh catches what it is there for: each case feeds it a
# list of imports and an allow-list and expects it to pass or to fail naming the
# offending import.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

base='kernel32.dll!CloseHandle
kernel32.dll!GetProcAddress
kernel32.dll!GetTickCount
msvcrt.dll!strlen
user32.dll!MessageBoxA'
# shellcheck source=selftest-cases.sh
. "$here/selftest-cases.sh"

# run_case NAME EXPECT(pass|fail) EXPECTED_TEXT IMPORTS ALLOWED
run_case() {
    local name=$1 expect=$2 text=$3 imports=$4 allowed=$5 output status
    printf '%s\n' "$imports" >"$work/imports.txt"
    printf '# an allow-list\n%s\n' "$allowed" >"$work/allowed.txt"
    output=$(bash "$here/check-imports.sh" --imports-from "$work/imports.txt" "$work/allowed.txt" 2>&1)
    status=$?
    judge "$name" "$expect" "$text" "$status" "$output"
}

# The allow-list: exact match only.
run_case "imports as listed" pass "" "$base" "$base"
run_case "listed in another order, with blank lines" pass "" "$base" "$(printf '\n%s\n' "$base" | sort -r)"
run_case "a new import" fail "+ kernel32.dll!CreateThread" "$base
kernel32.dll!CreateThread" "$base"
run_case "an import no longer made" fail "- user32.dll!MessageBoxA" "$(grep -v MessageBoxA <<<"$base")" "$base"
run_case "a new DLL" fail "+ ws2_32.dll!connect" "$base
ws2_32.dll!connect" "$base"
run_case "an import by ordinal" fail "+ comctl32.dll!#17" "$base
comctl32.dll!#17" "$base"

# What XP SP3 lacks is refused even when an allow-list names it.
for denied in \
    kernel32.dll!GetTickCount64 \
    kernel32.dll!AcquireSRWLockExclusive \
    kernel32.dll!TryAcquireSRWLockShared \
    kernel32.dll!SleepConditionVariableCS \
    kernel32.dll!WakeAllConditionVariable \
    kernel32.dll!InitOnceExecuteOnce \
    kernel32.dll!FlsAlloc \
    kernel32.dll!FlsGetValue \
    kernel32.dll!AddDllDirectory \
    kernel32.dll!SetDefaultDllDirectories \
    kernel32.dll!RemoveDllDirectory \
    kernel32.dll!QueryFullProcessImageNameA \
    kernel32.dll!InitializeCriticalSectionEx \
    kernel32.dll!GetSystemTimePreciseAsFileTime \
    msvcrt.dll!sprintf_s \
    msvcrt.dll!_itoa_s \
    msvcrt.dll!memcpy_s; do
    run_case "refuses $denied" fail "$denied (matches" "$base
$denied" "$base
$denied"
done

# What XP SP3 has passes.
for allowed in \
    kernel32.dll!SetDllDirectoryA \
    kernel32.dll!SetDllDirectoryW \
    kernel32.dll!GetTickCount \
    kernel32.dll!InitializeCriticalSection \
    kernel32.dll!TlsAlloc \
    kernel32.dll!BaseProcessInitPostImport \
    kernel32.dll!GetLogicalProcessorInformation \
    msvcrt.dll!_setjmp3 \
    msvcrt.dll!__p__fmode \
    msvcrt.dll!sprintf; do
    run_case "allows $allowed" pass "" "$base
$allowed" "$base
$allowed"
done

[ $failures -eq 0 ] && echo "check-imports.sh: all cases behaved" || exit 1
