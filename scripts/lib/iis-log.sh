# Writes an access log as IIS does: W3C extended format with the field list the monitor accepts,
# lines ended with CR LF. Sourced, not run.

IIS_LOG_FIELDS='date time c-ip cs-username s-ip s-port cs-method cs-uri-stem cs-uri-query sc-status cs(User-Agent)'

# One request in the order of IIS_LOG_FIELDS, the server's own address filled in. A printf format, so
# that awk can write many lines fast in the same shape.
IIS_REQUEST_FORMAT='%s %s %s 192.168.0.1 %s %s %s %s %s %s\r\n'

# iis_log_header STAMP: the lines IIS writes when it opens a new file; STAMP is "YYYY-MM-DD HH:MM:SS".
iis_log_header() {
    printf '%s\r\n' '#Software: Microsoft Internet Information Services 6.0' '#Version: 1.0' "#Date: $1" \
        "#Fields: $IIS_LOG_FIELDS"
}

# iis_request_line STAMP CLIENT USERNAME PORT METHOD PATH QUERY STATUS USER_AGENT
# One printf, so that the line reaches the file in one write and a reader never sees half of it. A
# missing or extra field would shift every later one, so the count is checked.
iis_request_line() {
    if (($# != 9)); then
        printf 'error: iis_request_line takes 9 fields, got %d\n' "$#" >&2
        return 2
    fi
    # shellcheck disable=SC2059 # the format is the shared one above
    printf "$IIS_REQUEST_FORMAT" "$@"
}
