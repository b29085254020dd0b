# Sourced by the checks' self-tests (tests/pe/*-selftest.sh): the verdict on one
# case, and the count of cases that did not behave.
# shellcheck shell=bash
failures=0

# judge NAME EXPECT(pass|fail) EXPECTED_TEXT STATUS OUTPUT
# A case behaves when the check's exit STATUS is what EXPECT says and, if
# EXPECTED_TEXT is not empty, its OUTPUT says that text.
judge() {
    local name=$1 expect=$2 text=$3 status=$4 output=$5
    if { [ "$expect" = pass ] && [ "$status" -ne 0 ]; } || { [ "$expect" = fail ] && [ "$status" -eq 0 ]; }; then
        echo "FAIL: $name: expected $expect, exit status $status"
        sed 's/^/    /' <<<"$output"
        failures=$((failures + 1))
    elif [ -n "$text" ] && ! grep -qF -- "$text" <<<"$output"; then
        echo "FAIL: $name: output does not say '$text'"
        sed 's/^/    /' <<<"$output"
        failures=$((failures + 1))
    else
        echo "ok:   $name"
    fi
}
