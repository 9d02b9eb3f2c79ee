#include "monitor.h"
#include "record_fields.h"
#include "text.h"

#include <algorithm>

namespace tarnwatch {

namespace {

constexpr int BeepFrequencyHz = 400;
constexpr int BeepDurationMs = 200;

// Log fields are nearly always ASCII; only the rest goes through the code page.
void Widen(std::string_view bytes, AnsiCodePage& codePage, std::wstring& wide) {
    wide.resize(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte >= 0x80) {
            codePage.ToWide(bytes, wide);
            return;
        }
        wide[i] = static_cast<wchar_t>(byte);
    }
}

bool IsFiltered(const std::vector<std::wstring>& filterIps, std::wstring_view remoteIp) {
    return std::any_of(filterIps.begin(), filterIps.end(),
                       [remoteIp](const std::wstring& entry) { return TrimSpaces(entry) == remoteIp; });
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

void Monitor::ReadNewLines() {
    // The pump runs inside a pass, so a tick can arrive during one; the next tick reads what it would have.
    if (passRunning_) {
        return;
    }
    const PassFlag flag(passRunning_);
    if (state_.InTray) {
        ports_.Tray.SetTrayIcon(TrayPicture::Yellow);
    }
    reader_.ReadPass(state_, *this);
}

void Monitor::ParseRecord(std::string_view line) {
    if (const auto fields = SplitRecordFields(line)) {
        Widen(fields->RemoteIp, ports_.CodePage, remoteIp_);
        if (!IsFiltered(state_.FilterIps, remoteIp_)) {
            // The row shows when the line was read, so the time is taken before the beep holds us up.
            const std::wstring& localTime = TimeOfDay();
            if (state_.InTray) {
                ports_.Tray.SetTrayIcon(TrayPicture::Blue);
            }
            if (state_.SoundNotify) {
                ports_.Beeper.Beep(BeepFrequencyHz, BeepDurationMs);
            }
            Widen(fields->Status, ports_.CodePage, status_);
            Widen(fields->Url, ports_.CodePage, url_);
            ports_.List.AppendRow(localTime, remoteIp_, status_, url_);
        }
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

const std::wstring& Monitor::TimeOfDay() {
    const std::int64_t second = ports_.Clock.SecondTick();
    if (second != timeOfDaySecond_) {
        timeOfDay_ = TrimSpaces(ports_.Clock.TimeOfDayText());
        timeOfDaySecond_ = second;
    }
    return timeOfDay_;
}

} // namespace tarnwatch
