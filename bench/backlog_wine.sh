#!/usr/bin/env bash
# The real tarnwatch.exe under Wine with a backlog: 100,000 requests land in today's log at once, and the
# time is taken from the tick of the polling timer until the newest of them is the last row of the list,
# read from outside the program through its list view. Target: under 2 s.
#
#   bench/backlog_wine.sh [WINDOWS_BUILD_DIR]      (default build/windows; built when something is missing)
#   BACKLOG_LINES=100000 BACKLOG_RUNS=3            size of the backlog and number of runs
set -euo pipefail

SOURCE_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$SOURCE_DIR/scripts/lib/build.sh"
source "$SOURCE_DIR/scripts/lib/wine-session.sh"
source "$SOURCE_DIR/scripts/lib/iis-log.sh"
BUILD_DIR=${1:-$WINDOWS_BUILD_DIR}
mkdir -p "$BUILD_DIR"
BUILD_DIR=$(readlink -f "$BUILD_DIR")
LINES=${BACKLOG_LINES:-100000}
RUNS=${BACKLOG_RUNS:-3}
TARGET_MS=2000

build_if_needed() {
    if [[ ! -f $BUILD_DIR/ui/tarnwatch.exe || ! -f $BUILD_DIR/tests/e2e/listview_reader.exe ]]; then
        say "building the Windows program and its helpers in $BUILD_DIR"
        build_linux make_default_settings
        WINDOWS_BUILD_DIR=$BUILD_DIR build_windows tarnwatch listview_reader
    fi
}

# A Wine prefix of its own, so that ending the session cannot stop anybody else's programs.
start_session() {
    start_wine_session "$BUILD_DIR/bench-backlog-session/wineprefix" --xvfb
}

# Realistic requests, one in ten from the filtered local address; the last one is always shown. In awk
# for speed, with the shared line format.
write_backlog() {
    local tag=$1
    mawk -v lines="$LINES" -v tag="$tag" -v stamp="$(date '+%Y-%m-%d %H:%M:%S')" -v format="$IIS_REQUEST_FORMAT" \
        'BEGIN {
        split("200 200 200 304 404 500", statuses, " ")
        for (n = 1; n <= lines; ++n) {
            address = (n % 10 == 0 && n < lines) ? "127.0.0.1" : "192.168." (n % 200) "." (n % 250 + 1)
            printf format, stamp, address, "-", 80, "GET", "/backlog-" tag "-" n ".htm", "-", statuses[n % 6 + 1],
                "Mozilla/4.0+(compatible;+MSIE+6.0;+Windows+NT+5.0)"
        }
    }'
}

finish() {
    tarnwatch_stop 2>/dev/null || true
    stop_wine_session
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
