#include "engine/messages.h"
#include "engine/settings.h"
#include "engine/startup.h"
#include "tests/engine/monitor_harness.h"
#include "tests/engine/temp_folder.h"

#include <gtest/gtest.h>

namespace tarnwatch {
namespace {

using testing::FieldsLine;
using testing::LogHeader;
using testing::Request;
using testing::TempFolder;

TEST(TodayLogFileName, UsesTheLastTwoDigitsOfYearMonthAndDay) {
    EXPECT_EQ(TodayLogFileName({2004, 1, 9}), L"ex040109.log");
    EXPECT_EQ(TodayLogFileName({1999, 12, 31}), L"ex991231.log");
}

TEST(FieldListCheck, ComparesTheFourthLineExactlyAfterTrimmingSpaces) {
    const std::pair<std::string, bool> cases[] = {
        {LogHeader(), true},
        {LogHeader("   " + FieldsLine + "   ") + Request("10.0.0.1"), true},
        {"#Software: x\r\n#Version: 1.0\r\n#Date: y\r\n", true},
        {LogHeader(FieldsLine + " sc-bytes"), false},
        {LogHeader("\t" + FieldsLine), false},
    };
    TempFolder folder;
    StdFileSystem files;
    for (const auto& [content, passes] : cases) {
        EXPECT_EQ(HasRequiredFieldList(files, folder.Write("log", content).wstring()), passes) << content;
    }
}

TEST(FindStartOffset, StartsAfterTheLastCompleteLineWhateverPrecedesIt) {
    const auto crLfLines = [](std::size_t bytes) {
        std::string text;
        while (text.size() < bytes) {
            text += Request("10.0.0.1");
        }
        text.resize(bytes - 2);
        return text + "\r\n";
    };
    const std::pair<std::string, std::int64_t> cases[] = {{"", 1},
                                                          {crLfLines(1000), 1001},
                                                          {crLfLines(70000), 70001},
                                                          {crLfLines(1024) + "2003-09-05 10:15", 1025},
                                                          {"a\r\nb\r\n      ", 7},
                                                          {"a\r\n   \r\n\r\r\r", 12},
                                                          {"a\r\n" + std::string(70000, 'x'), 4},
                                                          {"no line end yet", 1}};
    TempFolder folder;
    StdFileSystem files;
    EXPECT_EQ(FindStartOffset(files, (folder.Path() / "none").wstring()), 0);
    for (const auto& [content, offset] : cases) {
        EXPECT_EQ(FindStartOffset(files, folder.Write("log", content).wstring()), offset) << content.size();
    }
}

class StartUp : public ::testing::Test {
protected:
    StartUp() { std::filesystem::create_directory(logFolder); }

    void WriteSettings(const std::wstring& logFolderSetting) {
        SharedState settings;
        settings.RowLimit = 30;
        settings.UpdateSeconds = 5;
        settings.LogFolder = logFolderSetting;
        ASSERT_TRUE(SaveSettings(settings, folder.Path() / "param.dat", m.CodePage, m.Boxes));
    }
    // With the system's own separator, so the expected paths compare equal on every system.
    std::wstring LogFolderSetting() const { return (logFolder / "").wstring(); }
    std::filesystem::path TodayLog() { return logFolder / TodayLogFileName(m.Clock.Today()); }
    void WriteLog(const std::string& bytes) { std::ofstream(TodayLog(), std::ios::binary) << bytes; }
    bool Start() { return m.Engine.StartMonitor(folder.Path() / "param.dat"); }
    // The box shown before the end, if it is the only one.
    testing::ShownBox EndedWithOneBox() {
        EXPECT_FALSE(Start());
        EXPECT_EQ(m.Host.Ended, 1);
        EXPECT_FALSE(m.Timer.Enabled);
        EXPECT_EQ(m.Boxes.Shown.size(), 1u);
        return m.Boxes.Shown.empty() ? testing::ShownBox{} : m.Boxes.Shown.back();
    }

    TempFolder folder;
    std::filesystem::path logFolder = folder.Path() / "logs";
    testing::MonitorHarness m;
};

TEST_F(StartUp, FindsTheLogStartsAtItsEndAndSwitchesTheTimerOn) {
    WriteSettings(LogFolderSetting());
    std::string log = LogHeader();
    for (int i = 0; i < 40; ++i) {
        log += Request("10.0.0." + std::to_string(i));
    }
    WriteLog(log);
    m.Timer.Enabled = false;
    m.State.SoundNotify = true;

    ASSERT_TRUE(Start());
    EXPECT_EQ(m.State.LogFilePath, TodayLog().wstring());
    EXPECT_EQ(m.State.RowLimit, 30);
    EXPECT_EQ(m.Timer.IntervalMs, 5000);
    EXPECT_TRUE(m.Timer.Enabled);
    EXPECT_FALSE(m.State.SoundNotify);
    EXPECT_EQ(m.Rows().RowCount(), 0) << "requests already in the file are not shown";
    EXPECT_EQ(m.State.ReadOffset, static_cast<std::int64_t>(log.size()) + 1) << "after the last line";
    EXPECT_TRUE(m.Boxes.Shown.empty());

    testing::AppendBytes(TodayLog(), Request("10.1.1.1"));
    m.Engine.ReadNewLines();
    ASSERT_EQ(m.Rows().RowCount(), 1);
    EXPECT_EQ(m.Rows().Row(1).RemoteIp, "10.1.1.1");
}

TEST_F(StartUp, RetryOpensTheOptionsAndSearchesAgainWithTheNewFolder) {
    const std::wstring missingFolder = (logFolder / "missing").wstring();
    WriteSettings(missingFolder);
    WriteLog(LogHeader());
    m.Boxes.Answers = {BoxAnswer::Retry, BoxAnswer::Retry};
    m.Host.OnOptions = [&] {
        EXPECT_FALSE(m.Timer.Enabled) << "no pass may run while start-up waits";
        if (m.Host.OptionsShown == 2) {
            m.State.LogFolder = LogFolderSetting();
        }
    };

    ASSERT_TRUE(Start());
    EXPECT_EQ(m.Host.OptionsShown, 2);
    ASSERT_EQ(m.Boxes.Shown.size(), 2u);
    EXPECT_EQ(m.Boxes.Shown[0].Text, messages::LogFileMissing(LogPathFor(missingFolder, m.Clock.Today())));
    EXPECT_EQ(m.Boxes.Shown[0].Buttons, BoxButtons::RetryCancel);
    EXPECT_EQ(m.Boxes.Shown[0].Icon, BoxIcon::Critical);
    EXPECT_EQ(m.State.LogFilePath, TodayLog().wstring());
    EXPECT_TRUE(m.Timer.Enabled);
}

TEST_F(StartUp, CancelEndsTheProgramAndAFolderNamedLikeTheLogIsNoLog) {
    WriteSettings(LogFolderSetting());
    std::filesystem::create_directory(TodayLog());
    EXPECT_EQ(EndedWithOneBox().Buttons, BoxButtons::RetryCancel);
    EXPECT_EQ(m.Host.OptionsShown, 0);
}

TEST_F(StartUp, MissingSettingsEndTheProgramWithTheTimerOff) {
    EXPECT_EQ(EndedWithOneBox().Title, L"Initialization Failed");
}

TEST_F(StartUp, AWrongFieldListEndsTheProgram) {
    WriteSettings(LogFolderSetting());
    WriteLog(LogHeader("#Fields: date time c-ip"));
    const testing::ShownBox box = EndedWithOneBox();
    EXPECT_EQ(box.Text, L"IIS Setting Error!!!, The Logfile Format Must be\r\n" +
                            std::wstring(FieldsLine.begin(), FieldsLine.end()) + L" ");
    EXPECT_EQ(box.Buttons, BoxButtons::Ok);
}

} // namespace
} // namespace tarnwatch
