#include "monitor_rows.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace tarnwatch {

namespace {

// Keeps the target's buffer, so a warm slot takes a new row without allocating.
void CopyInto(std::wstring& target, std::wstring_view text) {
    target.resize(text.size());
    std::copy(text.begin(), text.end(), target.begin());
}

void AssignRow(MonitorRow& row, std::wstring_view localTime, std::wstring_view remoteIp,
               std::wstring_view status, std::wstring_view url) {
    CopyInto(row.LocalTime, localTime);
    CopyInto(row.RemoteIp, remoteIp);
    CopyInto(row.Status, status);
    CopyInto(row.Url, url);
}

} // namespace

std::size_t MonitorRows::SlotOf(std::size_t position) const {
    // position never exceeds the slot count, so one subtraction wraps it; a division per row would not be
    // cheap.
    const std::size_t slot = head_ + position;
    return slot < slots_.size() ? slot : slot - slots_.size();
}

int MonitorRows::RowCount() const {
    return static_cast<int>(count_);
}

void MonitorRows::AppendRow(std::wstring_view localTime, std::wstring_view remoteIp, std::wstring_view status,
                            std::wstring_view url) {
    if (count_ == slots_.size()) {
        // Unroll the ring so the new slot can go at the end; rotating swaps the strings, keeping their
        // buffers.
        std::rotate(slots_.begin(), slots_.begin() + static_cast<std::ptrdiff_t>(head_), slots_.end());
        head_ = 0;
        slots_.emplace_back();
    }
    AssignRow(slots_[SlotOf(count_)], localTime, remoteIp, status, url);
    ++count_;
    ++revision_;
}

void MonitorRows::RemoveRow(int index) {
    // Like the list control, an index that names no row removes nothing.
    if (index < 1 || static_cast<std::size_t>(index) > count_) {
        return;
    }
    const std::size_t removed = static_cast<std::size_t>(index) - 1;
    const auto slot = [this](std::size_t position) -> MonitorRow& { return slots_[SlotOf(position)]; };
    // Close the gap from the shorter side; the removed slot ends up outside the rows, ready for reuse.
    if (removed < count_ / 2) {
        for (std::size_t position = removed; position > 0; --position) {
            std::swap(slot(position), slot(position - 1));
        }
        head_ = SlotOf(1);
    } else {
        for (std::size_t position = removed; position + 1 < count_; ++position) {
            std::swap(slot(position), slot(position + 1));
        }
    }
    --count_;
    ++revision_;
}

const MonitorRow& MonitorRows::Row(int index) const {
    if (index < 1 || static_cast<std::size_t>(index) > count_) {
        throw std::out_of_range("monitor row index");
    }
    return slots_[SlotOf(static_cast<std::size_t>(index) - 1)];
}

} // namespace tarnwatch
