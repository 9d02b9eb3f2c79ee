#include "engine/messages.h"
#include "engine/monitor.h"
#include "engine/record_fields.h"
#include "engine/startup.h"
#include "engine/text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

namespace tarnwatch {

namespace {

constexpr int BeepFrequencyHz = 400;
constexpr int BeepDurationMs = 200;

template <typename Word> Word LoadBytes(const char* bytes) {
    Word word = 0;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// Addresses are short: two overlapping loads cover most of them without a loop over their bytes.
bool IsAscii(std::string_view bytes) {
    const char* const data = bytes.data();
    const std::size_t size = bytes.size();
    std::uint64_t seen = 0;
    if (size >= sizeof(std::uint64_t)) {
        for (std::size_t at = 0; at + sizeof(std::uint64_t) < size; at += sizeof(std::uint64_t)) {
            seen |= LoadBytes<std::uint64_t>(data + at);
        }
        seen |= LoadBytes<std::uint64_t>(data + size - sizeof(std::uint64_t));
    } else if (size >= sizeof(std::uint32_t)) {
        seen = LoadBytes<std::uint32_t>(data) | LoadBytes<std::uint32_t>(data + size - sizeof(std::uint32_t));
    } else {
        for (const char byte : bytes) {
            seen |= static_cast<unsigned char>(byte);
        }
    }
    return (seen & 0x8080808080808080ull) == 0;
}

// Entries stored by the filter dialog carry no spaces at their ends; only the others are trimmed.
std::wstring_view Trimmed(const std::wstring& entry) {
    if (entry.empty() || (entry.front() != L' ' && entry.back() != L' ')) {
        return entry;
    }
    return TrimSpaces(entry);
}

// Clears the flag however the pass ends, so that an exception does not stop every later tick.
class PassFlag {
public:
    explicit PassFlag(bool& running) : running_(running) { running_ = true; }
    ~PassFlag() { running_ = false; }
    PassFlag(const PassFlag&) = delete;
    PassFlag& operator=(const PassFlag&) = delete;

private:
    bool& running_;
};

} // namespace

// One log being read, with the verdict of the header block its next lines are in: its requests show only
// when that block names the fields the parser relies on.
class Monitor::LogSource final : public LineSink {
public:
    LogSource(Monitor& monitor, const std::wstring& path, std::int64_t readOffset, bool fieldListRight)
        : monitor_(monitor), reader_(monitor.ports_.Files, monitor.ports_.Pump, monitor.readSizes_),
          fieldListRight_(fieldListRight) {
        reader_.StartAt(path, readOffset);
    }

    void ReadPass() { reader_.ReadPass(*this); }
    const LogReader& Reader() const { return reader_; }
    bool& FieldListRight() { return fieldListRight_; }

    // Lines are parsed in place; their rows borrow from the reader's buffer until ReleaseLines.
    void OnLine(std::string_view line) override { monitor_.ParseBorrowedRecord(line, fieldListRight_); }
    void ReleaseLines() override { monitor_.ports_.List.CopyBorrowedFields(); }

    // The list keeps RowLimit rows; one shown row turns the tray blue, and the sound wants as many as can
    // sound of a burst: the one sounding and those that wait.
    std::size_t RowsEnough() override {
        const SharedState& state = monitor_.state_;
        return static_cast<std::size_t>(
            std::max({state.RowLimit, 1, state.SoundNotify ? Beeper::MostWaitingTones + 1 : 0}));
    }
    bool MakesRow(std::string_view line, std::string_view fieldsLine) override {
        const bool fieldListRight = fieldsLine.empty() ? fieldListRight_ : IsRequiredFieldList(fieldsLine);
        const auto fields = fieldListRight ? SplitRecordFields(line) : std::nullopt;
        return fields && !monitor_.IsFiltered(fields->RemoteIp);
    }

private:
    Monitor& monitor_;
    LogReader reader_;
    bool fieldListRight_;
};

Monitor::Monitor(SharedState& state, const MonitorPorts& ports, const ReadSizes& readSizes)
    : state_(state), ports_(ports), readSizes_(readSizes),
      current_(std::make_unique<LogSource>(*this, std::wstring(), 1, true)) {}

Monitor::~Monitor() = default;

void Monitor::WatchLog(const std::wstring& path, CivilDate day, std::int64_t readOffset,
                       bool fieldListRight) {
    current_ = std::make_unique<LogSource>(*this, path, readOffset, fieldListRight);
    previous_.reset();
    logDay_ = day;
}

const LogReader& Monitor::CurrentLog() const {
    return current_->Reader();
}

void Monitor::ReadNewLines() {
    // The pump runs inside a pass, so a tick can arrive during one; the next tick reads what it would have.
    if (passRunning_) {
        return;
    }
    {
        const PassFlag flag(passRunning_);
        try {
            ReadPasses();
        } catch (...) {
            // Whatever failed (memory, above all) may pass by the next tick; the reader goes on after the
            // last line handed on, so nothing is lost or shown twice.
        }
    }
    WarnOfFieldList();
}

void Monitor::ReadPasses() {
    RefreshFilters();
    if (state_.InTray) {
        ports_.Tray.SetTrayIcon(TrayPicture::Yellow);
    }
    if (previous_) {
        ReadLateLines();
    }
    MoveToNextDay();
    current_->ReadPass();
}

void Monitor::ReadLateLines() {
    const bool lastTime = ports_.Clock.SteadyMs() >= lateLinesEndMs_;
    previous_->ReadPass();
    if (lastTime) {
        previous_.reset();
    }
}

// Until the server has begun a later day's file the old one is read on; then its last lines are read, and
// the new one from its first byte, its own header deciding what it shows. The folder is that of the log
// being read: a folder changed in Options counts from the next start, once saved.
void Monitor::MoveToNextDay() {
    const CivilDate today = ports_.Clock.Today();
    if (today <= logDay_) {
        return;
    }
    const std::wstring next = LogPathFor(FolderOf(current_->Reader().Path()), today);
    if (!ports_.Files.IsPlainFile(next)) {
        return;
    }
    current_->ReadPass();
    previous_ = std::exchange(current_, std::make_unique<LogSource>(*this, next, 1, true));
    lateLinesEndMs_ = ports_.Clock.SteadyMs() + LateLinesMs;
    logDay_ = today;
    state_.LogFilePath = next;
    ports_.Host.LogDayChanged();
}

void Monitor::WarnOfFieldList() {
    if (std::exchange(fieldListWarningDue_, false)) {
        ports_.Boxes.Show(messages::WrongFieldList(), messages::FieldListChangedTitle, BoxButtons::Ok,
                          BoxIcon::Exclamation);
    }
}

void Monitor::ParseRecord(std::string_view line) {
    RefreshFilters();
    ParseBorrowedRecord(line, current_->FieldListRight());
    ports_.List.CopyBorrowedFields();
}

void Monitor::ParseBorrowedRecord(std::string_view line, bool& fieldListRight) {
    if (line.starts_with(FieldsDirective)) {
        fieldListRight = IsRequiredFieldList(line);
        fieldListWarningDue_ = fieldListWarningDue_ || !fieldListRight;
    }
    // In a block with other fields, the address and status would come from the wrong fields and the filter
    // could be bypassed: such a block shows nothing.
    const auto fields = fieldListRight ? SplitRecordFields(line) : std::nullopt;
    if (fields && !IsFiltered(fields->RemoteIp)) {
        // The row shows when the line was read.
        const std::wstring& localTime = TimeOfDay();
        if (state_.InTray) {
            ports_.Tray.SetTrayIcon(TrayPicture::Blue);
        }
        if (state_.SoundNotify) {
            ports_.Beeper.Beep(BeepFrequencyHz, BeepDurationMs);
        }
        ports_.List.AppendRow(localTime, fields->RemoteIp, fields->Status, fields->Url);
    }
    TrimMonitorList();
}

void Monitor::TrimMonitorList() {
    // A negative limit can only come from a hand-edited settings file; it keeps no rows, like 0.
    const int keep = std::max(state_.RowLimit, 0);
    for (int index = ports_.List.RowCount() - keep; index >= 1; --index) {
        ports_.List.RemoveRow(index);
    }
}

// A filter list may hold a great many entries: they are looked up, not gone through, for every request. The
// list is compared with the one the lookup was made from once a pass, and once a line outside a pass.
void Monitor::RefreshFilters() {
    if (filtersSeen_ == state_.FilterIps) {
        return;
    }
    filtersSeen_ = state_.FilterIps;
    filters_.clear();
    for (const std::wstring& entry : filtersSeen_) {
        filters_.emplace(Trimmed(entry));
    }
}

// The address lies between two spaces, so it holds none and needs no trimming. An ASCII address needs no
// code page.
bool Monitor::IsFiltered(std::string_view remoteIp) {
    if (filters_.empty()) {
        return false;
    }
    if (IsAscii(remoteIp)) {
        remoteIp_.assign(remoteIp.begin(), remoteIp.end());
    } else {
        ports_.CodePage.ToWide(remoteIp, remoteIp_);
    }
    return filters_.count(remoteIp_) != 0;
}

const std::wstring& Monitor::TimeOfDay() {
    const std::int64_t second = ports_.Clock.SecondTick();
    if (second != timeOfDaySecond_) {
        timeOfDay_ = TrimSpaces(ports_.Clock.TimeOfDayText());
        timeOfDaySecond_ = second;
    }
    return timeOfDay_;
}

} // namespace tarnwatch
