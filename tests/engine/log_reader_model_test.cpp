// A log written the way a busy server writes it (chunks that split lines anywhere, a file started over),
// read by passes at random moments: every request line must come out once, in order, and nothing else.
#include "log_reader.h"
#include "monitor_harness.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <tuple>

namespace tarnwatch {
namespace {

using testing::MonitorHarness;
using testing::TempFolder;
using RowTexts = std::tuple<std::string, std::string, std::string>;

struct GeneratedLog {
    std::string Bytes;
    std::vector<std::string> NonBlankLines;
    std::vector<RowTexts> Rows;
};

class LogGenerator {
public:
    explicit LogGenerator(std::mt19937& random) : random_(random) {}

    GeneratedLog Make() {
        GeneratedLog log;
        Add(log, "#Software: Microsoft Internet Information Services 6.0", false);
        Add(log,
            "#Fields: date time c-ip cs-username s-ip s-port cs-method cs-uri-stem cs-uri-query sc-status "
            "cs(User-Agent) ",
            false);
        const int lineCount = Between(8, 32);
        for (int i = 0; i < lineCount; ++i) {
            const bool last = i + 1 == lineCount;
            const int kind = Between(0, 19);
            if (kind < 10) {
                AddRequest(log, last);
            } else if (kind < 12) {
                Add(log, "#Remark: a directive with more than nine spaces in it, never a row", last);
            } else if (kind < 15) {
                Add(log, Between(0, 1) == 0 ? "" : "   ", last);
            } else if (kind < 16) {
                Add(log, "\t\t", last);
            } else if (kind < 18) {
                Add(log, "x\xE9y \xD6\xD0", last);
            } else {
                Add(log, "2003-09-05 10:15:32 10.1.1.1 - too few spaces", last);
            }
        }
        return log;
    }

    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

private:
    std::string HighBytes() {
        std::string bytes;
        for (int n = Between(0, 2); n > 0; --n) {
            bytes += static_cast<char>(Between(0x80, 0xFF));
        }
        return bytes;
    }

    void AddRequest(GeneratedLog& log, bool last) {
        static constexpr std::array<const char*, 4> statuses{"200", "304", "404", "500"};
        const std::string address = "10." + std::to_string(Between(0, 255)) + "." +
                                    std::to_string(Between(0, 255)) + "." + std::to_string(Between(1, 254));
        const std::string url = "/p" + std::to_string(++sequence_) + HighBytes() + ".htm";
        const std::string status = statuses[static_cast<std::size_t>(Between(0, 3))];
        // The user agent may hold anything but a CR, including a line feed.
        const std::string agent = "Mozilla/4.0+(" + HighBytes() + (Between(0, 4) == 0 ? "\n" : "") + ")";
        Add(log,
            "2003-09-05 10:15:32 " + address + " - 192.168.0.1 80 GET " + url + " - " + status + " " + agent,
            last);
        log.Rows.emplace_back(address, status, url);
    }

    // Lines mostly end in CR LF; a lone CR ends a line too, but the log's very last line end is a full one.
    void Add(GeneratedLog& log, const std::string& text, bool last) {
        log.Bytes += text + (last || Between(0, 6) != 0 ? "\r\n" : "\r");
        if (text.find_first_not_of(' ') != std::string::npos) {
            log.NonBlankLines.push_back(text);
        }
    }

    std::mt19937& random_;
    int sequence_ = 0;
};

// Hands every line to the monitor and keeps the non-blank ones.
class TeeSink final : public LineSink {
public:
    // The monitor reads the lines in place, as in a real pass, so its rows borrow from the reader's buffer.
    explicit TeeSink(LineSink& monitor) : monitor_(monitor) {}
    std::vector<std::string> NonBlankLines;
    void OnLine(std::string_view line) override {
        if (line.find_first_not_of(' ') != std::string_view::npos) {
            NonBlankLines.emplace_back(line);
        }
        monitor_.OnLine(line);
    }
    void ReleaseLines() override { monitor_.ReleaseLines(); }

private:
    LineSink& monitor_;
};

class ServerLog {
public:
    explicit ServerLog(const std::filesystem::path& path) : path_(path), out_(path, std::ios::binary) {}

    void Append(std::string_view bytes) {
        out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out_.flush();
    }

    void StartOver(std::string_view bytes) {
        out_.close();
        out_.open(path_, std::ios::binary | std::ios::trunc);
        Append(bytes);
    }

private:
    std::filesystem::path path_;
    std::ofstream out_;
};

class ModelRun {
public:
    explicit ModelRun(unsigned seed) : random_(seed), generator_(random_) {
        harness_.State.RowLimit = 100000;
        harness_.State.LogFilePath = path_.wstring();
        static constexpr std::array<std::size_t, 6> bufferSizes{2,  5,   16,
                                                                61, 256, LogReader::DefaultBufferBytes};
        reader_ = std::make_unique<LogReader>(
            harness_.Files, harness_.Pump, bufferSizes[static_cast<std::size_t>(generator_.Between(0, 5))]);
    }

    void Run() {
        const GeneratedLog first = generator_.Make();
        const GeneratedLog second = generator_.Make();

        WriteInChunks(first.Bytes, 0);
        Drain();
        // The server starts the file over, shorter than before; a pass sees it before it regrows.
        const std::size_t kept = static_cast<std::size_t>(
            generator_.Between(0, static_cast<int>(std::min(second.Bytes.size(), first.Bytes.size() - 1))));
        server_.StartOver(std::string_view(second.Bytes).substr(0, kept));
        Pass();
        WriteInChunks(second.Bytes, kept);
        Drain();

        std::vector<std::string> expectedLines = first.NonBlankLines;
        expectedLines.insert(expectedLines.end(), second.NonBlankLines.begin(), second.NonBlankLines.end());
        EXPECT_EQ(sink_.NonBlankLines, expectedLines);

        std::vector<RowTexts> expectedRows = first.Rows;
        expectedRows.insert(expectedRows.end(), second.Rows.begin(), second.Rows.end());
        std::vector<RowTexts> rows;
        for (int i = 1; i <= harness_.Rows.RowCount(); ++i) {
            const MonitorRow& row = harness_.Rows.Row(i);
            EXPECT_EQ(row.LocalTime, L"10:15:32");
            rows.emplace_back(row.RemoteIp, row.Status, row.Url);
        }
        EXPECT_EQ(rows, expectedRows);
    }

private:
    void Pass() { reader_->ReadPass(harness_.State, sink_); }

    void WriteInChunks(const std::string& bytes, std::size_t from) {
        while (from < bytes.size()) {
            std::size_t to =
                std::min(bytes.size(), from + static_cast<std::size_t>(generator_.Between(1, 64)));
            // Often cut right between a CR and what follows it.
            const std::size_t cr = bytes.find('\r', from);
            if (cr != std::string::npos && cr + 1 < bytes.size() && generator_.Between(0, 3) == 0) {
                to = cr + 1;
            }
            server_.Append(std::string_view(bytes).substr(from, to - from));
            from = to;
            if (generator_.Between(0, 2) == 0) {
                Pass();
            }
        }
    }

    // Blank lines can end a pass early; passes go on until one moves nowhere.
    void Drain() {
        for (int pass = 0; pass < 1000; ++pass) {
            const std::int64_t before = harness_.State.ReadOffset;
            Pass();
            if (harness_.State.ReadOffset == before) {
                return;
            }
        }
        ADD_FAILURE() << "the reader never came to rest";
    }

    TempFolder folder_;
    std::filesystem::path path_ = folder_.Path() / "ex030905.log";
    ServerLog server_{path_};
    std::mt19937 random_;
    LogGenerator generator_;
    MonitorHarness harness_;
    TeeSink sink_{harness_.Engine};
    std::unique_ptr<LogReader> reader_;
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
