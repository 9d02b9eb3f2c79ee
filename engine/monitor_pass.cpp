#include "monitor.h"
#include "record_fields.h"
#include "text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace tarnwatch {

namespace {

constexpr int BeepFrequencyHz = 400;
constexpr int BeepDurationMs = 200;

constexpr std::size_t WordBytes = 8;

bool IsAsciiWord(const char* bytes) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes, sizeof word);
    return (word & 0x8080808080808080ull) == 0;
}

void WidenWord(const char* bytes, wchar_t* wide) {
    // A local copy cannot overlap the output, which lets the compiler widen all eight bytes at once.
    std::array<unsigned char, WordBytes> word{};
    std::memcpy(word.data(), bytes, WordBytes);
    for (std::size_t i = 0; i < WordBytes; ++i) {
        wide[i] = static_cast<wchar_t>(word[i]);
    }
}

// Widens ASCII bytes eight at a time into out, which has room for at least eight characters more than bytes;
// false as soon as a byte is not ASCII.
bool WidenAscii(std::string_view bytes, wchar_t* out) {
    const std::size_t size = bytes.size();
    if (size < WordBytes) {
        std::array<char, WordBytes> padded{};
        std::copy(bytes.begin(), bytes.end(), padded.begin());
        if (!IsAsciiWord(padded.data())) {
            return false;
        }
        WidenWord(padded.data(), out);
        return true;
    }
    // The last word overlaps the one before it rather than leaving a tail byte by byte.
    for (std::size_t at = 0;; at = std::min(at + WordBytes, size - WordBytes)) {
        if (!IsAsciiWord(bytes.data() + at)) {
            return false;
        }
        WidenWord(bytes.data() + at, out + at);
        if (at == size - WordBytes) {
            return true;
        }
    }
}

// Log fields are nearly always ASCII; only the rest goes through the code page. The scratch string only
// grows, so that a long pass neither allocates nor clears it per row; the returned text is its start.
std::wstring_view Widen(std::string_view bytes, AnsiCodePage& codePage, std::wstring& scratch) {
    if (scratch.size() < bytes.size() + WordBytes) {
        scratch.resize(bytes.size() + WordBytes);
    }
    if (WidenAscii(bytes, scratch.data())) {
        return std::wstring_view(scratch.data(), bytes.size());
    }
    codePage.ToWide(bytes, scratch);
    return scratch;
}

// The address lies between two spaces and holds none, so an entry of its length matches only as it is, and a
// shorter one never: most entries are settled without trimming them.
bool IsFiltered(const std::vector<std::wstring>& filterIps, std::wstring_view remoteIp) {
    return std::any_of(filterIps.begin(), filterIps.end(), [remoteIp](const std::wstring& entry) {
        if (entry.size() <= remoteIp.size()) {
            return entry == remoteIp;
        }
        return TrimSpaces(entry) == remoteIp;
    });
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
        const std::wstring_view remoteIp = Widen(fields->RemoteIp, ports_.CodePage, remoteIp_);
        if (!IsFiltered(state_.FilterIps, remoteIp)) {
            // The row shows when the line was read, so the time is taken before the beep holds us up.
            const std::wstring& localTime = TimeOfDay();
            if (state_.InTray) {
                ports_.Tray.SetTrayIcon(TrayPicture::Blue);
            }
            if (state_.SoundNotify) {
                ports_.Beeper.Beep(BeepFrequencyHz, BeepDurationMs);
            }
            ports_.List.AppendRow(localTime, remoteIp, Widen(fields->Status, ports_.CodePage, status_),
                                  Widen(fields->Url, ports_.CodePage, url_));
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
