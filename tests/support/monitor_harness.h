// A monitor wired to the test stand-ins over files in memory.
#pragma once

#include "engine/monitor.h"
#include "engine/monitor_rows.h"
#include "engine/settings.h"
#include "engine/startup.h"
#include "tests/support/fakes.h"
#include "tests/support/iis_log.h"
#include "tests/support/memory_file_system.h"

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
    int NewDays = 0;
    std::function<void()> OnOptions = [] {};
    void ShowOptionsDialog() override {
        ++OptionsShown;
        OnOptions();
    }
    void EndProgram() override { ++Ended; }
    void LogDayChanged() override { ++NewDays; }
};

// Real rows that also log each append to the event log (to order it against tray and beeps), note every
// removal and every path shown, and can fail the next append, as a list control out of memory would.
class WatchingList final : public MonitorList {
public:
    explicit WatchingList(EventLog& events) : events_(events) {}
    MonitorRows Rows;
    std::vector<int> Removed;
    std::vector<std::string> Appended;
    std::vector<std::string> Failed;
    bool FailNextAppend = false;
    int RowCount() const override { return Rows.RowCount(); }
    void AppendRow(std::wstring_view localTime, std::string_view remoteIp, std::string_view status,
                   std::string_view url) override {
        if (std::exchange(FailNextAppend, false)) {
            Failed.emplace_back(url);
            throw std::runtime_error("no row");
        }
        Appended.emplace_back(url);
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

// The code page can be swapped for one that converts differently.
struct MonitorHarness {
    static inline const std::wstring SettingsFile = L"C:\\tarnwatch\\param.dat";
    static inline const std::wstring LogFolder = L"D:\\logs";

    explicit MonitorHarness(AnsiCodePage* codePage = nullptr, const ReadSizes& readSizes = {})
        : Engine(State,
                 MonitorPorts{Boxes, Timer, Host, Clock, Events, Events, Pump,
                              codePage ? *codePage : CodePage, Files, List},
                 readSizes) {
        State.RowLimit = 1000;
    }

    static std::wstring LogOf(int day) { return LogFolder + L"\\" + TodayLogFileName({2003, 9, day}); }

    // param.dat as every copy of it so far holds it: each value a line, each byte XOR 0x17, CR LF after.
    static std::string SettingsBytes(const std::vector<std::string>& lines) {
        std::string bytes;
        for (const std::string& line : lines) {
            for (const char byte : line) {
                bytes += static_cast<char>(static_cast<unsigned char>(byte) ^ 0x17);
            }
            bytes += "\r\n";
        }
        return bytes;
    }
    void WriteSettings(const std::vector<std::string>& lines) {
        Files.Create(SettingsFile, SettingsBytes(lines));
    }
    // The log of 5 September starts as given, the settings name its folder without the final backslash.
    bool Start(const std::string& log) {
        Files.Create(LogOf(5), log);
        WriteSettings({"50", "5", "D:\\logs", "127.0.0.1"});
        return Engine.StartMonitor(SettingsFile);
    }
    void Append(int day, const std::string& bytes) { Files.At(LogOf(day)).Bytes += bytes; }

    const MonitorRows& Rows() const { return List.Rows; }
    std::vector<std::string> Urls() const {
        std::vector<std::string> urls;
        for (int row = 1; row <= Rows().RowCount(); ++row) {
            urls.push_back(Rows().Row(row).Url);
        }
        return urls;
    }

    SharedState State;
    ScriptedBoxes Boxes;
    RecordingTimer Timer;
    ScriptedHost Host;
    FixedClock Clock;
    EventLog Events;
    HookPump Pump;
    Latin1CodePage CodePage;
    MemoryFileSystem Files;
    WatchingList List{Events};
    Monitor Engine;
};

} // namespace tarnwatch::testing
