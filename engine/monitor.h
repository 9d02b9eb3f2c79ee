// The log monitor: start-up, read passes, record parsing and the bounded monitor list.
#pragma once

#include "engine/log_reader.h"
#include "engine/monitor_list.h"
#include "engine/ports.h"
#include "engine/shared_state.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace tarnwatch {

struct MonitorPorts {
    MessageBoxes& Boxes;
    PollTimer& Timer;
    MonitorHost& Host;
    tarnwatch::Clock& Clock;
    tarnwatch::Tray& Tray;
    tarnwatch::Beeper& Beeper;
    MessagePump& Pump;
    AnsiCodePage& CodePage;
    FileSystem& Files;
    MonitorList& List;
};

class Monitor {
public:
    // After the next day's log has appeared, lines the server still writes to the old one are read for this
    // long: it may flush requests that began before midnight.
    static constexpr std::int64_t LateLinesMs = 5 * 60 * 1000;

    Monitor(SharedState& state, const MonitorPorts& ports, const ReadSizes& readSizes = {});
    ~Monitor();

    // Loads the settings, finds and checks today's log and reads up to its end.
    // Returns false when start-up gave up; EndProgram has then been called.
    bool StartMonitor(const std::filesystem::path& settingsFile);

    // Reads the log of the given day at path from the 1-based position on, its lines in a header block whose
    // field list is right or not as given until the next "#Fields:" line.
    void WatchLog(const std::wstring& path, CivilDate day, std::int64_t readOffset, bool fieldListRight);

    // One read pass over the lines appended since the last one; a tick during a pass is skipped. Once the
    // server has begun a later day's file in the same folder, the rest of the old one is read and the pass
    // moves on to the new one, still reading what comes late to the old one for LateLinesMs.
    // No exception leaves it: a pass that fails ends, and the next tick goes on from where it got.
    void ReadNewLines();

    const LogReader& CurrentLog() const;

    // Turns one log line into at most one row, then trims the list.
    void ParseRecord(std::string_view line);

    // Keeps the newest RowLimit rows.
    void TrimMonitorList();

private:
    class LogSource;

    void ReadPasses();
    void ReadLateLines();
    void MoveToNextDay();
    void WarnOfFieldList();
    void ParseBorrowedRecord(std::string_view line, bool& fieldListRight);
    void RefreshFilters();
    bool IsFiltered(std::string_view remoteIp);
    const std::wstring& TimeOfDay();

    SharedState& state_;
    MonitorPorts ports_;
    ReadSizes readSizes_;
    std::unique_ptr<LogSource> current_;
    // Yesterday's log, for the lines that reach it late, until lateLinesEndMs_.
    std::unique_ptr<LogSource> previous_;
    std::int64_t lateLinesEndMs_ = 0;
    // The day of the log being read: only a later day's log takes its place.
    CivilDate logDay_;
    bool passRunning_ = false;
    // A block with other fields was met; the user hears of it once the pass is over.
    bool fieldListWarningDue_ = false;

    // The filter entries without the spaces around them, and the list they were made from.
    std::unordered_set<std::wstring> filters_;
    std::vector<std::wstring> filtersSeen_;
    // The address as the filter looks it up; reused so that a pass allocates nothing per line.
    std::wstring remoteIp_;
    std::wstring timeOfDay_;
    std::int64_t timeOfDaySecond_ = -1;
};

} // namespace tarnwatch
