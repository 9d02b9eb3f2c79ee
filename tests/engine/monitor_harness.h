// A monitor wired to the test stand-ins, and the pieces the reader tests share.
#pragma once

#include "engine/log_reader.h"
#include "engine/monitor.h"
#include "engine/monitor_rows.h"
#include "engine/std_file_system.h"
#include "tests/engine/fakes.h"
#include "tests/support/iis_log.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tarnwatch::testing {

class ScriptedHost final : public MonitorHost {
public:
    int OptionsShown = 0;
    int Ended = 0;
    std::function<void()> OnOptions = [] {};
    void ShowOptionsDialog() override {
        ++OptionsShown;
        OnOptions();
    }
    void EndProgram() override { ++Ended; }
    void LogDayChanged() override {}
};

// Real rows that also log each append to the event log (to order it against tray and beeps), note every
// removal and can fail the next append, as a list control out of memory would.
class WatchingList final : public MonitorList {
public:
    explicit WatchingList(EventLog& events) : events_(events) {}
    MonitorRows Rows;
    std::vector<int> Removed;
    bool FailNextAppend = false;
    int RowCount() const override { return Rows.RowCount(); }
    void AppendRow(std::wstring_view localTime, std::string_view remoteIp, std::string_view status,
                   std::string_view url) override {
        if (std::exchange(FailNextAppend, false)) {
            throw std::runtime_error("no row");
        }
        events_.Events.push_back(L"row " + std::wstring(remoteIp.begin(), remoteIp.end()));
        Rows.AppendRow(localTime, remoteIp, status, url);
    }
    void RemoveRow(int index) override {
        Removed.push_back(index);
        Rows.RemoveRow(index);
    }
    void CopyBorrowedFields() override { Rows.CopyBorrowedFields(); }

private:
    EventLog& events_;
};

inline void AppendBytes(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::app) << bytes;
}

// The pump and the code page can be swapped for ones that watch or convert differently.
struct MonitorHarness {
    explicit MonitorHarness(MessagePump* pump = nullptr, AnsiCodePage* codePage = nullptr)
        : Engine(State, MonitorPorts{Boxes, Timer, Host, Clock, Events, Events, pump ? *pump : Pump,
                                     codePage ? *codePage : CodePage, Files, List}) {
        State.RowLimit = 1000;
    }
    const MonitorRows& Rows() const { return List.Rows; }

    SharedState State;
    ScriptedBoxes Boxes;
    RecordingTimer Timer;
    ScriptedHost Host;
    FixedClock Clock;
    EventLog Events;
    CountingPump Pump;
    Latin1CodePage CodePage;
    StdFileSystem Files;
    WatchingList List{Events};
    Monitor Engine;
};

} // namespace tarnwatch::testing
