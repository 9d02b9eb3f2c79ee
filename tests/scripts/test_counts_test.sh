#!/usr/bin/env bash
# The summary line must add up what the test programs really did, crashes included.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/check.sh"
source "$here/../../scripts/lib/build.sh"
source "$here/../../scripts/lib/test-counts.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The shape GoogleTest writes: totals on <testsuites>, per-suite totals that must not be added in.
cat >"$work/mixed.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<testsuites tests="9" failures="2" disabled="1" errors="0" time="0.1" timestamp="2026-01-01T00:00:00" name="AllTests">
  <testsuite name="A" tests="5" failures="2" disabled="1" skipped="1" errors="0" time="0.1">
    <testcase name="Ok" status="run" result="completed" time="0" classname="A" />
    <testcase name="Broken" status="run" result="completed" time="0" classname="A">
      <failure message="x" type=""><![CDATA[a.cpp:1
Expected: 1 tests="40"]]></failure>
    </testcase>
    <testcase name="Skipped" status="run" result="skipped" time="0" classname="A" />
  </testsuite>
  <testsuite name="B" tests="4" failures="0" disabled="0" skipped="0" errors="0" time="0">
  </testsuite>
</testsuites>
XML
read -r passed failed < <(gtest_report_counts "$work/mixed.xml")
check_equal "passed in a report with failed, disabled and skipped tests" 5 "$passed"
check_equal "failed in a report with failed, disabled and skipped tests" 2 "$failed"

cat >"$work/clean.xml" <<'XML'
<testsuites tests="12" failures="0" disabled="0" errors="0" time="0.2" name="AllTests">
XML
: >"$work/empty.xml"

# exit status, report, passed, failed, what happened
cases=(
    "0 clean.xml 12 0 clean run"
    "1 mixed.xml 5 2 failed tests are not counted twice with the exit status"
    "1 clean.xml 12 1 all cases passed but the program failed at exit"
    "139 absent.xml 0 1 crash before any report"
    "134 empty.xml 0 1 report cut short"
    "0 absent.xml 1 0 program without a report that succeeded"
)
for case in "${cases[@]}"; do
    read -r status report passed failed what <<<"$case"
    PASSED_COUNT=0
    FAILED_COUNT=0
    count_gtest_program program "$status" "$work/$report" 2>/dev/null
    check_equal "$what: passed" "$passed" "$PASSED_COUNT"
    check_equal "$what: failed" "$failed" "$FAILED_COUNT"
done

PASSED_COUNT=3
FAILED_COUNT=0
count_outcome 0
count_outcome 2
check_equal "scripts count one each" "4 passed, 1 failed" "$(summary_line)"

check_equal "absolute path under Z:" 'Z:\work\main\build\demo\logs' "$(windows_path /work/main/build/demo/logs)"
check_equal "relative path is made absolute" "Z:${work//\//\\}\\logs" "$(cd "$work" && windows_path logs)"

finish_checks
