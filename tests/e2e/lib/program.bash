# Runs the real tarnwatch.exe under a Wine session that is already up (WINEPREFIX, DISPLAY set), in a
# folder of its own holding the exe, its param.dat and a log folder with today's log. Sourced, not run;
# needs BUILD_DIR, the Windows build with tarnwatch.exe and the helpers of tests/e2e.

# windows_path comes from build.sh.
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/lib/build.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/lib/iis-log.sh"

TARNWATCH_DIR=
TARNWATCH_LOG=
TARNWATCH_PID=

# The program's own settings writer, built natively; the Windows build names it in its cache.
settings_tool() {
    sed -n 's/^TARNWATCH_HOST_SETTINGS_TOOL:FILEPATH=//p' "$BUILD_DIR/CMakeCache.txt"
}

listview_reader() {
    wine "$BUILD_DIR/tests/e2e/listview_reader.exe" "$@" </dev/null | tr -d '\r'
    return "${PIPESTATUS[0]}"
}

# request_line ADDRESS URL [STATUS]: a GET of URL stamped now.
request_line() {
    local address=$1 url=$2 status=${3:-200}
    iis_request_line "$(date '+%Y-%m-%d %H:%M:%S')" "$address" - 80 GET "$url" - "$status" \
        'Mozilla/4.0+(compatible;+MSIE+6.0;+Windows+NT+5.0)'
}

# tarnwatch_prepare FOLDER ROW_LIMIT UPDATE_SECONDS [FILTER_IP...]
tarnwatch_prepare() {
    local folder=$1 row_limit=$2 seconds=$3
    shift 3
    rm -rf "$folder"
    mkdir -p "$folder/logs"
    TARNWATCH_DIR=$(readlink -f "$folder")
    cp "$BUILD_DIR/ui/tarnwatch.exe" "$TARNWATCH_DIR/"
    local filters=() address
    for address in "$@"; do
        filters+=(--filter "$address")
    done
    "$(settings_tool)" "$TARNWATCH_DIR/param.dat" --row-limit "$row_limit" --seconds "$seconds" \
        --log-folder "$(windows_path "$TARNWATCH_DIR/logs")\\" "${filters[@]}"
    # The program names today's log by the local date, as the web server does.
    TARNWATCH_LOG=$TARNWATCH_DIR/logs/ex$(date '+%y%m%d').log
    {
        iis_log_header "$(date '+%Y-%m-%d %H:%M:%S')"
        request_line 10.0.0.1 /before-the-start-1.htm
        request_line 10.0.0.2 /before-the-start-2.htm
    } >"$TARNWATCH_LOG"
}

tarnwatch_start() {
    wine "$TARNWATCH_DIR/tarnwatch.exe" </dev/null >"$TARNWATCH_DIR/wine-output.txt" 2>&1 &
    TARNWATCH_PID=$!
    listview_reader wait-window 30000
}

# Closes the window as a user would; ends the process by its id only if it does not go.
tarnwatch_stop() {
    [[ -n $TARNWATCH_PID ]] || return 0
    listview_reader close 10000 >/dev/null 2>&1 || true
    local tries
    for ((tries = 0; tries < 100; ++tries)); do
        kill -0 "$TARNWATCH_PID" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$TARNWATCH_PID" 2>/dev/null; then
        kill "$TARNWATCH_PID" 2>/dev/null || true
    fi
    wait "$TARNWATCH_PID" 2>/dev/null || true
    TARNWATCH_PID=
}

# tarnwatch_menu KEY...: chooses a menu entry as a user would, with a click into the main window's list
# first (with no window manager, keys go to the window under the last click), then the keys, e.g. alt+o f.
tarnwatch_menu() {
    local key
    xdotool mousemove 1100 400 click 1
    for key in "$@"; do
        sleep 0.3
        xdotool key "$key"
    done
}

# The settings in param.dat, unscrambled: one value a line.
settings_text() {
    perl -pe 's/([^\r\n])/chr(ord($1) ^ 0x17)/ge; s/\r$//' "$TARNWATCH_DIR/param.dat"
}
