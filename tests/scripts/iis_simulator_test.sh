#!/usr/bin/env bash
# The demo's simulated web server must write what the monitor expects of IIS: today's file name by
# local date, the four header lines, and requests whose fields sit where the record parser counts them.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/check.sh"
simulator=$here/../../scripts/lib/iis-simulator.sh

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$simulator" "$work/logs" --backlog 300 --count 0
mapfile -t files < <(ls "$work/logs")
log=$work/logs/ex$(date +%y%m%d).log
check_equal "one file named by the local date" "ex$(date +%y%m%d).log" "${files[*]}"

mapfile -t lines <"$log"
check_equal "header and requests" 304 "${#lines[@]}"
check_equal "software line" $'#Software: Microsoft Internet Information Services 6.0\r' "${lines[0]}"
check_equal "version line" $'#Version: 1.0\r' "${lines[1]}"
date_pattern=$'^#Date: [0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\r$'
check_true "date line: $(printf %q "${lines[2]}")" '[[ ${lines[2]} =~ $date_pattern ]]'
check_equal "field list" \
    $'#Fields: date time c-ip cs-username s-ip s-port cs-method cs-uri-stem cs-uri-query sc-status cs(User-Agent)\r' \
    "${lines[3]}"

bad_lines=0
clients=" "
statuses=" "
for line in "${lines[@]:4}"; do
    if [[ $line != *$'\r' ]]; then
        printf 'no CR LF: %q\n' "$line" >&2
        bad_lines=$((bad_lines + 1))
        continue
    fi
    line=${line%$'\r'}
    # The parser skips the ten-character date and its space, then counts single spaces.
    IFS=' ' read -r -a fields <<<"$line"
    if [[ ${#fields[@]} != 11 || $line == *'  '* || $line == *$'\t'* || $line == ' '* || $line == *' ' ||
        ! ${fields[0]} =~ ^[0-9]{4}-[0-9]{2}-[0-9]{2}$ || ! ${fields[1]} =~ ^[0-9]{2}:[0-9]{2}:[0-9]{2}$ ||
        ! ${fields[2]} =~ ^[0-9]{1,3}(\.[0-9]{1,3}){3}$ || ! ${fields[5]} =~ ^[0-9]+$ ||
        ! ${fields[7]} =~ ^/ || ! ${fields[9]} =~ ^[1-5][0-9]{2}$ ]]; then
        printf 'malformed request: %q\n' "$line" >&2
        bad_lines=$((bad_lines + 1))
        continue
    fi
    [[ $clients == *" ${fields[2]} "* ]] || clients+="${fields[2]} "
    [[ $statuses == *" ${fields[9]} "* ]] || statuses+="${fields[9]} "
done
check_equal "malformed request lines" 0 "$bad_lines"
check_true "the loopback address appears: $clients" '[[ $clients == *" 127.0.0.1 "* ]]'
for status in 200 304 404 500; do
    check_true "status $status appears: $statuses" '[[ $statuses == *" $status "* ]]'
done

# Started again on the same day it appends to the file and writes no second header.
"$simulator" "$work/logs" --backlog 2 --count 1
mapfile -t lines <"$log"
check_equal "appended lines" 307 "${#lines[@]}"
check_equal "headers in the file" 4 "$(grep -c '^#' "$log")"

check_true "rejects an unknown option" '! "$simulator" "$work/logs" --speed 3 2>/dev/null'

finish_checks
