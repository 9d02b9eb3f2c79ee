# Assertions for the shell tests: each failed check is reported and the test exits non-zero at the end.
# Sourced, not run.

CHECK_FAILURES=0

check_equal() {
    local what=$1 expected=$2 actual=$3
    if [[ $expected != "$actual" ]]; then
        printf 'FAILED: %s\n  expected: %s\n  actual:   %s\n' "$what" "$expected" "$actual" >&2
        CHECK_FAILURES=$((CHECK_FAILURES + 1))
    fi
}

# The condition is shell text, so that [[ ]] tests can be passed in.
check_true() {
    local what=$1 condition=$2
    if ! eval "$condition"; then
        printf 'FAILED: %s\n' "$what" >&2
        CHECK_FAILURES=$((CHECK_FAILURES + 1))
    fi
}

finish_checks() {
    if ((CHECK_FAILURES > 0)); then
        printf '%s: %d check(s) failed\n' "$(basename "$0")" "$CHECK_FAILURES" >&2
        exit 1
    fi
    printf '%s: all checks passed\n' "$(basename "$0")"
}
