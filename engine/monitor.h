// The log monitor: start-up, read passes, record parsing and the bounded monitor list.
#pragma once

#include "engine/log_reader.h"
#include "engine/monitor_list.h"
#include "engine/ports.h"
#include "engine/shared_state.h"

#include <filesystem>
#include <string>
#include <string_view>

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

class Monitor : public LineSink {
public:
    Monitor(SharedState& state, const MonitorPorts& ports);

    // Loads the settings, finds and checks today's log and reads up to its end.
    // Returns false when start-up gave up; EndProgram has then been called.
    bool StartMonitor(const std::filesystem::path& settingsFile);

    // One read pass over the lines appended since the last one; a tick during a pass is skipped. Once the
    // server has begun today's file, the rest of the old one is read and the pass moves on to the new one.
    // No exception leaves it: a pass that fails ends, and the next tick goes on from where it got.
    void ReadNewLines();

    // Turns one log line into at most one row, then trims the list.
    void ParseRecord(std::string_view line);

    // Keeps the newest RowLimit rows.
    void TrimMonitorList();

    // Lines from the reader are parsed in place; their rows borrow from its buffer until ReleaseLines.
    void OnLine(std::string_view line) override { ParseBorrowedRecord(line); }
    void ReleaseLines() override { ports_.List.CopyBorrowedFields(); }

private:
    void MoveToTodaysLog();
    void ReadPass();
    void WarnOfFieldList();
    void ParseBorrowedRecord(std::string_view line);
    bool IsFiltered(std::string_view remoteIp);
    const std::wstring& TimeOfDay();

    SharedState& state_;
    MonitorPorts ports_;
    LogReader reader_;
    bool passRunning_ = false;
    // Whether the header block being read names the fields the parser relies on; its requests show only then.
    bool fieldListRight_ = true;
    // A block with other fields was met; the user hears of it once the pass is over.
    bool fieldListWarningDue_ = false;

    // A non-ASCII address, converted for the filter test; reused so that a pass allocates nothing per line.
    std::wstring remoteIp_;
    std::wstring timeOfDay_;
    std::int64_t timeOfDaySecond_ = -1;
};

} // namespace tarnwatch
