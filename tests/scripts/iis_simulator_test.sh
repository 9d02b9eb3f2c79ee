#!/usr/bin/env bash
# The demo's simulated web server must write what the monitor reads: today's file named by the local
# date, one header with the shared field list, and requests whose fields sit where that list says.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/check.sh"
source "$here/../../scripts/lib/iis-log.sh"
simulator=$here/../../scripts/lib/iis-simulator.sh

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$simulator" "$work/logs" --backlog 300 --count 0
log_name=ex$(date +%y%m%d).log
check_equal "one file named by the local date" "$log_name" "$(ls "$work/logs")"
log=$work/logs/$log_name

mapfile -t lines <"$log"
check_equal "header and requests" 304 "${#lines[@]}"
date_pattern=$'^#Date: [0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\r$'
check_true "date line: $(printf %q "${lines[2]}")" '[[ ${lines[2]} =~ $date_pattern ]]'
check_equal "field list" "#Fields: $IIS_LOG_FIELDS"$'\r' "${lines[3]}"

# The record parser counts single spaces, so every field must keep to its shape.
declare -A shapes=(
    [date]='^[0-9]{4}-[0-9]{2}-[0-9]{2}$'
    [time]='^[0-9]{2}:[0-9]{2}:[0-9]{2}$'
    [c-ip]='^[0-9]{1,3}(\.[0-9]{1,3}){3}$'
    [s-port]='^[0-9]+$'
    [cs-uri-stem]='^/'
    [sc-status]='^[1-5][0-9]{2}$'
)
read -r -a names <<<"$IIS_LOG_FIELDS"
bad_lines=0
for line in "${lines[@]:4}"; do
    problem=
    if [[ $line != *$'\r' ]]; then
        problem="no CR LF"
    else
        line=${line%$'\r'}
        IFS=' ' read -r -a fields <<<"$line"
        if [[ $line == ' '* || $line == *' ' || $line == *'  '* || $line == *$'\t'* ]]; then
            problem="fields not separated by single spaces"
        elif ((${#fields[@]} != ${#names[@]})); then
            problem="${#fields[@]} fields"
        fi
        for i in "${!names[@]}"; do
            [[ -z $problem ]] || break
            if [[ ! ${fields[i]} =~ ${shapes[${names[i]}]:-.} ]]; then
                problem="${names[i]} is '${fields[i]}'"
            fi
        done
    fi
    if [[ -n $problem ]]; then
        printf 'malformed request (%s): %q\n' "$problem" "$line" >&2
        bad_lines=$((bad_lines + 1))
    fi
done
check_equal "malformed request lines" 0 "$bad_lines"

# Started again on the same day it appends to the file and writes no second header.
"$simulator" "$work/logs" --backlog 2 --count 1
mapfile -t lines <"$log"
check_equal "appended lines" 307 "${#lines[@]}"
check_equal "headers in the file" 4 "$(grep -c '^#' "$log")"

check_true "rejects an unknown option" '! "$simulator" "$work/logs" --speed 3 2>/dev/null'

finish_checks
