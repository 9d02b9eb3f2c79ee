#!/usr/bin/env bash
# End to end under Wine: the running program minimised to the notification area. Wine shows the icons in a
# small window of its own at the top-left of the screen, the first icon at about (12, 32); the test clicks it
# with the mouse, reads the icon's colour off the screen and uses its menu.
# Needs WINEPREFIX and DISPLAY of a running Wine session, BUILD_DIR (the Windows build) and SOURCE_DIR.
set -euo pipefail
: "${WINEPREFIX:?}" "${DISPLAY:?}" "${BUILD_DIR:?}" "${SOURCE_DIR:?}"

source "$SOURCE_DIR/tests/e2e/lib/program.bash"
source "$SOURCE_DIR/tests/scripts/check.sh"
shot=$(mktemp --suffix=.png)
trap 'tarnwatch_stop; rm -f "$shot"' EXIT

ICON_X=12 ICON_Y=32
# The first entry of the icon's menu, which opens at the mouse.
SHOW_ENTRY_X=60 SHOW_ENTRY_Y=43

# yellow, blue or none, from the mean colour of the icon's middle.
icon_colour() {
    import -display "$DISPLAY" -window root "$shot"
    local rgb red blue
    rgb=$(convert "$shot" -crop 12x10+7+26 -scale '1x1!' -format '%[fx:int(255*r)] %[fx:int(255*b)]' info:)
    read -r red blue <<<"$rgb"
    if ((red > blue + 50)); then
        echo yellow
    elif ((blue > red + 50)); then
        echo blue
    else
        echo none
    fi
}

click_icon() {
    xdotool mousemove "$ICON_X" "$ICON_Y" click "$1"
    sleep 0.7
}

# A poll every three seconds leaves time to see the blue between two passes.
tarnwatch_prepare "$BUILD_DIR/e2e-tray" 10 3 127.0.0.1
tarnwatch_start
tarnwatch_menu alt+o m
sleep 1
check_equal "minimize hides the window" 0 "$(listview_reader shown)"
check_equal "the icon is the yellow one" yellow "$(icon_colour)"
click_icon 1
check_equal "a left click shows the window" 1 "$(listview_reader shown)"
click_icon 1
check_equal "a second left click hides it again" 0 "$(listview_reader shown)"

request_line 192.168.0.7 /while-in-the-tray.htm >>"$TARNWATCH_LOG"
listview_reader wait-url /while-in-the-tray.htm 10000 >/dev/null
check_equal "a pass that shows a request turns the icon blue" blue "$(icon_colour)"
sleep 3.5
check_equal "the next pass turns it yellow again" yellow "$(icon_colour)"

click_icon 3
xdotool mousemove "$SHOW_ENTRY_X" "$SHOW_ENTRY_Y" click 1
sleep 0.7
check_equal "Show Tarnwatch from the icon's menu shows the window" 1 "$(listview_reader shown)"
check_equal "and the icon is gone" none "$(icon_colour)"

tarnwatch_stop
finish_checks
