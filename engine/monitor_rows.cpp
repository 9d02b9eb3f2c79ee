#include "engine/monitor_rows.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace tarnwatch {

void MonitorRows::CopyFields(Slot& slot) {
    if (slot.Borrowed) {
        // Assigning keeps the strings' buffers, so a warm slot copies without allocating.
        slot.Row.RemoteIp.assign(slot.RemoteIp);
        slot.Row.Status.assign(slot.Status);
        slot.Row.Url.assign(slot.Url);
        slot.Borrowed = false;
    }
}

std::size_t MonitorRows::SlotOf(std::size_t position) const {
    // position never exceeds the slot count, so one subtraction wraps it; a division per row would not be
    // cheap.
    const std::size_t slot = head_ + position;
    return slot < slots_.size() ? slot : slot - slots_.size();
}

int MonitorRows::RowCount() const {
    return static_cast<int>(count_);
}

void MonitorRows::AppendRow(std::wstring_view localTime, std::string_view remoteIp, std::string_view status,
                            std::string_view url) {
    if (count_ == slots_.size()) {
        // Unroll the ring so the new slot can go at the end; rotating swaps the strings, keeping their
        // buffers.
        std::rotate(slots_.begin(), slots_.begin() + static_cast<std::ptrdiff_t>(head_), slots_.end());
        head_ = 0;
        slots_.emplace_back();
    }
    Slot& slot = slots_[SlotOf(count_)];
    slot.Row.LocalTime.assign(localTime);
    slot.Serial = ++appended_;
    slot.Borrowed = true;
    slot.RemoteIp = remoteIp;
    slot.Status = status;
    slot.Url = url;
    ++count_;
    ++borrowing_;
    ++revision_;
}

void MonitorRows::RemoveRow(int index) {
    // Like the list control, an index that names no row removes nothing.
    if (index < 1 || static_cast<std::size_t>(index) > count_) {
        return;
    }
    const std::size_t removed = static_cast<std::size_t>(index) - 1;
    const auto slot = [this](std::size_t position) -> Slot& { return slots_[SlotOf(position)]; };
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
    if (removed >= count_ - borrowing_) {
        --borrowing_;
    }
    --count_;
    ++revision_;
}

void MonitorRows::CopyBorrowedFields() {
    for (std::size_t position = count_ - borrowing_; position < count_; ++position) {
        CopyFields(slots_[SlotOf(position)]);
    }
    borrowing_ = 0;
}

const MonitorRow& MonitorRows::Row(int index) const {
    if (index < 1 || static_cast<std::size_t>(index) > count_) {
        throw std::out_of_range("monitor row index");
    }
    Slot& slot = slots_[SlotOf(static_cast<std::size_t>(index) - 1)];
    CopyFields(slot);
    return slot.Row;
}

std::uint64_t MonitorRows::Serial(int index) const {
    if (index < 1 || static_cast<std::size_t>(index) > count_) {
        throw std::out_of_range("monitor row index");
    }
    return slots_[SlotOf(static_cast<std::size_t>(index) - 1)].Serial;
}

int MonitorRows::IndexOf(std::uint64_t serial) const {
    // Rows keep the order they were appended in, so their numbers rise from the first row to the last.
    std::size_t low = 0;
    std::size_t high = count_;
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        const std::uint64_t found = slots_[SlotOf(middle)].Serial;
        if (found == serial) {
            return static_cast<int>(middle) + 1;
        }
        if (found < serial) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return 0;
}

} // namespace tarnwatch
