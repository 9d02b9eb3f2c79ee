# A Wine session for the Windows programs: an X display, a persistent wineserver on a private prefix
# inside the Windows build folder, and a finished wineboot. Sourced, not run; needs build.sh.
#
# The start order matters: with a cold wineserver the first window can stall for half a minute, and
# the helpers that wineboot leaves running keep any pipe open that its output went to.

WINE_SESSION_XVFB_PID=
WINE_SESSION_STARTED=
WINE_SESSION_XVFB_LOG=

# Without arguments uses the current $DISPLAY; with --xvfb starts a private X server first.
start_wine_session() {
    if [[ ${1:-} == --xvfb ]]; then
        start_xvfb || return 1
    elif [[ -z ${DISPLAY:-} ]]; then
        printf 'error: no DISPLAY to show the windows on\n' >&2
        return 1
    fi
    export WINEPREFIX=$WINDOWS_BUILD_DIR/wineprefix
    export WINEARCH=win64
    export WINEDEBUG=-all
    # No Mono or Gecko: the programs need neither, and their installers would wait for a click.
    export WINEDLLOVERRIDES='mscoree,mshtml='
    mkdir -p "$WINEPREFIX"
    if [[ ! -f $WINEPREFIX/system.reg ]]; then
        say "creating the Wine prefix $WINEPREFIX (about half a minute, once)"
    fi
    WINE_SESSION_STARTED=1
    wineserver -p
    wine wineboot </dev/null >/dev/null 2>&1
    # With no window manager on the display, Wine waits two seconds each time a window is hidden or
    # destroyed unless it manages the windows itself.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
}

start_xvfb() {
    local display_file
    display_file=$(mktemp)
    WINE_SESSION_XVFB_LOG=$(mktemp)
    # -displayfd picks a free display and writes its number once the server accepts clients.
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$display_file" </dev/null \
        >"$WINE_SESSION_XVFB_LOG" 2>&1 &
    WINE_SESSION_XVFB_PID=$!
    local tries
    for ((tries = 0; tries < 100; ++tries)); do
        if grep -q '^[0-9][0-9]*$' "$display_file"; then
            DISPLAY=:$(head -n 1 "$display_file")
            export DISPLAY
            rm -f "$display_file"
            return 0
        fi
        if ! kill -0 "$WINE_SESSION_XVFB_PID" 2>/dev/null; then
            break
        fi
        sleep 0.1
    done
    rm -f "$display_file"
    printf 'error: Xvfb did not start:\n' >&2
    cat "$WINE_SESSION_XVFB_LOG" >&2
    return 1
}

# Safe to call more than once and after a failed start.
stop_wine_session() {
    if [[ -n $WINE_SESSION_STARTED ]]; then
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
        WINE_SESSION_STARTED=
    fi
    if [[ -n $WINE_SESSION_XVFB_PID ]]; then
        kill "$WINE_SESSION_XVFB_PID" 2>/dev/null || true
        wait "$WINE_SESSION_XVFB_PID" 2>/dev/null || true
        WINE_SESSION_XVFB_PID=
    fi
    if [[ -n $WINE_SESSION_XVFB_LOG ]]; then
        rm -f "$WINE_SESSION_XVFB_LOG"
        WINE_SESSION_XVFB_LOG=
    fi
}
