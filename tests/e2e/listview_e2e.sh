#!/usr/bin/env bash
# End to end under Wine: the real tarnwatch.exe, started as its own process, turns requests appended
# to today's log into rows of its list, leaves filtered addresses out and keeps the newest RowLimit rows.
# Takes a screenshot of the running program into the build folder.
# Needs WINEPREFIX and DISPLAY of a running Wine session, BUILD_DIR (the Windows build) and SOURCE_DIR.
set -euo pipefail
: "${WINEPREFIX:?}" "${DISPLAY:?}" "${BUILD_DIR:?}" "${SOURCE_DIR:?}"
export WINEDEBUG=${WINEDEBUG:--all}

source "$SOURCE_DIR/tests/e2e/lib/program.bash"
source "$SOURCE_DIR/tests/scripts/check.sh"

# Rows without their first cell, the local time at which they were read.
rows_without_time() {
    listview_reader rows | cut -f2-
}

# With no window manager on the display, Wine draws caption and frame only for windows it does not hand to
# one: switch that off for this run, so that the screenshot shows the window as Windows draws it.
x11_key='HKCU\Software\Wine\X11 Driver'
managed_before=$(wine reg query "$x11_key" /v Managed </dev/null 2>/dev/null | tr -d '\r' | awk '$1 == "Managed" { print $3 }' || true)
wine reg add "$x11_key" /v Managed /d N /f </dev/null >/dev/null 2>&1

finish() {
    tarnwatch_stop
    if [[ -n $managed_before ]]; then
        wine reg add "$x11_key" /v Managed /d "$managed_before" /f </dev/null >/dev/null 2>&1
    else
        wine reg delete "$x11_key" /v Managed /f </dev/null >/dev/null 2>&1
    fi
}
trap finish EXIT

tarnwatch_prepare "$BUILD_DIR/e2e-listview" 5 1 127.0.0.1
tarnwatch_start

caption=$(listview_reader caption)
check_equal "caption with the start date" "corvin 's tarnwatch   Today is " "${caption%%Today is *}Today is "
check_equal "requests from before the start are not shown" "" "$(listview_reader rows)"

{
    request_line 192.168.0.7 /default.htm 200
    request_line 127.0.0.1 /filtered.htm 200
    request_line 192.168.0.8 /images/missing.gif 404
} >>"$TARNWATCH_LOG"
listview_reader wait-url /images/missing.gif 15000 >/dev/null
check_equal "new requests become rows, filtered ones are left out" \
    "$(printf '192.168.0.7\t200\t/default.htm\n192.168.0.8\t404\t/images/missing.gif')" "$(rows_without_time)"
first_time=$(listview_reader rows | head -n 1 | cut -f1)
check_true "rows carry the local time of reading" '[[ -n $first_time ]]'

for page in 1 2 3 4 5 6; do
    request_line "10.1.1.$page" "/page-$page.htm" 200
done >>"$TARNWATCH_LOG"
listview_reader wait-url /page-6.htm 15000 >/dev/null
check_equal "only the newest five rows stay" "$(printf '/page-%s.htm\n' 2 3 4 5 6)" "$(rows_without_time | cut -f3)"

screenshot=$BUILD_DIR/tarnwatch-screenshot.png
import -display "$DISPLAY" -window root "$screenshot"
printf 'screenshot: %s\n' "$screenshot"

tarnwatch_stop
finish_checks
