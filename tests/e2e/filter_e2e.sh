#!/usr/bin/env bash
# End to end under Wine: an address added through the running program's IP filter dialog and saved stops
# appearing in the list, and param.dat holds it.
# Needs WINEPREFIX and DISPLAY of a running Wine session, BUILD_DIR (the Windows build) and SOURCE_DIR.
set -euo pipefail
: "${WINEPREFIX:?}" "${DISPLAY:?}" "${BUILD_DIR:?}" "${SOURCE_DIR:?}"

source "$SOURCE_DIR/tests/e2e/lib/program.bash"
source "$SOURCE_DIR/tests/scripts/check.sh"
trap tarnwatch_stop EXIT

# The dialog's controls, as the program numbers them.
TXT_IP=106 CMD_ADD=101 CMD_OK=104

tarnwatch_prepare "$BUILD_DIR/e2e-filter" 10 1 127.0.0.1
tarnwatch_start
tarnwatch_menu alt+o f
listview_reader wait-window TarnwatchFilter 10000
listview_reader set-text TarnwatchFilter "$TXT_IP" 10.9.9.9
listview_reader click TarnwatchFilter "$CMD_ADD"
sleep 0.5
check_equal "the dialog lists the added address" "$(printf '127.0.0.1\n10.9.9.9')" \
    "$(listview_reader rows TarnwatchFilter)"
listview_reader click TarnwatchFilter "$CMD_OK"
sleep 0.5
tarnwatch_menu alt+f s

{
    request_line 10.9.9.9 /from-the-filtered-address.htm
    request_line 10.9.9.8 /from-another-address.htm
} >>"$TARNWATCH_LOG"
listview_reader wait-url /from-another-address.htm 15000 >/dev/null || true
check_equal "requests from the added address stop appearing" \
    "$(printf '10.9.9.8\t200\t/from-another-address.htm')" "$(listview_reader rows | cut -f2-)"
check_equal "param.dat holds the added address after the saved settings" "127.0.0.1 10.9.9.9" \
    "$(settings_text | tail -n +4 | tr '\n' ' ' | sed 's/ $//')"

tarnwatch_stop
finish_checks
