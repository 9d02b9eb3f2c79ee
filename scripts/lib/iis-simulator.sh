#!/usr/bin/env bash
# Plays an IIS 6.0 web server for the demo: appends W3C extended log lines to today's log file.
#   iis-simulator.sh FOLDER [--backlog N] [--count N]
# Writes N backlog requests at once (default 8; they are in the file before the monitor starts, so it
# skips them), then one request about every second, COUNT times (default: until stopped). Like IIS
# it names the file by the local date (exYYMMDD.log), starts a new file after midnight, stamps the
# requests in UTC and ends lines with CR LF.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/iis-log.sh"

usage() {
    printf 'usage: iis-simulator.sh FOLDER [--backlog N] [--count N]\n' >&2
    exit 2
}

(($# >= 1)) || usage
folder=$1
shift
backlog=8
count=-1
while (($# > 0)); do
    (($# >= 2)) || usage
    case $1 in
    --backlog) backlog=$2 ;;
    --count) count=$2 ;;
    *) usage ;;
    esac
    [[ $2 =~ ^[0-9]+$ ]] || usage
    shift 2
done
mkdir -p "$folder"

# Weighted by repetition. The loopback address is what a filter list usually hides.
CLIENTS=(192.168.0.7 192.168.0.7 192.168.0.12 192.168.0.23 192.168.0.23 10.1.4.30 127.0.0.1 127.0.0.1
    203.0.113.45 203.0.113.45 198.51.100.17 198.51.100.200 66.249.66.1 207.46.98.34)
USERNAMES=(- - - - - - - 'CORP\jsmith')
# Path, query and the statuses that path answers with, weighted by repetition.
RESOURCES=(
    '/default.htm|-|200 200 200 304'
    '/images/logo.gif|-|200 304 304 304'
    '/css/site.css|-|200 304 304'
    '/scripts/menu.js|-|200 304'
    '/products/list.asp|cat=3&page=2|200 200 500'
    '/products/item.asp|id=1042|200 200 404'
    '/login.asp|-|200 302 401'
    '/admin/default.asp|-|401 403'
    '/favicon.ico|-|404'
    '/robots.txt|-|200 404'
    '/scripts/..%c1%1c../winnt/system32/cmd.exe|/c+dir|404'
    '/_vti_bin/owssvr.dll|-|404'
)
USER_AGENTS=(
    'Mozilla/4.0+(compatible;+MSIE+6.0;+Windows+NT+5.1;+SV1)'
    'Mozilla/4.0+(compatible;+MSIE+6.0;+Windows+NT+5.0)'
    'Mozilla/4.0+(compatible;+MSIE+5.5;+Windows+98)'
    'Mozilla/5.0+(Windows;+U;+Windows+NT+5.1;+en-US;+rv:1.7.5)+Gecko/20041107+Firefox/1.0'
    'Opera/7.54+(Windows+NT+5.1;+U)+[en]'
    'Googlebot/2.1+(+http://www.google.com/bot.html)'
    'msnbot/1.0+(+http://search.msn.com/msnbot.htm)'
)

# Sets the variable named first to a random element of the array named second.
pick() {
    local -n chosen=$1 choices=$2
    chosen=${choices[RANDOM % ${#choices[@]}]}
}

utc_now() {
    TZ=UTC0 printf -v "$1" '%(%Y-%m-%d %H:%M:%S)T' -1
}

# IIS writes the header when it opens a new day's file.
open_todays_log() {
    local day stamp
    printf -v day '%(%y%m%d)T' -1
    log_file=$folder/ex$day.log
    if [[ ! -s $log_file ]]; then
        utc_now stamp
        iis_log_header "$stamp" >>"$log_file"
    fi
}

append_request() {
    local client username resource path query status_list status method port agent stamp
    local -a statuses
    open_todays_log
    pick client CLIENTS
    pick username USERNAMES
    pick resource RESOURCES
    pick agent USER_AGENTS
    IFS='|' read -r path query status_list <<<"$resource"
    read -r -a statuses <<<"$status_list"
    pick status statuses
    method=GET
    if [[ $path == /login.asp && $status == 302 ]]; then
        method=POST
    elif ((RANDOM % 20 == 0)); then
        method=HEAD
    fi
    port=80
    if [[ $path == /login.asp || $path == /admin/* ]]; then
        port=443
    fi
    utc_now stamp
    iis_request_line "$stamp" "$client" "$username" "$port" "$method" "$path" "$query" "$status" "$agent" \
        >>"$log_file"
}

for ((i = 0; i < backlog; ++i)); do
    append_request
done
for ((i = 0; count < 0 || i < count; ++i)); do
    pause_ms=$((400 + RANDOM % 1200))
    printf -v pause '%d.%03d' $((pause_ms / 1000)) $((pause_ms % 1000))
    sleep "$pause"
    append_request
done
