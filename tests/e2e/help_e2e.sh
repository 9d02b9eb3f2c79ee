#!/usr/bin/env bash
# End to end under Wine: the running program's status-code help window, read from outside, and the program
# going on while it is open after the main window has closed.
# Needs WINEPREFIX and DISPLAY of a running Wine session, BUILD_DIR (the Windows build) and SOURCE_DIR.
set -euo pipefail
: "${WINEPREFIX:?}" "${DISPLAY:?}" "${BUILD_DIR:?}" "${SOURCE_DIR:?}"

source "$SOURCE_DIR/tests/e2e/lib/program.bash"
source "$SOURCE_DIR/tests/scripts/check.sh"
trap tarnwatch_stop EXIT

tarnwatch_prepare "$BUILD_DIR/e2e-help" 10 5 127.0.0.1
tarnwatch_start
tarnwatch_menu alt+h h
listview_reader wait-window TarnwatchHelp 10000
mapfile -t codes < <(listview_reader rows TarnwatchHelp)
check_equal "41 status codes" 41 "${#codes[@]}"
check_equal "the first" $'100\tContinue' "${codes[0]:-}"
check_equal "the last" $'505\tHTTP Version Not Supported' "${codes[40]:-}"

listview_reader close 10000
sleep 1
check_true "the program goes on while the help window is open" 'kill -0 "$TARNWATCH_PID" 2>/dev/null'
listview_reader close TarnwatchHelp 10000
for ((tries = 0; tries < 100; ++tries)); do
    kill -0 "$TARNWATCH_PID" 2>/dev/null || break
    sleep 0.1
done
check_true "the program ends with its last window" '! kill -0 "$TARNWATCH_PID" 2>/dev/null'

finish_checks
