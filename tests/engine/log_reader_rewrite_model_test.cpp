// A log that is appended to in pieces, rotated away, started over in place, deleted and made anew, at random
// moments, also in the middle of a pass (from the message pump and from inside a read). Every line names
// its file and its place there; a reference splitter written apart from the reader says what each file held.
// Whatever happens, no line is handed on that its file did not hold there, none twice, each file's lines
// in order without a gap, and every line of a file that a completed pass saw whole.
#include "engine/log_reader.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/reference_lines.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace tarnwatch {
namespace {

using testing::MemoryFileSystem;

class HookPump final : public MessagePump {
public:
    std::function<void()> Hook;
    void ProcessPendingMessages() override {
        if (Hook) {
            Hook();
        }
    }
};

class CollectingSink final : public LineSink {
public:
    std::vector<std::string> Lines;
    void OnLine(std::string_view line) override {
        if (!line.empty()) {
            Lines.emplace_back(line);
        }
    }
    void ReleaseLines() override {}
};

class RewriteRun {
public:
    explicit RewriteRun(unsigned seed)
        : random_(seed),
          reader_(files_, pump_, Between(1, 4) == 1 ? LogReader::DefaultBufferBytes : Between(1, 40),
                  LogReader::DefaultLongestLine) {
        state_.LogFilePath = Log;
        StartGeneration(true, true);
        pump_.Hook = [this] { MaybeDisturb(); };
        files_.BeforeRead = [this](std::int64_t) { MaybeDisturb(); };
    }

    void Run() {
        for (int step = 0; step < 60; ++step) {
            switch (Between(0, 9)) {
            case 0:
                StartGeneration(true, true);
                break;
            case 1:
                StartGeneration(false, Between(0, 1) == 0);
                break;
            case 2:
                files_.Remove(Log);
                gone_ = true;
                break;
            case 3:
            case 4:
                Pass();
                break;
            default:
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
        std::size_t Written = 0;
        // Complete lines that a pass which ran to its end without disturbance saw.
        std::size_t SeenWhole = 0;
    };

    std::size_t Between(std::size_t low, std::size_t high) {
        return std::uniform_int_distribution<std::size_t>(low, high)(random_);
    }

    std::string LineEnd() {
        static const char* const ends[] = {"\r\n", "\r\n", "\r\n", "\n", "\r", "\r\n\r\n"};
        return ends[Between(0, 5)];
    }

    // New content for the log: in a new file (rotation, or a new one after a delete), or in the old one cut
    // to nothing; its first piece is written at once or later.
    void StartGeneration(bool newFile, bool writeNow) {
        Generation generation;
        const std::size_t number = generations_.size();
        for (std::size_t line = 0, count = Between(1, 12); line < count; ++line) {
            // Built piece by piece: GCC 12 misreads a chain of concatenations here.
            std::string& content = generation.Content;
            content += 'g';
            content += std::to_string(number);
            content += "-l";
            content += std::to_string(line);
            content.append(Between(0, 30), 'x');
            content += LineEnd();
        }
        generations_.push_back(generation);
        if (newFile || gone_ || !files_.IsPlainFile(Log)) {
            files_.Create(Log);
        } else {
            files_.At(Log).Bytes.clear();
        }
        gone_ = false;
        if (writeNow) {
            Append();
        }
    }

    // Writes the next piece of the current file, split anywhere; false once it is all written.
    bool Append() {
        Generation& current = generations_.back();
        if (gone_ || current.Written == current.Content.size()) {
            return false;
        }
        const std::size_t piece = Between(1, current.Content.size() - current.Written);
        files_.At(Log).Bytes += current.Content.substr(current.Written, piece);
        current.Written += piece;
        return true;
    }

    // Inside a pass: the file is rotated away, deleted, or cut to nothing in place.
    void MaybeDisturb() {
        if (!disturb_ || Between(0, 40) != 0) {
            return;
        }
        disturbed_ = true;
        // Cut in place, the file must stay empty until the pass is over: bytes written under a reader in the
        // middle of its pass are beyond telling apart from the old ones.
        switch (Between(0, 2)) {
        case 0:
            StartGeneration(true, true);
            break;
        case 1:
            files_.Remove(Log);
            gone_ = true;
            break;
        default:
            StartGeneration(false, false);
        }
    }

    void Pass() {
        const std::size_t current = generations_.size() - 1;
        const std::size_t linesNow = gone_ ? 0 : testing::ReferenceCompleteLines(files_.At(Log).Bytes).size();
        disturbed_ = false;
        disturb_ = true;
        reader_.ReadPass(state_, sink_);
        disturb_ = false;
        if (!disturbed_ && !gone_) {
            generations_[current].SeenWhole = std::max(generations_[current].SeenWhole, linesNow);
        }
    }

    void Check() {
        std::map<std::size_t, std::size_t> handed;
        std::size_t lastGeneration = 0;
        for (const std::string& line : sink_.Lines) {
            SCOPED_TRACE(line);
            std::size_t generation = 0, index = 0;
            ASSERT_EQ(std::sscanf(line.c_str(), "g%zu-l%zu", &generation, &index), 2) << "an invented line";
            ASSERT_LT(generation, generations_.size());
            const auto lines = testing::ReferenceCompleteLines(generations_[generation].Content);
            std::vector<std::string> requests;
            for (const std::string& held : lines) {
                if (!held.empty()) {
                    requests.push_back(held);
                }
            }
            ASSERT_LT(index, requests.size());
            EXPECT_EQ(line, requests[index]) << "not a line its file held";
            EXPECT_EQ(index, handed[generation]) << "out of order, twice, or after a gap";
            EXPECT_GE(generation, lastGeneration) << "an older file after a newer one";
            handed[generation] = index + 1;
            lastGeneration = generation;
        }
        for (std::size_t generation = 0; generation < generations_.size(); ++generation) {
            std::size_t seen = 0;
            const auto lines = testing::ReferenceCompleteLines(generations_[generation].Content);
            for (std::size_t line = 0; line < std::min(generations_[generation].SeenWhole, lines.size());
                 ++line) {
                seen += lines[line].empty() ? 0 : 1;
            }
            EXPECT_GE(handed[generation], seen) << "lost lines of file " << generation;
        }
    }

    std::mt19937 random_;
    MemoryFileSystem files_;
    HookPump pump_;
    SharedState state_;
    CollectingSink sink_;
    LogReader reader_;
    std::vector<Generation> generations_;
    bool gone_ = false;
    bool disturb_ = false;
    bool disturbed_ = false;
};

TEST(LogReaderRewriteModel, EveryLineOfEveryFileOnceInOrderWhateverIsDoneToTheLog) {
    for (unsigned seed = 1; seed <= 400; ++seed) {
        SCOPED_TRACE(seed);
        RewriteRun(seed).Run();
        if (HasFailure()) {
            break;
        }
    }
}

} // namespace
} // namespace tarnwatch
