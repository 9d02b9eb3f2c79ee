// The rows of the monitor list, kept by the engine and shown by a virtual list view.
#pragma once

#include "engine/monitor_list.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwatch {

// The log fields keep the log's ANSI bytes: a backlog pass stores far more rows than are ever shown, so
// only the shown ones pay for the conversion.
struct MonitorRow {
    std::wstring LocalTime;
    std::string RemoteIp;
    std::string Status;
    std::string Url;
};

// A ring of rows whose slots are reused, so that a long pass allocates nothing per row.
class MonitorRows final : public MonitorList {
public:
    int RowCount() const override;
    void AppendRow(std::wstring_view localTime, std::string_view remoteIp, std::string_view status,
                   std::string_view url) override;
    void RemoveRow(int index) override;
    void CopyBorrowedFields() override;

    // 1-based, oldest first.
    const MonitorRow& Row(int index) const;

    // A number of its own for each row appended, larger for each later row: it names the request a row
    // shows while the rows before it are trimmed away.
    std::uint64_t Serial(int index) const;
    // The 1-based index of the row with that number, or 0 when it is gone.
    int IndexOf(std::uint64_t serial) const;

    // Changes with every append and removal; the view repaints only when it moved.
    std::uint64_t Revision() const { return revision_; }

private:
    struct Slot {
        MonitorRow Row;
        std::uint64_t Serial = 0;
        // While Borrowed, the log fields are these views and Row's own strings are stale.
        bool Borrowed = false;
        std::string_view RemoteIp;
        std::string_view Status;
        std::string_view Url;
    };

    // The slot that holds the row at the 0-based position counted from the oldest.
    std::size_t SlotOf(std::size_t position) const;
    static void CopyFields(Slot& slot);

    // Row() copies borrowed fields on the way out, so the slots change under a const view.
    mutable std::vector<Slot> slots_;
    std::size_t head_ = 0;
    std::size_t count_ = 0;
    // Only the newest rows can still borrow: they came after the last CopyBorrowedFields.
    std::size_t borrowing_ = 0;
    std::uint64_t revision_ = 0;
    std::uint64_t appended_ = 0;
};

} // namespace tarnwatch
