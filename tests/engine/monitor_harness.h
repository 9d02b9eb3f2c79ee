// A monitor wired to the test stand-ins, and the pieces the reader tests share.
#pragma once

#include "fakes.h"
#include "log_reader.h"
#include "monitor.h"
#include "monitor_rows.h"
#include "std_file_system.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tarnwatch::testing {

class IdleHost final : public StartupHost {
public:
    void ShowOptionsDialog() override {}
    void EndProgram() override {}
};

// Keeps every line a pass hands on, blank ones included.
class RecordingSink final : public LineSink {
public:
    std::vector<std::string> Lines;
    void OnLine(std::string_view line) override { Lines.emplace_back(line); }
    void ReleaseLines() override {}
};

inline void AppendBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::app) << bytes;
}

// The list and the pump can be swapped for ones that watch what the monitor does.
struct MonitorHarness {
    explicit MonitorHarness(MonitorList* list = nullptr, MessagePump* pump = nullptr)
        : Engine(State,
                 MonitorPorts{Boxes, Timer, Host, Clock, Events, Events, pump != nullptr ? *pump : Pump,
                              CodePage, Files, list != nullptr ? *list : Rows}) {
        State.RowLimit = 1000;
    }

    SharedState State;
    ScriptedBoxes Boxes;
    RecordingTimer Timer;
    IdleHost Host;
    FixedClock Clock;
    EventLog Events;
    CountingPump Pump;
    Latin1CodePage CodePage;
    StdFileSystem Files;
    MonitorRows Rows;
    Monitor Engine;
};

} // namespace tarnwatch::testing
