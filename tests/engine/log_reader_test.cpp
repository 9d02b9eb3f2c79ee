// The reader against what servers and administrators do to a log besides appending whole lines to it; the
// model test does the same at random.
#include "engine/log_reader.h"
#include "tests/engine/monitor_harness.h"

#include <gtest/gtest.h>

#include <optional>

namespace tarnwatch {
namespace {

using Lines = std::vector<std::string>;

class LogReaderTest : public ::testing::Test {
protected:
    LogReaderTest() {
        m.Files.Create(Log);
        UseReader(8, 40);
    }

    void UseReader(std::size_t bufferBytes, std::int64_t longestLine, std::int64_t readOffset = 1) {
        reader.emplace(m.Files, m.Pump, ReadSizes{bufferBytes, longestLine});
        reader->StartAt(Log, readOffset);
    }
    Lines Pass() {
        testing::RecordingSink sink;
        reader->ReadPass(sink);
        return sink.Seen;
    }
    void Append(const std::string& bytes) { m.Files.At(Log).Bytes += bytes; }

    static inline const std::wstring Log = L"ex030905.log";
    testing::MonitorHarness m;
    std::optional<LogReader> reader;
};

TEST_F(LogReaderTest, EndsLinesAtCrLfALoneCrOrALoneLfAndLetsAnIncompleteLineWait) {
    for (const std::size_t bufferBytes : {std::size_t{8}, ReadSizes().BufferBytes}) {
        SCOPED_TRACE(bufferBytes);
        m.Files.Create(Log, "a\r\nb\nc\r\r\n\r\n\t\r\n\nd\r");
        UseReader(bufferBytes, 40);
        EXPECT_EQ(Pass(), (Lines{"a", "b", "c", "", "", "\t", "", "d"}));
        EXPECT_EQ(reader->ReadOffset(), 18);
        Append("\ne\r\nf");
        EXPECT_EQ(Pass(), Lines{"e"}) << "the LF of a CR LF split between two passes ends no line";
        EXPECT_EQ(reader->ReadOffset(), 22);
        EXPECT_EQ(Pass(), Lines{});
        EXPECT_EQ(reader->ReadOffset(), 22);
        Append("g\n");
        EXPECT_EQ(Pass(), Lines{"fg"});
        EXPECT_EQ(reader->ReadOffset(), 25);
    }
}

// As after start-up: the reader knows nothing yet of the bytes before the position.
TEST_F(LogReaderTest, AStartInsideTheFileSkipsTheLfOfACrLfBeforeIt) {
    for (const auto& [log, start, first, next] :
         {std::tuple{"ab\r\n", 4, Lines{}, 8}, {"ab\n\r\n", 4, Lines{""}, 9}}) {
        SCOPED_TRACE(log);
        m.Files.Create(Log, log);
        UseReader(8, 40, start);
        EXPECT_EQ(Pass(), first);
        Append("n\r\n");
        EXPECT_EQ(Pass(), Lines{"n"});
        EXPECT_EQ(reader->ReadOffset(), next);
    }
}

TEST_F(LogReaderTest, AnotherFileUnderTheNameIsReadFromItsFirstByte) {
    Append("1\r\nabc");
    EXPECT_EQ(Pass(), Lines{"1"});
    m.Files.Create(Log, "1\r\nabcdef\r\n");
    EXPECT_EQ(Pass(), (Lines{"1", "abcdef"})) << "a new file that begins like the old one";
    m.Files.KnowsIdentity = false;
    m.Files.Create(Log, "x\r\ny\r\nzzzzzzz\r\n");
    EXPECT_EQ(Pass(), (Lines{"x", "y", "zzzzzzz"})) << "a copy over it, where the system tells no file apart";
    EXPECT_EQ(Pass(), Lines{});
}

TEST_F(LogReaderTest, AFailedReadOrSizeQueryLeavesThePositionForTheNextPass) {
    Append("1\r\n");
    Pass();
    Append("2\r\n3\r\n4444444\r\n5\r\n");
    m.Files.FailingCalls = 1;
    EXPECT_EQ(Pass(), Lines{});
    m.Files.FailingCalls = 1 << 3;
    const Lines before = Pass();
    const Lines after = Pass();
    Lines all = before;
    all.insert(all.end(), after.begin(), after.end());
    EXPECT_LT(before.size(), 4u) << "the failed read ended the pass";
    EXPECT_EQ(all, (Lines{"2", "3", "4444444", "5"})) << "nothing lost, nothing twice";
}

TEST_F(LogReaderTest, OverlongLinesArePassedOverAndTheLinesAfterThemArrive) {
    Append("a\r\n" + std::string(100, 'x') + "\r\nb\r\n" + std::string(41, 'y'));
    EXPECT_EQ(Pass(), (Lines{"a", "b"}));
    Append(std::string(500, 'y'));
    EXPECT_EQ(Pass(), Lines{});
    Append("\r\nc\r\n");
    EXPECT_EQ(Pass(), Lines{"c"});
    Append(std::string(40, 'z') + "\r\n");
    EXPECT_EQ(Pass(), Lines{std::string(40, 'z')}) << "the longest line that is still taken";
}

TEST_F(LogReaderTest, AnIncompleteLineIsNotReadAgainFromItsStartAtEveryPass) {
    UseReader(64, 100000);
    Append("a\r\n");
    Pass();
    Append(std::string(5000, 'q'));
    Pass();
    const std::int64_t before = m.Files.BytesRead;
    for (int pass = 0; pass < 10; ++pass) {
        Append("q");
        EXPECT_EQ(Pass(), Lines{});
    }
    // Each pass reads what came and the few bytes that tell the file is the same one, not the line again.
    EXPECT_LT(m.Files.BytesRead - before, 10 * 500);
    Append("\r\n");
    EXPECT_EQ(Pass(), Lines{std::string(5010, 'q')});
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
            testing::MonitorHarness harness(nullptr, ReadSizes{bufferBytes});
            harness.State.RowLimit = rowLimit;
            harness.Files.Create(testing::MonitorHarness::LogOf(5), log);
            harness.Engine.WatchLog(testing::MonitorHarness::LogOf(5), {2003, 9, 5}, 1, true);
            harness.Engine.ReadNewLines();
            harness.Append(5, remarks);
            harness.Engine.ReadNewLines();
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
