# Counts for the summary line of scripts/test: passed and failed test cases across every test program.
# Sourced, not run.

PASSED_COUNT=0
FAILED_COUNT=0

# Prints "passed failed" for one GoogleTest XML report. Disabled and skipped tests count as neither.
gtest_report_counts() {
    awk '
        function attribute(name,    found) {
            if (!match($0, " " name "=\"[0-9]+\"")) {
                return 0
            }
            found = substr($0, RSTART, RLENGTH)
            gsub(/[^0-9]/, "", found)
            return found + 0
        }
        /<testsuites / {
            tests = attribute("tests")
            failures = attribute("failures")
            disabled = attribute("disabled")
        }
        /<testcase / && /result="skipped"/ { skipped++ }
        END { print tests - failures - disabled - skipped, failures }
    ' "$1"
}

# Adds one test program's results. A program that failed without reporting a failed test case
# (crash, hang, sanitizer report at exit, no report at all) counts as one failure more.
count_gtest_program() {
    local name=$1 exit_status=$2 report=$3
    local passed=0 failed=0
    if [[ -s $report ]]; then
        read -r passed failed < <(gtest_report_counts "$report")
    elif ((exit_status == 0)); then
        passed=1
    fi
    if ((exit_status != 0 && failed == 0)); then
        failed=1
        printf '%s failed (exit status %s) outside its test cases\n' "$name" "$exit_status" >&2
    fi
    PASSED_COUNT=$((PASSED_COUNT + passed))
    FAILED_COUNT=$((FAILED_COUNT + failed))
}

# Scripts and build steps count as one test each.
count_outcome() {
    if (($1 == 0)); then
        PASSED_COUNT=$((PASSED_COUNT + 1))
    else
        FAILED_COUNT=$((FAILED_COUNT + 1))
    fi
}

summary_line() {
    printf '%d passed, %d failed\n' "$PASSED_COUNT" "$FAILED_COUNT"
}
