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
check_equal "totals of a report with failed, disabled and skipped tests" "5 2" "$(gtest_report_counts "$work/mixed.xml")"

cat >"$work/clean.xml" <<'XML'
<testsuites tests="12" failures="0" disabled="0" errors="0" time="0.2" name="AllTests">
XML

tally() {
    PASSED_COUNT=0
    FAILED_COUNT=0
    count_gtest_program "$@" 2>/dev/null
    printf '%s %s' "$PASSED_COUNT" "$FAILED_COUNT"
}
check_equal "clean run" "12 0" "$(tally clean 0 "$work/clean.xml")"
check_equal "failed tests are not counted twice with the exit status" "5 2" "$(tally mixed 1 "$work/mixed.xml")"
check_equal "all cases passed but the program failed at exit" "12 1" "$(tally leaky 1 "$work/clean.xml")"
check_equal "crash before any report" "0 1" "$(tally crashed 139 "$work/absent.xml")"
check_equal "killed by the timeout" "0 1" "$(tally hung 124 "$work/absent.xml")"
: >"$work/empty.xml"
check_equal "report cut short" "0 1" "$(tally cut 134 "$work/empty.xml")"
check_equal "program without a report that succeeded" "1 0" "$(tally plain 0 "$work/absent.xml")"

PASSED_COUNT=3
FAILED_COUNT=0
count_outcome 0
count_outcome 2
check_equal "scripts count one each" "4 passed, 1 failed" "$(summary_line)"

check_equal "absolute path under Z:" 'Z:\work\main\build\demo\logs' "$(windows_path /work/main/build/demo/logs)"
check_equal "relative path is made absolute" "Z:${work//\//\\}\\logs" "$(cd "$work" && windows_path logs)"
check_equal "dot segments are resolved" 'Z:\srv\logs' "$(windows_path /srv/www/../logs/.)"

finish_checks
