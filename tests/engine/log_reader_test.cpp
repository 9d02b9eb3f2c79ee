#include "engine/log_reader.h"
#include "tests/engine/monitor_harness.h"
#include "tests/engine/temp_folder.h"

#include <gtest/gtest.h>

#include <optional>

namespace tarnwatch {
namespace {

using testing::AppendBytes;
using testing::MonitorHarness;
using testing::TempFolder;
using Lines = std::vector<std::string>;

// Keeps every line a pass hands on, blank ones included.
class RecordingSink final : public LineSink {
public:
    Lines Seen;
    void OnLine(std::string_view line) override { Seen.emplace_back(line); }
    void ReleaseLines() override {}
};

struct Step {
    std::string Appended;
    Lines Handed;
    std::int64_t ReadOffset;
    bool StartsOver = false;
};

TEST(LogReaderPass, HandsOnEveryCompleteLineOnceAndWaitsForTheRest) {
    const std::string y40(40, 'y'), z9(9, 'z');
    std::string log1024;
    for (char c = 'a'; c < 'a' + 16; ++c) {
        log1024 += std::string(62, c) + "\r\n";
    }
    const struct {
        const char* Name;
        std::optional<std::string> Head;
        std::int64_t Start;
        std::vector<Step> Steps;
    } cases[] = {
        {"new data, then none, then more",
         std::string(98, 'x') + "\r\n",
         101,
         {{y40 + "\r\n", {y40}, 143}, {"", {}, 143}, {"first\r\nsecond\r\n", {"first", "second"}, 158}}},
        {"an incomplete line waits; a CR at the very end ends it, and the LF that follows ends nothing",
         "head\r\n",
         7,
         {{"2003-09-05 10:1", {}, 7},
          {"", {}, 7},
          {"5:32 10.0.0.1\r", {"2003-09-05 10:15:32 10.0.0.1"}, 36},
          {"\n", {}, 37}}},
        {"CR LF, a lone CR and a lone LF each end a line", "a\rb\nc\r\n", 1, {{"", {"a", "b", "c"}, 8}}},
        {"a start on the LF of the last CR LF skips it",
         log1024,
         1024,
         {{"", {}, 1025}, {"next\r\n", {"next"}, 1031}}},
        {"blank lines are handed on and never end the pass; tabs are text",
         "h\r\n",
         4,
         {{"l1\r\n\r\n   \r\n\r\nl2\r\n\t\r\n", {"l1", "", "   ", "", "l2", "\t"}, 24}}},
        {"a file shorter than the position is read from its first byte",
         "old 0\r\nold 1\r\nold 2\r\n",
         1,
         {{"", {"old 0", "old 1", "old 2"}, 22},
          {"new1\r\nnew2\r\n", {"new1", "new2"}, 13, true},
          {z9 + "\r\n", {z9}, 12, true}}},
        {"a missing file keeps the position", std::nullopt, 57, {{"", {}, 57}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TempFolder folder;
        StdFileSystem files;
        testing::CountingPump pump;
        LogReader reader{files, pump};
        SharedState state;
        state.LogFilePath = (folder.Path() / "ex030905.log").wstring();
        if (c.Head) {
            folder.Write("ex030905.log", *c.Head);
        }
        state.ReadOffset = c.Start;
        for (const Step& step : c.Steps) {
            if (step.StartsOver) {
                folder.Write("ex030905.log", step.Appended);
            } else if (!step.Appended.empty()) {
                AppendBytes(state.LogFilePath, step.Appended);
            }
            RecordingSink sink;
            reader.ReadPass(state, sink);
            EXPECT_EQ(sink.Seen, step.Handed);
            EXPECT_EQ(state.ReadOffset, step.ReadOffset);
        }
    }
}

class ReentrantPump final : public MessagePump {
public:
    Monitor* Target = nullptr;
    void ProcessPendingMessages() override { Target->ReadNewLines(); }
};

const std::string TwoRequests = testing::Request("10.0.0.1") + testing::Request("10.0.0.1");

TEST(MonitorReadNewLines, SkipsATickThatArrivesDuringAPassAndTurnsTheTrayYellowFirst) {
    TempFolder folder;
    ReentrantPump pump;
    MonitorHarness harness(&pump);
    pump.Target = &harness.Engine;
    harness.State.InTray = true;
    harness.State.LogFilePath = folder.Write("ex030905.log", TwoRequests).wstring();
    harness.Engine.ReadNewLines();
    EXPECT_EQ(harness.Events.Events,
              (std::vector<std::wstring>{L"yellow", L"blue", L"row 10.0.0.1", L"blue", L"row 10.0.0.1"}));
}

// A backlog read through a small buffer: the newest rows borrow from it, the row limit trims the oldest of
// them again, and each reload of the buffer must first copy the rows that are left.
TEST(BacklogPass, RowsLeftAfterTrimmingBorrowedOnesKeepTheirTextsWhenTheBufferMoves) {
    const auto address = [](int request) { return "10.0.0." + std::to_string(request); };
    // Appended rather than concatenated: GCC 12 misreads the concatenation in the Windows build.
    const auto url = [](int request) {
        std::string path(1, '/');
        path.append(static_cast<std::size_t>(request % 5), 'p');
        return path;
    };
    std::string log, remarks;
    for (int request = 1; request <= 24; ++request) {
        log += testing::Request(address(request), url(request), std::to_string(200 + request));
        // Lines that make no rows, enough to overwrite the whole buffer on the next pass.
        remarks += "#Remark: the reader moves on\r\n";
    }
    for (const std::size_t bufferBytes : {128u, 200u, 320u}) {
        for (const int rowLimit : {1, 2, 3}) {
            SCOPED_TRACE(std::to_string(bufferBytes) + " bytes, " + std::to_string(rowLimit) + " rows");
            TempFolder folder;
            MonitorHarness harness;
            harness.State.RowLimit = rowLimit;
            harness.State.LogFilePath = folder.Write("ex030905.log", log).wstring();
            LogReader reader(harness.Files, harness.Pump, bufferBytes);
            reader.ReadPass(harness.State, harness.Engine);
            AppendBytes(harness.State.LogFilePath, remarks);
            reader.ReadPass(harness.State, harness.Engine);
            ASSERT_EQ(harness.Rows().RowCount(), rowLimit);
            for (int row = 1; row <= rowLimit; ++row) {
                const int request = 24 - rowLimit + row;
                EXPECT_EQ(harness.Rows().Row(row).RemoteIp, address(request));
                EXPECT_EQ(harness.Rows().Row(row).Status, std::to_string(200 + request));
                EXPECT_EQ(harness.Rows().Row(row).Url, url(request));
            }
        }
    }
}

} // namespace
} // namespace tarnwatch
