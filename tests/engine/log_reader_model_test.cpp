// A log written the way a busy server writes it (chunks that split lines anywhere, a file started over),
// read by passes at random moments through buffers of any size: every request line must become one row, in
// order, and nothing else.
#include "engine/log_reader.h"
#include "tests/engine/monitor_harness.h"
#include "tests/engine/temp_folder.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <tuple>

namespace tarnwatch {
namespace {

using RowTexts = std::tuple<std::string, std::string, std::string>;

class ModelRun {
public:
    explicit ModelRun(unsigned seed) : random_(seed) {
        harness_.State.RowLimit = 100000;
        harness_.State.LogFilePath = path_.wstring();
        const std::size_t bufferSizes[] = {2, 5, 16, 61, 256, LogReader::DefaultBufferBytes};
        reader_.emplace(harness_.Files, harness_.Pump, bufferSizes[Between(0, 5)]);
    }

    void Run() {
        const std::string first = MakeLog(), second = MakeLog();
        WriteInChunks(first, 0);
        // The server starts the file over, shorter than before; a pass sees it before it regrows.
        const std::size_t kept = Between(0, std::min(second.size(), first.size() - 1));
        folder_.Write(path_.filename().string(), second.substr(0, kept));
        Pass();
        WriteInChunks(second, kept);

        std::vector<RowTexts> rows;
        for (int i = 1; i <= harness_.Rows().RowCount(); ++i) {
            const MonitorRow& row = harness_.Rows().Row(i);
            rows.emplace_back(row.RemoteIp, row.Status, row.Url);
        }
        EXPECT_EQ(rows, expectedRows_);
    }

private:
    std::size_t Between(std::size_t low, std::size_t high) {
        return std::uniform_int_distribution<std::size_t>(low, high)(random_);
    }

    std::string MakeLog() {
        const char* const others[] = {"#Remark: a directive with more than nine spaces in it, never a row",
                                      "",
                                      "   ",
                                      "\t\t",
                                      "x\xE9y \xD6\xD0",
                                      "2003-09-05 10:15:32 10.1.1.1 - too few spaces"};
        std::string log = testing::FieldsLine + "\r\n";
        for (std::size_t count = Between(8, 32); count > 0; --count) {
            std::string line = others[Between(0, 5)];
            if (Between(0, 1) == 0) {
                const std::string address = "10.0." + std::to_string(Between(0, 255)) + ".1";
                const std::string url = "/p" + std::to_string(++sequence_) + "\xE9.htm";
                const std::string status = std::to_string(Between(1, 5) * 100);
                // The user agent may hold anything but a CR, including a line feed.
                line = testing::RequestLine(address, url, status) + (Between(0, 4) == 0 ? "\n" : "");
                expectedRows_.emplace_back(address, status, url);
            }
            // Lines mostly end in CR LF; a lone CR ends a line too.
            log += line + (Between(0, 6) != 0 ? "\r\n" : "\r");
        }
        // The log's very last line end is a full one.
        return log.back() == '\r' ? log + '\n' : log;
    }

    // The monitor takes the lines in place, so its rows borrow from the reader's buffer.
    void Pass() { reader_->ReadPass(harness_.State, harness_.Engine); }

    void WriteInChunks(const std::string& bytes, std::size_t from) {
        while (from < bytes.size()) {
            std::size_t to = std::min(bytes.size(), from + Between(1, 64));
            // Often cut right between a CR and what follows it.
            const std::size_t cr = bytes.find('\r', from);
            if (cr != std::string::npos && cr + 1 < bytes.size() && Between(0, 3) == 0) {
                to = cr + 1;
            }
            testing::AppendBytes(path_, bytes.substr(from, to - from));
            from = to;
            if (Between(0, 2) == 0) {
                Pass();
            }
        }
        // Blank lines can end a pass early; passes go on until one moves nowhere.
        for (int pass = 0; pass < 1000; ++pass) {
            const std::int64_t before = harness_.State.ReadOffset;
            Pass();
            if (harness_.State.ReadOffset == before) {
                return;
            }
        }
        ADD_FAILURE() << "the reader never came to rest";
    }

    testing::TempFolder folder_;
    std::filesystem::path path_ = folder_.Path() / "ex030905.log";
    std::mt19937 random_;
    testing::MonitorHarness harness_;
    std::optional<LogReader> reader_;
    std::vector<RowTexts> expectedRows_;
    int sequence_ = 0;
};

TEST(LogReaderModel, EveryRequestLineBecomesOneRowInFileOrder) {
    for (unsigned seed = 1; seed <= 200; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        ModelRun(seed).Run();
        if (HasFailure()) {
            break;
        }
    }
}

} // namespace
} // namespace tarnwatch
