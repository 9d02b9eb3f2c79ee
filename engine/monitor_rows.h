// The rows of the monitor list, kept by the engine and shown by a virtual list view.
#pragma once

#include "monitor_list.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwatch {

struct MonitorRow {
    std::wstring LocalTime;
    std::wstring RemoteIp;
    std::wstring Status;
    std::wstring Url;
};

// A ring of rows whose slots are reused, so that a long pass allocates nothing per row.
class MonitorRows final : public MonitorList {
public:
    int RowCount() const override;
    void AppendRow(std::wstring_view localTime, std::wstring_view remoteIp, std::wstring_view status,
                   std::wstring_view url) override;
    void RemoveRow(int index) override;

    // 1-based, oldest first.
    const MonitorRow& Row(int index) const;

    // Changes with every append and removal; the view repaints only when it moved.
    std::uint64_t Revision() const { return revision_; }

private:
    // The slot that holds the row at the 0-based position counted from the oldest.
    std::size_t SlotOf(std::size_t position) const;

    std::vector<MonitorRow> slots_;
    std::size_t head_ = 0;
    std::size_t count_ = 0;
    std::uint64_t revision_ = 0;
};

} // namespace tarnwatch
