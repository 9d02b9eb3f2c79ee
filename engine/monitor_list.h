// The monitor list as the engine sees it: rows in arrival order, 1-based like the list control.
#pragma once

#include <string_view>

namespace tarnwatch {

class MonitorList {
public:
    virtual ~MonitorList() = default;
    virtual int RowCount() const = 0;
    virtual void AppendRow(std::wstring_view localTime, std::wstring_view remoteIp, std::wstring_view status,
                           std::wstring_view url) = 0;
    virtual void RemoveRow(int index) = 0;
};

} // namespace tarnwatch
