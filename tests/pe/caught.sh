# shellcheck shell=bash disable=SC2034  # status is the sourcing script's
# Sourced by the checks of this folder for their self-tests.
# caught TEXT COMMAND...: COMMAND must fail and say TEXT; otherwise a FAIL line, status=1.
caught() {
    local text=$1 output && shift
    if output=$("$@" 2>&1); then
        echo "FAIL: a planted fault passes: $text" && status=1
    elif grep -qF -- "$text" <<<"$output"; then
        echo "ok:   planted and caught: $text"
    else
        echo "FAIL: a planted fault is not named '$text':" && sed 's/^/    /' <<<"$output" && status=1
    fi
}
