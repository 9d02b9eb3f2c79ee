# A Wine session for the Windows programs: an X display, a persistent wineserver on the caller's Wine
# prefix, and a finished wineboot. Sourced, not run; needs build.sh.
#
# Each script keeps a prefix of its own. wineserver is per prefix, so sessions on different prefixes
# run side by side, and ending one (wineserver -k on its prefix, its Xvfb by PID) leaves the others be.
# The start order matters: with a cold wineserver the first window can stall for half a minute, and
# the helpers that wineboot leaves running keep any pipe open that its output went to.

# Creating a prefix takes about half a minute and a cold start can stall as long again; a wineboot
# that takes far longer is stuck, and waiting on would hold up everything after it.
WINEBOOT_TIMEOUT=${WINEBOOT_TIMEOUT:-180}

WINE_SESSION_PREFIX=
WINE_SESSION_XVFB_PID=
WINE_SESSION_XVFB_LOG=

# start_wine_session PREFIX [--xvfb]
# Without --xvfb uses the current $DISPLAY; with it starts a private X server first. Creates the
# prefix when needed and exports WINEPREFIX for the programs run afterwards.
start_wine_session() {
    local prefix=$1
    if [[ ${2:-} == --xvfb ]]; then
        start_xvfb || return 1
    elif [[ -z ${DISPLAY:-} ]]; then
        printf 'error: no DISPLAY to show the windows on\n' >&2
        return 1
    fi
    mkdir -p "$prefix" || return 1
    # Wine takes only an absolute prefix.
    WINEPREFIX=$(cd "$prefix" && pwd) || return 1
    export WINEPREFIX
    export WINEARCH=win64
    export WINEDEBUG=-all
    # No Mono or Gecko: the programs need neither, and their installers would wait for a click.
    export WINEDLLOVERRIDES='mscoree,mshtml='
    if [[ ! -f $WINEPREFIX/system.reg ]]; then
        say "creating the Wine prefix $WINEPREFIX (about half a minute, once)"
    fi
    WINE_SESSION_PREFIX=$WINEPREFIX
    install_wine_fonts
    # Fails only when a server already runs on this prefix, left over from an interrupted run; that one
    # serves as well.
    wineserver -p || true
    local status=0
    timeout -k 10 "$WINEBOOT_TIMEOUT" wine wineboot </dev/null >/dev/null 2>&1 || status=$?
    if ((status == 124 || status == 137)); then
        printf 'error: wineboot did not finish within %s seconds in %s\n' "$WINEBOOT_TIMEOUT" "$WINEPREFIX" >&2
        printf 'error: should this recur, delete that prefix to have it made anew\n' >&2
        return 1
    elif ((status != 0)); then
        printf 'error: wineboot failed with exit status %s in %s\n' "$status" "$WINEPREFIX" >&2
        return 1
    fi
    # With no window manager on the display, Wine waits two seconds each time a window is hidden or
    # destroyed unless it manages the windows itself.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
}

# Wine draws the caption buttons with Marlett and the dialogs with Tahoma, both among its own fonts;
# without them in the prefix the buttons show as letters. Copied before the wineserver starts, so that
# it finds them.
install_wine_fonts() {
    local fonts=$WINEPREFIX/drive_c/windows/Fonts font
    mkdir -p "$fonts"
    for font in /usr/share/wine/fonts/*.ttf; do
        [[ -f $font && ! -f $fonts/$(basename "$font") ]] && cp "$font" "$fonts/"
    done
    return 0
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

# Safe to call more than once and after a failed start. Names the session's own prefix rather than
# trusting whatever WINEPREFIX holds by now.
stop_wine_session() {
    if [[ -n $WINE_SESSION_PREFIX ]]; then
        WINEPREFIX=$WINE_SESSION_PREFIX wineserver -k 2>/dev/null || true
        WINEPREFIX=$WINE_SESSION_PREFIX wineserver -w 2>/dev/null || true
        WINE_SESSION_PREFIX=
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
