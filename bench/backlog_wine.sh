#!/usr/bin/env bash
# The real tarnwatch.exe under Wine with a backlog: 100,000 requests land in today's log at once, and the
# time is taken from the tick of the polling timer until the newest of them is the last row of the list,
# read from outside the program through its list view. Target: under 2 s.
#
#   bench/backlog_wine.sh [WINDOWS_BUILD_DIR]      (default build/windows; built when something is missing)
#   BACKLOG_LINES=100000 BACKLOG_RUNS=3            size of the backlog and number of runs
set -euo pipefail

SOURCE_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${1:-$SOURCE_DIR/build/windows}
mkdir -p "$BUILD_DIR"
BUILD_DIR=$(readlink -f "$BUILD_DIR")
LINES=${BACKLOG_LINES:-100000}
RUNS=${BACKLOG_RUNS:-3}
TARGET_MS=2000

build_if_needed() {
    local file
    for file in ui/tarnwatch.exe tests/e2e/listview_reader.exe tests/e2e/write_settings.exe; do
        if [[ ! -f $BUILD_DIR/$file ]]; then
            printf '==> building the Windows program and its helpers in %s\n' "$BUILD_DIR"
            if [[ ! -f $BUILD_DIR/CMakeCache.txt ]]; then
                cmake -S "$SOURCE_DIR" -B "$BUILD_DIR" \
                    -DCMAKE_TOOLCHAIN_FILE="$SOURCE_DIR/cmake/mingw-w64-x86_64.cmake" >/dev/null
            fi
            cmake --build "$BUILD_DIR" -j "$(nproc)" --target tarnwatch listview_reader write_settings
            return
        fi
    done
}

# A Wine session of its own, on a prefix of its own so that ending it cannot stop anybody else's programs:
# the session of the scripts when it is there, else as the Wine notes say.
SESSION_DIR=$BUILD_DIR/bench-backlog-session
session_xvfb_pid=
start_session() {
    mkdir -p "$SESSION_DIR"
    if [[ -f $SOURCE_DIR/scripts/lib/wine-session.sh ]]; then
        source "$SOURCE_DIR/scripts/lib/build.sh"
        source "$SOURCE_DIR/scripts/lib/wine-session.sh"
        WINDOWS_BUILD_DIR=$SESSION_DIR
        start_wine_session --xvfb
        return
    fi
    export WINEPREFIX=$SESSION_DIR/wineprefix WINEDEBUG=-all
    local display_file
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$display_file" </dev/null >/dev/null 2>&1 &
    session_xvfb_pid=$!
    while ! grep -q '^[0-9][0-9]*$' "$display_file"; do
        sleep 0.1
    done
    export DISPLAY=:$(head -n 1 "$display_file")
    rm -f "$display_file"
    wineserver -p
    wine wineboot </dev/null >/dev/null 2>&1
}

stop_session() {
    if declare -F stop_wine_session >/dev/null; then
        stop_wine_session
        return
    fi
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    if [[ -n $session_xvfb_pid ]]; then
        kill "$session_xvfb_pid" 2>/dev/null || true
        wait "$session_xvfb_pid" 2>/dev/null || true
    fi
}

# Realistic requests, one in ten from the filtered local address; the last one is always shown.
write_backlog() {
    local tag=$1
    mawk -v lines="$LINES" -v tag="$tag" -v day="$(date '+%Y-%m-%d %H:%M:%S')" 'BEGIN {
        split("200 200 200 304 404 500", statuses, " ")
        for (n = 1; n <= lines; ++n) {
            address = (n % 10 == 0 && n < lines) ? "127.0.0.1" : "192.168." (n % 200) "." (n % 250 + 1)
            printf "%s %s - 192.168.0.1 80 GET /backlog-%s-%d.htm - %s Mozilla/4.0+(compatible;+MSIE+6.0;+Windows+NT+5.0)\r\n",
                day, address, tag, n, statuses[n % 6 + 1]
        }
    }'
}

finish() {
    tarnwatch_stop 2>/dev/null || true
    stop_session
}

build_if_needed
trap finish EXIT
start_session
source "$SOURCE_DIR/tests/e2e/lib/program.bash"

# A period long enough that no tick of the timer's own falls inside a measurement.
tarnwatch_prepare "$BUILD_DIR/bench-backlog" 50 10 127.0.0.1
tarnwatch_start
backlog=$TARNWATCH_DIR/backlog.txt

results=()
for ((run = 1; run <= RUNS; ++run)); do
    # Wait for a tick of the program's own timer, so that the next one is ten seconds away.
    request_line 192.168.0.1 "/sync-$run.htm" >>"$TARNWATCH_LOG"
    listview_reader wait-url "/sync-$run.htm" 15000 >/dev/null
    write_backlog "$run" >"$backlog"
    cat "$backlog" >>"$TARNWATCH_LOG"
    shown_ms=$(listview_reader tick-wait-url "/backlog-$run-$LINES.htm" 30000)
    printf 'run %d: %d requests (%d bytes) appended at once, newest row shown %s ms after the tick\n' \
        "$run" "$LINES" "$(stat -c %s "$backlog")" "$shown_ms"
    results+=("$shown_ms")
done

worst=$(printf '%s\n' "${results[@]}" | sort -n | tail -n 1)
median=$(printf '%s\n' "${results[@]}" | sort -n | sed -n "$(((RUNS + 1) / 2))p")
printf 'backlog of %d requests: median %s ms, worst %s ms (target < %d ms)\n' "$LINES" "$median" "$worst" \
    "$TARGET_MS"
if ((worst >= TARGET_MS)); then
    printf 'MISSED the target\n'
    exit 1
fi
