#!/usr/bin/env bash
# A Wine session must give up on a wineboot that hangs instead of holding up the run, and ending it
# must stop the wineserver of its own prefix, whatever WINEPREFIX says by then. Wine is played by stubs.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/check.sh"
source "$here/../../scripts/lib/build.sh"
WINEBOOT_TIMEOUT=1
source "$here/../../scripts/lib/wine-session.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir "$work/bin"
cat >"$work/bin/wine" <<'STUB'
#!/bin/sh
[ "$1" = wineboot ] && exec sleep 30
exit 0
STUB
cat >"$work/bin/wineserver" <<STUB
#!/bin/sh
printf '%s %s\n' "\$WINEPREFIX" "\$*" >>"$work/wineserver-calls"
STUB
chmod +x "$work/bin/wine" "$work/bin/wineserver"
PATH=$work/bin:$PATH
DISPLAY=:99

status=0
start_wine_session "$work/prefix" >/dev/null 2>"$work/errors" || status=$?
check_equal "a hanging wineboot fails the start" 1 "$status"
check_equal "error lines that name wineboot" 1 "$(grep -c 'wineboot did not finish' "$work/errors")"

export WINEPREFIX=$work/someone-elses-prefix
stop_wine_session
check_equal "wineserver -k on the session's prefix" "$work/prefix -k" "$(grep -- ' -k$' "$work/wineserver-calls")"

finish_checks
