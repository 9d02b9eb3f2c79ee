#!/usr/bin/env bash
# The real tarnwatch.exe under Wine with a backlog: a million requests land in today's log at once, and the
# time is taken from the tick of the polling timer until the newest of them is the last row of the list,
# read from outside the program through its list view. Given an earlier commit, that commit's exe runs too,
# in turn with this build's in the same Wine session, so that both meet the same machine. Target: a median
# of at most 250 ms for this build.
#
#   bench/backlog_wine.sh [--against COMMIT] [WINDOWS_BUILD_DIR]
#       WINDOWS_BUILD_DIR (default build/windows) is built when something is missing; COMMIT's exe is built
#       once from its own sources in WINDOWS_BUILD_DIR/bench-commits/
#   BACKLOG_LINES=1000000 BACKLOG_RUNS=5            size of the backlog and number of runs of each exe
set -euo pipefail

SOURCE_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$SOURCE_DIR/scripts/lib/build.sh"
source "$SOURCE_DIR/scripts/lib/wine-session.sh"
source "$SOURCE_DIR/scripts/lib/iis-log.sh"
source "$SOURCE_DIR/tests/e2e/lib/program.bash"
source "$SOURCE_DIR/bench/lib/commit-exe.bash"

against=
if [[ ${1:-} == --against ]]; then
    against=${2:?--against needs a commit}
    shift 2
fi
BUILD_DIR=${1:-$WINDOWS_BUILD_DIR}
mkdir -p "$BUILD_DIR"
BUILD_DIR=$(readlink -f "$BUILD_DIR")
LINES=${BACKLOG_LINES:-1000000}
RUNS=${BACKLOG_RUNS:-5}
TARGET_MS=250
for setting in LINES RUNS; do
    if [[ ! ${!setting} =~ ^[1-9][0-9]*$ ]]; then
        printf 'error: BACKLOG_%s must be a whole number above zero, not "%s"\n' "$setting" "${!setting}" >&2
        exit 2
    fi
done

build_if_needed() {
    if [[ ! -f $BUILD_DIR/ui/tarnwatch.exe || ! -f $BUILD_DIR/tests/e2e/listview_reader.exe ]]; then
        say "building the Windows program and its helpers in $BUILD_DIR"
        build_linux make_default_settings
        WINDOWS_BUILD_DIR=$BUILD_DIR build_windows tarnwatch listview_reader
    fi
}

# Realistic requests, one in ten from the filtered local address; the last one is always shown. In awk
# for speed, with the shared line format.
write_backlog() {
    mawk -v lines="$LINES" -v stamp="$(date '+%Y-%m-%d %H:%M:%S')" -v format="$IIS_REQUEST_FORMAT" \
        'BEGIN {
        split("200 200 200 304 404 500", statuses, " ")
        for (n = 1; n <= lines; ++n) {
            address = (n % 10 == 0 && n < lines) ? "127.0.0.1" : "192.168." (n % 200) "." (n % 250 + 1)
            printf format, stamp, address, "-", 80, "GET", "/backlog-" n ".htm", "-", statuses[n % 6 + 1],
                "Mozilla/4.0+(compatible;+MSIE+6.0;+Windows+NT+5.0)"
        }
    }'
}

finish() {
    tarnwatch_stop 2>/dev/null || true
    stop_wine_session
}

# measure EXE: starts EXE on a fresh log, lets it read once, appends the backlog and sets shown_ms to the
# ms from the tick to the newest row. A poll period of ten minutes keeps the program's own ticks out of the
# way.
shown_ms=
measure() {
    tarnwatch_prepare "$BUILD_DIR/bench-backlog" 50 600 127.0.0.1
    cp "$1" "$TARNWATCH_DIR/tarnwatch.exe"
    tarnwatch_start >/dev/null
    request_line 192.168.0.1 /sync.htm >>"$TARNWATCH_LOG"
    listview_reader tick-wait-url /sync.htm 15000 >/dev/null
    cat "$backlog" >>"$TARNWATCH_LOG"
    shown_ms=$(listview_reader tick-wait-url "/backlog-$LINES.htm" 30000)
    tarnwatch_stop
}

# "median min max" of the numbers given.
stats() {
    printf '%s\n' "$@" | sort -n | awk '{ value[NR] = $1 } END { print value[int((NR + 1) / 2)], value[1], value[NR] }'
}

build_if_needed
exes=("$BUILD_DIR/ui/tarnwatch.exe")
names=("this build")
if [[ -n $against ]]; then
    exes+=("$(commit_exe "$against")")
    names+=("$against")
fi
backlog=$BUILD_DIR/bench-backlog.txt
write_backlog >"$backlog"
trap 'finish; rm -f "$backlog"' EXIT
# A Wine prefix of its own, so that ending the session cannot stop anybody else's programs.
start_wine_session "$BUILD_DIR/bench-backlog-session/wineprefix" --xvfb

printf '%d requests (%d bytes) appended at once; ms from the tick to the newest row\n' "$LINES" \
    "$(stat -c %s "$backlog")"
# Each exe's times, one string of numbers per exe.
results=()
medians=()
for ((run = 1; run <= RUNS; ++run)); do
    line="run $run:"
    for index in "${!exes[@]}"; do
        measure "${exes[$index]}"
        results[index]+=" $shown_ms"
        line+=" ${names[index]} $shown_ms ms;"
    done
    printf '%s\n' "${line%;}"
done

for index in "${!exes[@]}"; do
    # shellcheck disable=SC2086 # one number a word
    read -r median low high < <(stats ${results[index]})
    printf '%s: median %d ms (%d-%d)\n' "${names[index]}" "$median" "$low" "$high"
    medians[index]=$median
done
printf 'target: a median of at most %d ms for this build\n' "$TARGET_MS"
if ((medians[0] > TARGET_MS)); then
    printf 'MISSED the target\n'
    exit 1
fi
