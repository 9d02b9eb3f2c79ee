#include "log_reader.h"
#include "monitor_harness.h"
#include "startup.h"
#include "std_file_system.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tarnwatch {
namespace {

using testing::AppendBytes;
using testing::CountingPump;
using testing::MonitorHarness;
using testing::RecordingSink;
using testing::TempFolder;
using Lines = std::vector<std::string>;

class LogReaderPass : public ::testing::Test {
protected:
    LogReaderPass() { state.LogFilePath = log.wstring(); }

    void Write(const std::string& bytes) const { folder.Write("ex030905.log", bytes); }
    void Append(const std::string& bytes) const { AppendBytes(log, bytes); }

    Lines Pass() {
        sink.Lines.clear();
        reader.ReadPass(state, sink);
        return sink.Lines;
    }

    TempFolder folder;
    std::filesystem::path log = folder.Path() / "ex030905.log";
    SharedState state;
    StdFileSystem files;
    CountingPump pump;
    LogReader reader{files, pump};
    RecordingSink sink;
};

TEST_F(LogReaderPass, RestsOnTheLastLineEndAndStartsTheNextPassThere) {
    Write(std::string(98, 'x') + "\r\n");
    state.ReadOffset = 99;
    const std::string line(40, 'y');
    Append(line + "\r\n");

    EXPECT_EQ(Pass(), (Lines{"", line, "", ""}));
    EXPECT_EQ(state.ReadOffset, 141);
    EXPECT_EQ(pump.Calls, 4) << "the pump runs after every handed-on line";

    EXPECT_EQ(Pass(), (Lines{"", "", ""})) << "no new data";
    EXPECT_EQ(state.ReadOffset, 141);

    Append("first\r\nsecond\r\n");
    EXPECT_EQ(Pass(), (Lines{"", "first", "second", "", ""}));
    EXPECT_EQ(state.ReadOffset, 142 + 15 - 1);
}

TEST_F(LogReaderPass, WaitsForAnIncompleteLastLineAndReadsItWholeOnce) {
    Write("head\r\n");
    state.ReadOffset = 5;
    Append("2003-09-05 10:1");
    EXPECT_EQ(Pass(), (Lines{""}));
    EXPECT_EQ(state.ReadOffset, 7) << "stays at the start of the incomplete line";
    EXPECT_EQ(Pass(), Lines{});

    Append("5:32 10.0.0.1\r");
    EXPECT_EQ(Pass(), Lines{}) << "the LF of a CR at the very end may still be on its way";
    EXPECT_EQ(state.ReadOffset, 7);

    Append("\n");
    EXPECT_EQ(Pass(), (Lines{"2003-09-05 10:15:32 10.0.0.1", "", "", ""}));
    EXPECT_EQ(state.ReadOffset, 6 + 29);
}

TEST_F(LogReaderPass, OnlyCrEndsALine) {
    Write("a\rb\nc\r\n");
    state.ReadOffset = 1;
    EXPECT_EQ(Pass(), (Lines{"a", "b\nc", "", "", ""}));
    EXPECT_EQ(state.ReadOffset, 6);
}

TEST_F(LogReaderPass, StartOnTheFinalLineFeedSkipsIt) {
    std::string content;
    for (int i = 0; i < 16; ++i) {
        content += std::string(62, static_cast<char>('a' + i)) + "\r\n";
    }
    Write(content);
    state.ReadOffset = FindStartOffset(files, state.LogFilePath);
    ASSERT_EQ(state.ReadOffset, 1024) << "the start-up search ends on the final LF of a 1024-byte log";

    EXPECT_EQ(Pass(), Lines{});
    EXPECT_EQ(state.ReadOffset, 1025);
    EXPECT_EQ(Pass(), Lines{}) << "a position just past the end is not a truncation";

    Append("next\r\n");
    EXPECT_EQ(Pass(), (Lines{"next", "", "", ""}));
}

TEST_F(LogReaderPass, LineFeedThatIsTextIsNotSkippedAtTheStart) {
    Write("ab\ncd\r\nef\r\n");
    state.ReadOffset = 3;
    EXPECT_EQ(Pass(), (Lines{"\ncd", "ef", "", "", ""}));
}

TEST_F(LogReaderPass, MissingFileEndsThePassAndKeepsTheOffset) {
    state.ReadOffset = 57;
    EXPECT_EQ(Pass(), Lines{});
    EXPECT_EQ(state.ReadOffset, 57);
    EXPECT_EQ(pump.Calls, 0);
}

TEST_F(LogReaderPass, ShorterFileIsReadFromItsFirstByte) {
    std::string old;
    for (int i = 0; i < 10; ++i) {
        old += "old line " + std::to_string(i) + "\r\n";
    }
    Write(old);
    state.ReadOffset = 1;
    Pass();
    ASSERT_EQ(state.ReadOffset, static_cast<std::int64_t>(old.size()) - 1);

    Write("new1\r\nnew2\r\n");
    EXPECT_EQ(Pass(), (Lines{"new1", "new2", "", "", ""})) << "shorter than the read position";

    // Shorter than before but still reaching the read position: only the length seen by the last pass tells.
    const std::string replaced = std::string(9, 'z') + "\r\n";
    Write(replaced);
    ASSERT_GE(static_cast<std::int64_t>(replaced.size()), state.ReadOffset - 1);
    EXPECT_EQ(Pass(), (Lines{std::string(9, 'z'), "", "", ""}));
}

TEST_F(LogReaderPass, CountsEveryBlankLineOfThePass) {
    Write("h\r\n");
    state.ReadOffset = 2;
    Append("l1\r\n\r\n   \r\n\r\nl2\r\n");
    EXPECT_EQ(Pass(), (Lines{"", "l1", "", "   "})) << "the fourth blank line ends the pass";
    EXPECT_EQ(Pass(), (Lines{"", "l2", "", ""})) << "and the next pass goes on from there";

    Append("\t\r\n\t\r\n\t\r\n\t\r\nl3\r\n");
    EXPECT_EQ(Pass(), (Lines{"", "\t", "\t", "\t", "\t", "l3", "", ""})) << "tabs are not blank";
}

TEST_F(LogReaderPass, KeepsBytesAsTheyAreAndAdvancesByThem) {
    Write("caf\xE9 \xD6\xD0\x80\xFF\r\nnext\r\n");
    state.ReadOffset = 1;
    EXPECT_EQ(Pass(), (Lines{"caf\xE9 \xD6\xD0\x80\xFF", "next", "", "", ""}));
    EXPECT_EQ(state.ReadOffset, 16);
}

TEST_F(LogReaderPass, LinesLongerThanTheBufferReadWhole) {
    LogReader smallReader{files, pump, 4};
    const std::string longLine(100, 'L');
    Write("ab\r\n" + longLine + "\r\ncd\r\n" + longLine);
    state.ReadOffset = 1;
    smallReader.ReadPass(state, sink);
    EXPECT_EQ(sink.Lines, (Lines{"ab", longLine, "cd"})) << "a line without its CR yet is not handed on";
    EXPECT_EQ(state.ReadOffset, 4 + 102 + 4 + 1);

    sink.Lines.clear();
    Append("\r\n");
    smallReader.ReadPass(state, sink);
    EXPECT_EQ(sink.Lines, (Lines{longLine, "", "", ""}));
}

class ReentrantPump final : public MessagePump {
public:
    Monitor* Target = nullptr;
    void ProcessPendingMessages() override { Target->ReadNewLines(); }
};

const std::string RequestLine = "2003-09-05 10:15:32 10.0.0.1 - 192.168.0.1 80 GET /a - 200 UA\r\n";

TEST(MonitorReadNewLines, TurnsTheTrayYellowAtThePassStartOnlyInTheTray) {
    TempFolder folder;
    MonitorHarness harness;
    harness.State.LogFilePath = folder.Write("ex030905.log", RequestLine).wstring();
    harness.Engine.ReadNewLines();
    EXPECT_TRUE(harness.Events.Events.empty());

    harness.State.InTray = true;
    AppendBytes(harness.State.LogFilePath, RequestLine);
    harness.Engine.ReadNewLines();
    EXPECT_EQ(harness.Events.Events, (std::vector<std::wstring>{L"yellow", L"blue"}));
    EXPECT_EQ(harness.Rows.RowCount(), 2);
}

TEST(MonitorReadNewLines, SkipsATickThatArrivesDuringAPass) {
    TempFolder folder;
    ReentrantPump pump;
    MonitorHarness harness(nullptr, &pump);
    pump.Target = &harness.Engine;
    harness.State.InTray = true;
    harness.State.LogFilePath =
        folder.Write("ex030905.log", RequestLine + RequestLine + RequestLine).wstring();

    harness.Engine.ReadNewLines();
    EXPECT_EQ(harness.Rows.RowCount(), 3);
    EXPECT_EQ(harness.Events.Events, (std::vector<std::wstring>{L"yellow", L"blue", L"blue", L"blue"}));
}

// Fails the first row, as a list control out of memory would.
class FailingOnceList final : public MonitorList {
public:
    MonitorRows Rows;
    bool Failed = false;
    int RowCount() const override { return Rows.RowCount(); }
    void AppendRow(std::wstring_view localTime, std::string_view remoteIp, std::string_view status,
                   std::string_view url) override {
        if (!Failed) {
            Failed = true;
            throw std::runtime_error("no row");
        }
        Rows.AppendRow(localTime, remoteIp, status, url);
    }
    void RemoveRow(int index) override { Rows.RemoveRow(index); }
    void CopyBorrowedFields() override { Rows.CopyBorrowedFields(); }
};

TEST(MonitorReadNewLines, APassThatFailedDoesNotBlockLaterTicks) {
    TempFolder folder;
    FailingOnceList list;
    MonitorHarness harness(&list);
    harness.State.LogFilePath = folder.Write("ex030905.log", RequestLine + RequestLine).wstring();

    EXPECT_THROW(harness.Engine.ReadNewLines(), std::runtime_error);
    harness.Engine.ReadNewLines();
    EXPECT_EQ(list.RowCount(), 1) << "the line after the failed one";
}

} // namespace
} // namespace tarnwatch
