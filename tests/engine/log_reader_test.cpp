// The reader where the model test and the fuzz target seldom go: a start just after a CR, lines at and over
// the longest, and a long incomplete line that is not read again at every pass.
#include "engine/log_reader.h"
#include "tests/support/monitor_harness.h"

#include <gtest/gtest.h>

#include <optional>

namespace tarnwatch {
namespace {

using Lines = std::vector<std::string>;

// Keeps every line a pass hands on, blank ones too.
class RecordingSink final : public LineSink {
public:
    Lines Seen;
    void OnLine(std::string_view line) override { Seen.emplace_back(line); }
    void ReleaseLines() override {}
};

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
        RecordingSink sink;
        reader->ReadPass(sink);
        return sink.Seen;
    }
    void Append(const std::string& bytes) { m.Files.At(Log).Bytes += bytes; }

    static inline const std::wstring Log = L"ex030905.log";
    testing::MonitorHarness m;
    std::optional<LogReader> reader;
};

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

TEST_F(LogReaderTest, OverlongLinesArePassedOverAndTheLinesAfterThemArrive) {
    Append("a\r\n" + std::string(100, 'x') + "\r\nb\r\n" + std::string(41, 'y'));
    EXPECT_EQ(Pass(), (Lines{"a", "b"}));
    Append(std::string(500, 'y'));
    EXPECT_EQ(Pass(), Lines{});
    Append("\r\nc\r\n");
    EXPECT_EQ(Pass(), Lines{"c"});
    Append(std::string(40, 'z') + "\r\n");
    EXPECT_EQ(Pass(), Lines{std::string(40, 'z')}) << "the longest line that is still taken";
    Append(std::string(40, 'w'));
    EXPECT_EQ(Pass(), Lines{});
    Append("\r\n");
    EXPECT_EQ(Pass(), Lines{std::string(40, 'w')}) << "and one that waited for its end";
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

} // namespace
} // namespace tarnwatch
