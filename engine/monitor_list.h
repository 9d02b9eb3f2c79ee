// The monitor list as the engine sees it: rows in arrival order, 1-based like the list control.
// The three log fields come as the log's bytes in the ANSI code page; they are converted only when shown.
#pragma once

#include <string_view>

namespace tarnwatch {

class MonitorList {
public:
    virtual ~MonitorList() = default;
    virtual int RowCount() const = 0;
    // The log fields may be kept as views into the reader's buffer until CopyBorrowedFields: in a backlog
    // most rows are trimmed again long before anybody looks at them, so they are never copied.
    virtual void AppendRow(std::wstring_view localTime, std::string_view remoteIp, std::string_view status,
                           std::string_view url) = 0;
    virtual void RemoveRow(int index) = 0;
    // The reader's buffer is about to change: rows still viewing it copy their fields now.
    virtual void CopyBorrowedFields() = 0;
};

} // namespace tarnwatch
