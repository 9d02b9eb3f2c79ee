// A log written the way busy servers and administrators treat it, read by passes at random moments through
// buffers of any size: appended to in pieces that split lines anywhere (often right after a CR), rotated
// away, started over in place, deleted and made anew, also in the middle of a pass (from the message pump and
// from inside a read). The monitor takes the lines in place, so its rows borrow from the reader's buffer, and
// in some runs trims all but the newest few of them again before the buffer moves on.
// Every line names its file and its place there; a reference splitter written apart from the reader says
// what each file held. No line is handed on that its file did not hold there, none twice, each file's lines
// in order without a gap, every line of a file that an undisturbed pass saw whole, and each request handed
// on is one row with its own fields as long as the row limit keeps it.
#include "engine/log_reader.h"
#include "tests/engine/monitor_harness.h"
#include "tests/support/reference_lines.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <optional>
#include <random>
#include <tuple>

namespace tarnwatch {
namespace {

using RowTexts = std::tuple<std::string, std::string, std::string>;

class ModelRun {
public:
    explicit ModelRun(unsigned seed) : random_(seed) {
        const std::size_t bufferSizes[] = {Between(1, 40), 61, 256, LogReader::DefaultBufferBytes};
        reader_.emplace(harness_.Files, harness_.Pump, bufferSizes[Between(0, 3)]);
        harness_.State.RowLimit = Between(0, 1) == 0 ? static_cast<std::int32_t>(Between(1, 3)) : 100000;
        harness_.State.LogFilePath = Log;
        StartGeneration(true, true);
        harness_.Pump.Hook = [this] { MaybeDisturb(); };
        harness_.Files.BeforeRead = [this](std::int64_t) { MaybeDisturb(); };
    }

    void Run() {
        for (int step = 0; step < 60; ++step) {
            if (const std::size_t what = Between(0, 9); what < 3) {
                Change(what, Between(0, 1) == 0);
            } else if (what < 5) {
                Pass();
            } else {
                Append();
            }
        }
        // The last file is finished and read to its end.
        if (gone_) {
            StartGeneration(true, true);
        }
        generations_.back().Content += "\r\n";
        while (Append()) {
        }
        Pass();
        Pass();
        Check();
    }

private:
    static inline const std::wstring Log = L"ex030905.log";

    struct Generation {
        std::string Content;
        // By the place of their line in the file.
        std::map<std::size_t, RowTexts> Requests;
        std::size_t Written = 0;
        // Lines, not blank, that a pass which ran to its end without disturbance saw whole.
        std::size_t SeenWhole = 0;
    };

    std::size_t Between(std::size_t low, std::size_t high) {
        return std::uniform_int_distribution<std::size_t>(low, high)(random_);
    }

    // A request, or a line that must not become a row, with its tag "/g<file>-l<line>" in it.
    std::string MakeLine(Generation& generation, const char* tag, std::size_t line) {
        static const std::pair<const char*, const char*> others[] = {
            {"#Remark: ", " a directive with more than nine spaces in it, never a row"},
            {"   \t", ""},
            {"x\xE9y ", " \xD6\xD0"},
            {"2003-09-05 10:15:32 10.1.1.1 - ", " too few spaces"}};
        // Built piece by piece: GCC 12 misreads a chain of concatenations here.
        std::string text;
        if (const std::size_t kind = Between(0, 7); kind < 4) {
            text = others[kind].first;
            text += tag;
            return text += others[kind].second;
        }
        text = tag;
        text.append(Between(0, 30), 'x');
        text += '\xE9';
        std::string address = "10.0.";
        address += std::to_string(Between(0, 255));
        address += ".1";
        const std::string status = std::to_string(Between(1, 5) * 100);
        generation.Requests[line] = {address, status, text};
        return testing::RequestLine(address, text, status);
    }

    std::string LineEnd() {
        static const char* const ends[] = {"\r\n", "\r\n", "\r\n", "\n", "\r", "\r\n\r\n"};
        return ends[Between(0, 5)];
    }

    // New content for the log: in a new file (rotation, or a new one after a delete), or in the old one cut
    // to nothing; its first piece is written at once or later.
    void StartGeneration(bool newFile, bool writeNow) {
        Generation generation;
        for (std::size_t line = 0, count = Between(1, 12); line < count; ++line) {
            char tag[32];
            std::snprintf(tag, sizeof tag, "/g%zu-l%zu", generations_.size(), line);
            generation.Content += MakeLine(generation, tag, line);
            generation.Content += LineEnd();
        }
        generations_.push_back(generation);
        if (newFile || gone_ || !harness_.Files.IsPlainFile(Log)) {
            harness_.Files.Create(Log);
        } else {
            harness_.Files.At(Log).Bytes.clear();
        }
        gone_ = false;
        if (writeNow) {
            Append();
        }
    }

    // Writes the next piece of the current file, split anywhere but often right after a CR; false once it is
    // all written.
    bool Append() {
        Generation& current = generations_.back();
        if (gone_ || current.Written == current.Content.size()) {
            return false;
        }
        std::size_t piece = Between(1, std::min<std::size_t>(current.Content.size() - current.Written, 200));
        const std::size_t cr = current.Content.find('\r', current.Written);
        if (cr < current.Written + piece && Between(0, 3) == 0) {
            piece = cr + 1 - current.Written;
        }
        harness_.Files.At(Log).Bytes += current.Content.substr(current.Written, piece);
        current.Written += piece;
        return true;
    }

    // The file is rotated away (0), cut to nothing in place (1) or deleted (2).
    void Change(std::size_t what, bool writeNow) {
        if (what == 2) {
            harness_.Files.Remove(Log);
            gone_ = true;
        } else {
            StartGeneration(what == 0, what == 0 || writeNow);
        }
    }

    // Cut in place inside a pass, the file stays empty until the pass is over: bytes written under a reader
    // in the middle of its pass are beyond telling apart from the old ones.
    void MaybeDisturb() {
        if (disturb_ && Between(0, 40) == 0) {
            disturbed_ = true;
            Change(Between(0, 2), false);
        }
    }

    void Pass() {
        const std::size_t current = generations_.size() - 1;
        const std::size_t linesNow = gone_ ? 0 : NonBlankLines(harness_.Files.At(Log).Bytes).size();
        disturbed_ = false;
        disturb_ = true;
        reader_->ReadPass(harness_.State, sink_);
        disturb_ = false;
        if (!disturbed_ && !gone_) {
            generations_[current].SeenWhole = std::max(generations_[current].SeenWhole, linesNow);
        }
    }

    static std::vector<std::string> NonBlankLines(const std::string& content) {
        std::vector<std::string> lines = testing::ReferenceCompleteLines(content);
        std::erase(lines, std::string());
        return lines;
    }

    void Check() {
        std::map<std::size_t, std::size_t> handed;
        std::size_t lastGeneration = 0;
        std::vector<RowTexts> requests;
        for (const std::string& line : sink_.Seen) {
            if (line.empty()) {
                continue;
            }
            SCOPED_TRACE(line);
            const char* const tag = line.c_str() + std::min(line.find("/g"), line.size());
            std::size_t generation = 0, index = 0;
            ASSERT_EQ(std::sscanf(tag, "/g%zu-l%zu", &generation, &index), 2) << "an invented line";
            ASSERT_LT(generation, generations_.size());
            const auto held = NonBlankLines(generations_[generation].Content);
            ASSERT_LT(index, held.size());
            EXPECT_EQ(line, held[index]) << "not a line its file held";
            EXPECT_EQ(index, handed[generation]) << "out of order, twice, or after a gap";
            EXPECT_GE(generation, lastGeneration) << "an older file after a newer one";
            handed[generation] = index + 1;
            lastGeneration = generation;
            const auto& fields = generations_[generation].Requests;
            if (const auto request = fields.find(index); request != fields.end()) {
                requests.push_back(request->second);
            }
        }
        for (std::size_t generation = 0; generation < generations_.size(); ++generation) {
            EXPECT_GE(handed[generation], generations_[generation].SeenWhole)
                << "lost lines of file " << generation;
        }
        std::vector<RowTexts> rows;
        for (int i = 1; i <= harness_.Rows().RowCount(); ++i) {
            const MonitorRow& row = harness_.Rows().Row(i);
            rows.emplace_back(row.RemoteIp, row.Status, row.Url);
        }
        requests.erase(requests.begin(), requests.end() - std::min<std::ptrdiff_t>(std::ssize(requests),
                                                                                   harness_.State.RowLimit));
        EXPECT_EQ(rows, requests) << "each request handed on is one row with its own fields";
    }

    std::mt19937 random_;
    testing::MonitorHarness harness_;
    testing::RecordingSink sink_{&harness_.Engine};
    std::optional<LogReader> reader_;
    std::vector<Generation> generations_;
    bool gone_ = false;
    bool disturb_ = false;
    bool disturbed_ = false;
};

TEST(LogReaderModel, EveryLineOfEveryFileOnceInOrderAndEveryRequestOneRowWhateverIsDoneToTheLog) {
    for (unsigned seed = 1; seed <= 400; ++seed) {
        SCOPED_TRACE(seed);
        ModelRun(seed).Run();
        if (HasFailure()) {
            break;
        }
    }
}

} // namespace
} // namespace tarnwatch
