#include "engine/messages.h"
#include "engine/startup.h"
#include "tests/support/monitor_harness.h"

#include <gtest/gtest.h>

namespace tarnwatch {
namespace {

using testing::FieldsLine;
using testing::LogHeader;
using testing::MonitorHarness;
using testing::Request;

// A field list that differs from the required one only past 4 KiB of spaces.
const std::string LongWrongFieldList = FieldsLine + std::string(4096 - FieldsLine.size(), ' ') + "x";

TEST(LogPathFor, JoinsTheFolderAndTheDaysFileWithOneSeparatorOfTheFoldersKind) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"D:\\logs", L"D:\\logs\\ex040109.log"},  {L"D:\\logs\\", L"D:\\logs\\ex040109.log"},
        {L"/var/logs", L"/var/logs/ex040109.log"}, {L"/var/logs/", L"/var/logs/ex040109.log"},
        {L"D:/a\\b", L"D:/a\\b\\ex040109.log"},    {L"", L"ex040109.log"},
    };
    for (const auto& [folder, path] : cases) {
        EXPECT_EQ(LogPathFor(folder, {2004, 1, 9}), path);
    }
    EXPECT_EQ(TodayLogFileName({1999, 12, 31}), L"ex991231.log");
}

TEST(FieldListCheck, ComparesTheFourthLineExactlyAfterTrimmingSpacesAndReadsNoFurther) {
    const std::string threeLines = "#Software: x\r\n#Version: 1.0\r\n#Date: y\r\n";
    const std::pair<std::string, bool> cases[] = {
        {LogHeader(), true},
        {LogHeader("   " + FieldsLine + "   ") + Request("10.0.0.1"), true},
        {threeLines, true},
        {threeLines + FieldsLine, true},
        {threeLines + "#Fields: date time", false},
        {"#Software: x\n#Version: 1.0\n#Date: y\n#Fields: date time\n" + FieldsLine + "\n", false},
        {LogHeader(FieldsLine + " sc-bytes"), false},
        {LogHeader("\t" + FieldsLine), false},
        {"\n" + threeLines + FieldsLine, false},
        {LogHeader(LongWrongFieldList), false},
    };
    testing::MemoryFileSystem files;
    EXPECT_TRUE(HasRequiredFieldList(files, L"log"))
        << "a log that cannot be read is refused where it is read";
    for (const auto& [content, passes] : cases) {
        files.Create(L"log", content);
        EXPECT_EQ(HasRequiredFieldList(files, L"log"), passes) << content;
    }
    files.Create(L"log", LogHeader() + std::string(8 << 20, 'x') + "\r\n");
    const std::int64_t before = files.BytesRead;
    EXPECT_TRUE(HasRequiredFieldList(files, L"log"));
    EXPECT_LE(files.BytesRead - before, 64 * 1024);
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
    testing::MemoryFileSystem files;
    EXPECT_EQ(FindStartOffset(files, L"log"), 0) << "no file";
    for (const auto& [content, offset] : cases) {
        files.Create(L"log", content);
        EXPECT_EQ(FindStartOffset(files, L"log"), offset) << content.size();
    }
    files.Create(L"log", "a\r\nb");
    files.FailingCalls = 0b10;
    EXPECT_EQ(FindStartOffset(files, L"log"), 5) << "what cannot be read counts as read";
}

// A client can write "#Fields:" into its request; only a directive that starts a line counts, and the search
// reads the log by the chunk however many such requests there are, never further back than its bound.
TEST(FieldListInForceAt, TheLastDirectiveThatStartsALineWithinTheBoundDecides) {
    const std::string wrong = LogHeader("#Fields: date time c-ip");
    const std::string bait = Request("10.0.0.9", "/#Fields:" + std::string(30, 'x'));
    const auto chunk = static_cast<std::int64_t>(FieldListChunkBytes);
    // A line that ends the log so that its last chunk begins where the text before the line is cut.
    const auto lastChunkFrom = [chunk](const std::string& text, std::size_t cut) {
        return text + std::string(static_cast<std::size_t>(chunk) - (text.size() - cut) - 2, 'x') + "\r\n";
    };
    const std::string header = LogHeader();
    const std::string directiveAtChunkStart =
        lastChunkFrom(wrong + header, wrong.size() + header.find("#Fields"));
    const std::string baitAtChunkStart = lastChunkFrom(header + "y#Fields: x", header.size() + 1);
    const std::pair<std::string, std::optional<bool>> cases[] = {
        {LogHeader() + bait + bait, true},
        {wrong + bait, false},
        {wrong + Request("10.0.0.1") + LogHeader() + bait, true},
        {LogHeader() + Request("10.0.0.1") + wrong + bait, false},
        {directiveAtChunkStart, true},
        {baitAtChunkStart, true},
        {Request("10.0.0.1"), std::nullopt},
        {LogHeader(LongWrongFieldList) + bait, false},
    };
    testing::MemoryFileSystem files;
    for (const auto& [content, verdict] : cases) {
        files.Create(L"log", content);
        EXPECT_EQ(FieldListInForceAt(files, L"log", std::ssize(content)), verdict) << content.substr(0, 200);
    }

    std::string far = wrong + std::string(static_cast<std::size_t>(FieldListSearchBytes), 'x') + "\r\n";
    for (int request = 0; request < 1000; ++request) {
        far += bait;
    }
    files.Create(L"log", far);
    const int readsBefore = files.Reads;
    EXPECT_EQ(FieldListInForceAt(files, L"log", std::ssize(far)), std::nullopt) << "the top block decides";
    EXPECT_LE(files.Reads - readsBefore, FieldListSearchBytes / chunk + 1);
}

class StartUp : public ::testing::Test {
protected:
    bool Start() { return m.Engine.StartMonitor(MonitorHarness::SettingsFile); }
    // The box shown before the end, if it is the only one.
    testing::ShownBox EndedWithOneBox() {
        EXPECT_FALSE(Start());
        EXPECT_EQ(m.Host.Ended, 1);
        EXPECT_FALSE(m.Timer.Enabled);
        EXPECT_EQ(m.Boxes.Shown.size(), 1u);
        return m.Boxes.Shown.empty() ? testing::ShownBox{} : m.Boxes.Shown.back();
    }

    MonitorHarness m;
};

TEST_F(StartUp, FindsTheLogSwitchesTheTimerOnAndReadsOnAfterItsLastLine) {
    const std::string log =
        LogHeader() + Request("10.0.0.1", "/old") + "      \r\n\r\r  \n" + Request("10.0.0.2", "/old-too");
    m.Timer.Enabled = false;
    m.State.SoundNotify = true;
    ASSERT_TRUE(m.Start(log));
    EXPECT_EQ(m.State.LogFilePath, L"D:\\logs\\ex030905.log");
    EXPECT_EQ(m.State.RowLimit, 50);
    EXPECT_EQ(m.Timer.IntervalMs, 5000);
    EXPECT_TRUE(m.Timer.Enabled);
    EXPECT_FALSE(m.State.SoundNotify);
    EXPECT_EQ(m.Engine.CurrentLog().ReadOffset(), static_cast<std::int64_t>(log.size()) + 1)
        << "after the last line";
    EXPECT_TRUE(m.Boxes.Shown.empty());
}

TEST_F(StartUp, RetryOpensTheOptionsAndSearchesAgainWithTheNewFolder) {
    m.WriteSettings({"30", "5", "D:\\missing"});
    m.Files.Create(MonitorHarness::LogOf(5), LogHeader());
    m.Boxes.Answers = {BoxAnswer::Retry, BoxAnswer::Retry};
    m.Host.OnOptions = [&] {
        EXPECT_FALSE(m.Timer.Enabled) << "no pass may run while start-up waits";
        if (m.Host.OptionsShown == 2) {
            m.State.LogFolder = MonitorHarness::LogFolder;
        }
    };

    ASSERT_TRUE(Start());
    EXPECT_EQ(m.Host.OptionsShown, 2);
    ASSERT_EQ(m.Boxes.Shown.size(), 2u);
    EXPECT_EQ(m.Boxes.Shown[0].Text, messages::LogFileMissing(L"D:\\missing\\ex030905.log"));
    EXPECT_EQ(m.Boxes.Shown[0].Buttons, BoxButtons::RetryCancel);
    EXPECT_EQ(m.Boxes.Shown[0].Icon, BoxIcon::Critical);
    EXPECT_EQ(m.State.LogFilePath, MonitorHarness::LogOf(5));
    EXPECT_TRUE(m.Timer.Enabled);
}

TEST_F(StartUp, CancelEndsTheProgram) {
    m.WriteSettings({"30", "5", "D:\\logs"});
    EXPECT_EQ(EndedWithOneBox().Buttons, BoxButtons::RetryCancel);
    EXPECT_EQ(m.Host.OptionsShown, 0);
}

TEST_F(StartUp, MissingSettingsEndTheProgramWithTheTimerOff) {
    EXPECT_EQ(EndedWithOneBox().Title, messages::InitFailedTitle);
}

TEST_F(StartUp, AWrongFieldListEndsTheProgram) {
    m.WriteSettings({"30", "5", "D:\\logs"});
    m.Files.Create(MonitorHarness::LogOf(5), LogHeader("#Fields: date time c-ip"));
    const testing::ShownBox box = EndedWithOneBox();
    EXPECT_EQ(box.Text, messages::WrongFieldList());
    EXPECT_NE(box.Text.find(std::wstring(FieldsLine.begin(), FieldsLine.end())), std::wstring::npos)
        << "names the fields it needs";
    EXPECT_EQ(box.Buttons, BoxButtons::Ok);
}

// No field list is found before the start: the top block decides, whose fourth line was just found right.
TEST_F(StartUp, ALogWithNoFieldListBeforeTheStartShowsItsNewRequests) {
    ASSERT_TRUE(m.Start("#Software: x\r\n#Version: 1.0\r\n#Date: y\r\n"));
    m.Append(5, Request("10.0.0.2", "/new"));
    m.Engine.ReadNewLines();
    EXPECT_EQ(m.Urls(), std::vector<std::string>{"/new"});
}

TEST_F(StartUp, AStartInsideABlockWithOtherFieldsShowsNothingOfIt) {
    ASSERT_TRUE(m.Start(LogHeader() + Request("10.0.0.1") + LogHeader("#Fields: date time c-ip") +
                        Request("10.0.0.2")));
    m.Append(5, Request("10.0.0.3", "/other-fields"));
    m.Engine.ReadNewLines();
    EXPECT_EQ(m.Urls(), std::vector<std::string>{});
    EXPECT_EQ(m.Boxes.Shown.size(), 1u);
}

} // namespace
} // namespace tarnwatch
