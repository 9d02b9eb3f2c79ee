// A web server's log as the tests write it: IIS's W3C extended format with the eleven fields the
// program reads, written out here once for every test.
#pragma once

#include <string>

namespace tarnwatch::testing {

inline const std::string FieldsLine = "#Fields: date time c-ip cs-username s-ip s-port cs-method cs-uri-stem "
                                      "cs-uri-query sc-status cs(User-Agent)";

// The three lines IIS writes before the field list, then the given field list; CR LF ended.
inline std::string LogHeader(const std::string& fieldsLine = FieldsLine) {
    return "#Software: Microsoft Internet Information Services 6.0\r\n#Version: 1.0\r\n"
           "#Date: 2003-09-05 00:00:00\r\n" +
           fieldsLine + "\r\n";
}

// One request in the field order above, without its line end.
inline std::string RequestLine(const std::string& address, const std::string& url = "/default.htm",
                               const std::string& status = "200") {
    return "2003-09-05 10:15:32 " + address + " - 192.168.0.1 80 GET " + url + " - " + status +
           " Mozilla/4.0+(compatible;+MSIE+6.0)";
}

// The same request as the server appends it.
inline std::string Request(const std::string& address, const std::string& url = "/default.htm",
                           const std::string& status = "200") {
    return RequestLine(address, url, status) + "\r\n";
}

} // namespace tarnwatch::testing
