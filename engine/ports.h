// The engine's view of the outside world: the Windows program implements these,
// tests implement them in a few lines.
#pragma once

#include <compare>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwatch {

enum class BoxButtons { Ok, RetryCancel, YesNo };
enum class BoxIcon { Critical, Exclamation, Question };
enum class BoxAnswer { Ok, Retry, Cancel, Yes, No };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual BoxAnswer Show(const std::wstring& text, const std::wstring& title, BoxButtons buttons,
                           BoxIcon icon) = 0;
};

// The polling timer tmrUpdate.
class PollTimer {
public:
    virtual ~PollTimer() = default;
    virtual void SetIntervalMs(std::int64_t intervalMs) = 0;
    virtual void SetEnabled(bool enabled) = 0;
};

// What the monitor needs of the windows around it.
class MonitorHost {
public:
    virtual ~MonitorHost() = default;
    // Shows the Options dialog modally; returns when it has closed.
    virtual void ShowOptionsDialog() = 0;
    // The program gives up at start-up: nothing is shown or saved after this.
    virtual void EndProgram() = 0;
    // The monitor has moved on to a new day's log.
    virtual void LogDayChanged() = 0;
};

struct CivilDate {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    auto operator<=>(const CivilDate&) const = default;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual CivilDate Today() = 0;
    // A number that changes once per second; cheap enough to ask for every line.
    virtual std::int64_t SecondTick() = 0;
    // The current local time of day in the system's time format.
    virtual std::wstring TimeOfDayText() = 0;
    // Milliseconds from a fixed moment, steady whatever is done to the date and time of day.
    virtual std::int64_t SteadyMs() = 0;
};

enum class TrayPicture { Yellow, Blue };

class Tray {
public:
    virtual ~Tray() = default;
    virtual void SetTrayIcon(TrayPicture picture) = 0;
};

class Beeper {
public:
    // At most this many tones wait behind the one sounding, about five seconds of them; the rest of a burst
    // is dropped.
    static constexpr int MostWaitingTones = 25;

    virtual ~Beeper() = default;
    virtual void Beep(int frequencyHz, int durationMs) = 0;
};

// Called after every line of a read pass; implementations decide how often to really pump.
class MessagePump {
public:
    virtual ~MessagePump() = default;
    virtual void ProcessPendingMessages() = 0;
};

// Conversions between the system's ANSI code page (files) and UTF-16 (everything else).
class AnsiCodePage {
public:
    virtual ~AnsiCodePage() = default;
    virtual void ToWide(std::string_view ansi, std::wstring& wide) = 0;
    virtual std::string ToAnsi(std::wstring_view wide) = 0;
};

// What tells one file from another of the same name: a log renamed away and replaced by a new one of the
// same size is still another file. Times are no part of it: not every file system keeps a creation time
// that writes leave alone.
struct FileIdentity {
    std::uint64_t Volume = 0;
    std::uint64_t Index = 0;
    bool operator==(const FileIdentity&) const = default;
};

// A file opened for reading while another process keeps writing it. Empty results mean an I/O error: the
// caller leaves the file for its next try rather than taking it for empty.
class SharedReadFile {
public:
    virtual ~SharedReadFile() = default;
    virtual std::optional<std::int64_t> Length() = 0;
    // Reads up to size bytes from the 0-based position; how many were read, fewer only at the end of the
    // data.
    virtual std::optional<std::size_t> ReadAt(std::int64_t position, char* buffer, std::size_t size) = 0;
    // Empty where the system cannot tell.
    virtual std::optional<FileIdentity> Identity() { return std::nullopt; }
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // True only for an ordinary file: folders (and on Windows hidden or system files) do not count.
    virtual bool IsPlainFile(const std::wstring& path) = 0;
    // Null when the file cannot be opened.
    virtual std::unique_ptr<SharedReadFile> OpenShared(const std::wstring& path) = 0;
};

} // namespace tarnwatch
