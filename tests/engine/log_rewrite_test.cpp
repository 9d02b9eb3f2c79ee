// The reader against what servers and administrators do to a log besides appending to it: other line ends,
// blank lines, files replaced or started over (also in the middle of a pass), failing reads, overlong lines.
#include "engine/log_reader.h"
#include "tests/engine/fakes.h"
#include "tests/support/memory_file_system.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwatch {
namespace {

using testing::MemoryFileSystem;
using Lines = std::vector<std::string>;

class CollectingSink final : public LineSink {
public:
    Lines Got;
    void OnLine(std::string_view line) override { Got.emplace_back(line); }
    void ReleaseLines() override {}
};

class LogRewriteTest : public ::testing::Test {
protected:
    explicit LogRewriteTest(std::size_t bufferBytes = 8, std::int64_t longestLine = 40)
        : reader_(files_, pump_, bufferBytes, longestLine) {
        state_.LogFilePath = Log;
        files_.Create(Log);
    }

    Lines Pass() {
        sink_.Got.clear();
        reader_.ReadPass(state_, sink_);
        return sink_.Got;
    }
    void Append(const std::string& bytes) { files_.At(Log).Bytes += bytes; }

    static inline const std::wstring Log = L"ex030905.log";
    MemoryFileSystem files_;
    testing::CountingPump pump_;
    SharedState state_;
    CollectingSink sink_;
    LogReader reader_;
};

TEST_F(LogRewriteTest, LinesEndAtCrLfALoneCrOrALoneLfAndBlankLinesNeverEndAPass) {
    Append("a\r\nb\nc\r\r\n\r\n\r\n\r\n\nd\r");
    EXPECT_EQ(Pass(), (Lines{"a", "b", "c", "", "", "", "", "", "d"}));
    Append("\ne\r\nf");
    EXPECT_EQ(Pass(), Lines{"e"}) << "the LF of a CR LF split between two passes ends no line";
    Append("g\n");
    EXPECT_EQ(Pass(), Lines{"fg"});
    EXPECT_EQ(Pass(), Lines{});
}

TEST_F(LogRewriteTest, AFileThatIsNotTheOneLastReadIsReadFromItsFirstByte) {
    struct Case {
        const char* What;
        bool KnowsIdentity;
        std::string Replacement;
        bool Recreated;
    };
    for (const Case& test : {Case{"rotated, longer", true, "3\r\n4\r\n55555\r\n", true},
                             Case{"rotated, same length", true, "3\r\n4\r\n", true},
                             Case{"copied over, no identity", false, "x\r\ny\r\nzz\r\n", true},
                             Case{"started over in place, shorter", true, "3\r\n", false},
                             Case{"started over in place, longer", true, "3\r\n4\r\n5\r\n", false}}) {
        SCOPED_TRACE(test.What);
        files_.KnowsIdentity = test.KnowsIdentity;
        files_.Create(Log, "1\r\n2\r\n");
        state_.ReadOffset = 1;
        reader_.ForgetFile();
        EXPECT_EQ(Pass(), (Lines{"1", "2"}));
        if (test.Recreated) {
            files_.Create(Log, test.Replacement);
        } else {
            files_.At(Log).Bytes = test.Replacement;
        }
        Lines expected;
        for (std::size_t start = 0, end; (end = test.Replacement.find("\r\n", start)) != std::string::npos;
             start = end + 2) {
            expected.push_back(test.Replacement.substr(start, end - start));
        }
        EXPECT_EQ(Pass(), expected);
        EXPECT_EQ(Pass(), Lines{});
    }
}

TEST_F(LogRewriteTest, ALogMissingForAWhileIsReadFromItsFirstByteOnceBack) {
    Append("1\r\n");
    EXPECT_EQ(Pass(), Lines{"1"});
    files_.Remove(Log);
    EXPECT_EQ(Pass(), Lines{});
    files_.Create(Log, "2\r\n3\r\n");
    EXPECT_EQ(Pass(), (Lines{"2", "3"}));
}

TEST_F(LogRewriteTest, ALogStartedOverDuringAPassHandsOnItsNewContentOnceAtTheNextPass) {
    Append("1\r\n");
    EXPECT_EQ(Pass(), Lines{"1"});
    Append("22222\r\n33333\r\n44444\r\n");
    files_.BeforeRead = [this](std::int64_t position) {
        if (position > 10) {
            files_.At(Log).Bytes = "new\r\n";
            files_.BeforeRead = nullptr;
        }
    };
    EXPECT_EQ(Pass(), Lines{"22222"}) << "nothing of what the changed file gave";
    EXPECT_EQ(Pass(), Lines{"new"});
    EXPECT_EQ(Pass(), Lines{});
}

TEST_F(LogRewriteTest, AFailedReadOrSizeQueryLeavesThePositionForTheNextPass) {
    Append("1\r\n");
    Pass();
    Append("2\r\n3\r\n4444444\r\n5\r\n");
    files_.FailingCalls = 1;
    EXPECT_EQ(Pass(), Lines{});
    files_.FailingCalls = 1 << 3;
    const Lines before = Pass();
    const Lines after = Pass();
    Lines all = before;
    all.insert(all.end(), after.begin(), after.end());
    EXPECT_LT(before.size(), 4u) << "the failed read ended the pass";
    EXPECT_EQ(all, (Lines{"2", "3", "4444444", "5"})) << "nothing lost, nothing twice";
}

TEST_F(LogRewriteTest, OverlongLinesArePassedOverAndTheLinesAfterThemArrive) {
    Append("a\r\n" + std::string(100, 'x') + "\r\nb\r\n" + std::string(41, 'y'));
    EXPECT_EQ(Pass(), (Lines{"a", "b"}));
    Append(std::string(500, 'y'));
    EXPECT_EQ(Pass(), Lines{});
    Append("\r\nc\r\n");
    EXPECT_EQ(Pass(), Lines{"c"});
    Append(std::string(40, 'z') + "\r\n");
    EXPECT_EQ(Pass(), Lines{std::string(40, 'z')}) << "the longest line that is still taken";
}

class LongLineTest : public LogRewriteTest {
protected:
    LongLineTest() : LogRewriteTest(64, 100000) {}
};

TEST_F(LongLineTest, AnIncompleteLineIsNotReadAgainFromItsStartAtEveryPass) {
    Append("a\r\n");
    Pass();
    Append(std::string(5000, 'q'));
    Pass();
    const std::int64_t before = files_.BytesRead;
    for (int pass = 0; pass < 10; ++pass) {
        Append("q");
        EXPECT_EQ(Pass(), Lines{});
    }
    // Each pass reads what came and the few bytes that tell the file is the same one, not the line again.
    EXPECT_LT(files_.BytesRead - before, 10 * 500);
    Append("\r\n");
    EXPECT_EQ(Pass(), Lines{std::string(5010, 'q')});
}

} // namespace
} // namespace tarnwatch
