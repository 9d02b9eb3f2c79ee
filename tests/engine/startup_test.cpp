#include "fakes.h"
#include "messages.h"
#include "monitor.h"
#include "monitor_rows.h"
#include "settings.h"
#include "startup.h"
#include "std_file_system.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <functional>

namespace tarnwatch {
namespace {

using testing::TempFolder;

const std::string FieldList = "#Fields: date time c-ip cs-username s-ip s-port cs-method cs-uri-stem "
                              "cs-uri-query sc-status cs(User-Agent) ";

std::string LogHead(const std::string& fieldLine) {
    return "#Software: Microsoft Internet Information Services 6.0\r\n#Version: 1.0\r\n"
           "#Date: 2003-09-05 00:00:00\r\n" +
           fieldLine + "\r\n";
}

std::string RequestLine(const std::string& address) {
    return "2003-09-05 10:15:32 " + address + " - 192.168.0.1 80 GET /default.htm - 200 Mozilla/4.0\r\n";
}

TEST(TodayLogFileName, UsesTwoDigitsForYearMonthAndDay) {
    EXPECT_EQ(TodayLogFileName({2004, 1, 1}), L"ex040101.log");
    EXPECT_EQ(TodayLogFileName({2003, 12, 31}), L"ex031231.log");
    EXPECT_EQ(TodayLogFileName({2003, 10, 9}), L"ex031009.log");
    EXPECT_EQ(TodayLogFileName({2026, 12, 6}), L"ex261206.log");
}

TEST(FieldListCheck, ComparesTheFourthLineExactlyAfterTrimmingSpaces) {
    TempFolder folder;
    StdFileSystem files;
    const auto check = [&](const std::string& content) {
        return HasRequiredFieldList(files, folder.Write("log", content).wstring());
    };
    EXPECT_TRUE(check(LogHead(FieldList)));
    EXPECT_TRUE(check(LogHead("   " + FieldList + "   ") + RequestLine("10.0.0.1")));
    EXPECT_TRUE(check(LogHead(FieldList.substr(0, FieldList.size() - 1))));
    EXPECT_TRUE(check("#Software: x\r\n#Version: 1.0\r\n#Date: y\r\n"));
    EXPECT_TRUE(check(""));

    EXPECT_FALSE(check(LogHead("#Fields: date  time c-ip cs-username s-ip s-port cs-method cs-uri-stem "
                               "cs-uri-query sc-status cs(User-Agent)")));
    EXPECT_FALSE(check(LogHead("#Fields: time date c-ip cs-username s-ip s-port cs-method cs-uri-stem "
                               "cs-uri-query sc-status cs(User-Agent)")));
    EXPECT_FALSE(check(LogHead("#FIELDS: date time c-ip cs-username s-ip s-port cs-method cs-uri-stem "
                               "cs-uri-query sc-status cs(User-Agent)")));
    EXPECT_FALSE(check(LogHead(FieldList + "sc-bytes")));
    EXPECT_FALSE(check(LogHead("\t" + FieldList)));
}

TEST(FindStartOffset, SkipsWhatTheFileHoldsByHalving) {
    TempFolder folder;
    StdFileSystem files;
    const auto offsetOf = [&](const std::string& content) {
        return FindStartOffset(files, folder.Write("log", content).wstring());
    };
    const auto crLfLines = [](std::size_t bytes) {
        std::string text;
        while (text.size() < bytes) {
            text += "2003-09-05 10:15:32 10.0.0.1 GET /x.htm 200\r\n";
        }
        text.resize(bytes);
        text.back() = '\n';
        text[bytes - 2] = '\r';
        return text;
    };
    EXPECT_EQ(FindStartOffset(files, (folder.Path() / "none").wstring()), 0);
    EXPECT_EQ(offsetOf(""), 1);
    EXPECT_EQ(offsetOf("x"), 1);
    EXPECT_EQ(offsetOf(crLfLines(1000)), 995);
    EXPECT_EQ(offsetOf(crLfLines(11089)), 11083);
    EXPECT_EQ(offsetOf(crLfLines(1024)), 1024);
    // A probe on blank lines fails all four tries and the search stops where it stands.
    EXPECT_EQ(offsetOf(std::string(8, 'a') + std::string(8, '\r')), 1);
}

class StartUp : public ::testing::Test, protected StartupHost {
protected:
    StartUp() { std::filesystem::create_directory(logFolder); }

    void WriteSettings(const std::wstring& logFolderSetting) {
        SharedState settings;
        settings.RowLimit = 30;
        settings.UpdateSeconds = 5;
        settings.LogFolder = logFolderSetting;
        settings.FilterIps = {L"127.0.0.1"};
        ASSERT_TRUE(SaveSettings(settings, SettingsPath(), codePage, boxes));
    }
    std::filesystem::path SettingsPath() const { return folder.Path() / "param.dat"; }
    // With the system's own separator, so the expected paths compare equal on every system.
    std::wstring LogFolderSetting() const { return (logFolder / "").wstring(); }
    std::filesystem::path TodayLog() { return logFolder / TodayLogFileName(clock.Today()); }

    bool Start() { return monitor.StartMonitor(SettingsPath()); }

    void ShowOptionsDialog() override {
        ++optionsShown;
        onOptions();
    }
    void EndProgram() override { ++ended; }

    TempFolder folder;
    std::filesystem::path logFolder = folder.Path() / "logs";
    SharedState state;
    testing::ScriptedBoxes boxes;
    testing::RecordingTimer timer;
    testing::FixedClock clock;
    testing::EventLog events;
    testing::CountingPump pump;
    testing::Latin1CodePage codePage;
    StdFileSystem files;
    MonitorRows rows;
    Monitor monitor{state,
                    MonitorPorts{boxes, timer, *this, clock, events, events, pump, codePage, files, rows}};
    int optionsShown = 0;
    int ended = 0;
    std::function<void()> onOptions = [] {};
};

TEST_F(StartUp, FindsTheLogStartsAtItsEndAndSwitchesTheTimerOn) {
    WriteSettings(LogFolderSetting());
    std::string log = LogHead(FieldList);
    for (int i = 0; i < 40; ++i) {
        log += RequestLine("10.0.0." + std::to_string(i));
    }
    std::ofstream(TodayLog(), std::ios::binary) << log;
    state.SoundNotify = true;

    ASSERT_TRUE(Start());
    EXPECT_EQ(state.LogFilePath, TodayLog().wstring());
    EXPECT_EQ(state.RowLimit, 30);
    EXPECT_EQ(timer.IntervalMs, 5000);
    EXPECT_TRUE(timer.Enabled);
    EXPECT_FALSE(state.SoundNotify);
    EXPECT_EQ(rows.RowCount(), 0) << "requests already in the file are not shown";
    EXPECT_EQ(state.ReadOffset, static_cast<std::int64_t>(log.size()) - 1) << "rests on the final line end";
    EXPECT_TRUE(boxes.Shown.empty());
    EXPECT_EQ(ended, 0);

    std::ofstream(TodayLog(), std::ios::binary | std::ios::app) << RequestLine("10.1.1.1");
    monitor.ReadNewLines();
    ASSERT_EQ(rows.RowCount(), 1);
    EXPECT_EQ(rows.Row(1).RemoteIp, "10.1.1.1");
}

TEST_F(StartUp, MissingSettingsEndTheProgramWithTheTimerOff) {
    EXPECT_FALSE(Start());
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(timer.Enabled);
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].Title, L"Initialization Failed");
}

TEST_F(StartUp, RetryOpensTheOptionsAndSearchesAgainWithTheNewFolder) {
    const std::wstring elsewhere = (folder.Path() / "elsewhere" / "").wstring();
    WriteSettings(elsewhere);
    std::ofstream(TodayLog(), std::ios::binary) << LogHead(FieldList);
    boxes.Answers = {BoxAnswer::Retry, BoxAnswer::Retry};
    onOptions = [&] {
        EXPECT_FALSE(timer.Enabled) << "no pass may run while start-up waits";
        if (optionsShown == 2) {
            state.LogFolder = LogFolderSetting();
        }
    };

    ASSERT_TRUE(Start());
    EXPECT_EQ(optionsShown, 2);
    ASSERT_EQ(boxes.Shown.size(), 2u);
    const std::wstring missingPath = elsewhere + TodayLogFileName(clock.Today());
    EXPECT_EQ(boxes.Shown[0].Text, messages::LogFileMissing(missingPath));
    EXPECT_EQ(boxes.Shown[0].Buttons, BoxButtons::RetryCancel);
    EXPECT_EQ(boxes.Shown[0].Icon, BoxIcon::Critical);
    EXPECT_EQ(state.LogFilePath, TodayLog().wstring());
    EXPECT_TRUE(timer.Enabled);
}

TEST_F(StartUp, CancelOrAFolderNamedLikeTheLogEndsTheProgram) {
    WriteSettings(LogFolderSetting());
    std::filesystem::create_directory(TodayLog());
    boxes.Answers = {BoxAnswer::Retry, BoxAnswer::Cancel};
    EXPECT_FALSE(Start());
    EXPECT_EQ(optionsShown, 1);
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(timer.Enabled);
}

TEST_F(StartUp, AFolderWithoutItsFinalSeparatorMissesTheLog) {
    WriteSettings(logFolder.wstring());
    std::ofstream(TodayLog(), std::ios::binary) << LogHead(FieldList);
    EXPECT_FALSE(Start());
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].Text,
              messages::LogFileMissing(logFolder.wstring() + TodayLogFileName(clock.Today())));
}

TEST_F(StartUp, AWrongFieldListEndsTheProgram) {
    WriteSettings(LogFolderSetting());
    std::ofstream(TodayLog(), std::ios::binary) << LogHead("#Fields: date time c-ip");
    EXPECT_FALSE(Start());
    EXPECT_EQ(ended, 1);
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_EQ(boxes.Shown[0].Text, L"IIS Setting Error!!!, The Logfile Format Must be\r\n" +
                                       std::wstring(FieldList.begin(), FieldList.end()));
    EXPECT_EQ(boxes.Shown[0].Buttons, BoxButtons::Ok);
    EXPECT_FALSE(timer.Enabled);
}

TEST_F(StartUp, AnEmptyLogStartsAtItsFirstByteAndShowsEverythingLater) {
    WriteSettings(LogFolderSetting());
    std::ofstream(TodayLog(), std::ios::binary) << "";
    ASSERT_TRUE(Start());
    EXPECT_EQ(state.ReadOffset, 1);

    std::ofstream(TodayLog(), std::ios::binary | std::ios::app)
        << LogHead(FieldList) << RequestLine("10.2.2.2");
    monitor.ReadNewLines();
    ASSERT_EQ(rows.RowCount(), 1);
    EXPECT_EQ(rows.Row(1).RemoteIp, "10.2.2.2");
}

} // namespace
} // namespace tarnwatch
