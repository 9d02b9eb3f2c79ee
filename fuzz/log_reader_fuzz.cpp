// The log reader against the complete lines of the file it read. The file is written in fuzzed appends, some
// of them while a pass is reading, and read by passes at fuzzed moments, some of which meet I/O errors, a
// file that cannot be opened or an identity the system cannot tell. Once the file ends with a line end, one
// more pass must have handed on every complete line, in order and once, except those longer than the
// reader's longest line.
//
// The input, so that a finding can be read and a case written by hand: a byte for the longest line, a byte
// for the read window, then steps, each a byte whose value modulo 4 says what it is: 0 appends the bytes that
// follow (their count is one more than the next byte modulo 64), 1 stages such bytes to be written during the
// next pass, 2 is a pass, 3 is a pass in trouble, with a byte of which bits 0-4 fail the first five Length or
// ReadAt calls, bit 5 fails the opening and bit 6 leaves the identity unknown.
#include "engine/log_reader.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/reference_lines.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using namespace tarnwatch;
using namespace tarnwatch::fuzz;

namespace {

constexpr wchar_t LogPath[] = L"ex030905.log";

// Keeps the views it is handed until told they are about to be overwritten or freed, as the monitor does: a
// view the reader spoils too early comes out as a wrong line or a use after free.
class HoldingSink final : public LineSink {
public:
    std::vector<std::string> Lines;

    bool Holding() const { return !held_.empty(); }
    void OnLine(std::string_view line) override { held_.push_back(line); }
    void ReleaseLines() override {
        Lines.insert(Lines.end(), held_.begin(), held_.end());
        held_.clear();
    }

private:
    std::vector<std::string_view> held_;
};

// The server writes while a pass reads: what is staged lands right after the pass has handed on a line.
class WritingPump final : public MessagePump {
public:
    explicit WritingPump(std::string& content) : content_(content) {}

    std::string Staged;

    void ProcessPendingMessages() override { Land(); }
    void Land() {
        content_ += Staged;
        Staged.clear();
    }

private:
    std::string& content_;
};

// Mostly windows of a few bytes, so that lines and CR LF pairs straddle their edges; now and then the real
// one.
std::size_t BufferBytes(std::uint8_t choice) {
    const std::size_t bytes = choice % 65;
    return bytes == 0 ? ReadSizes().BufferBytes : bytes;
}

std::int64_t LongestLine(std::uint8_t choice) {
    return choice < 0xC0 ? choice % 64 + 1 : ReadSizes().LongestLine;
}

void PrintLines(const char* title, const std::vector<std::string>& lines) {
    std::fprintf(stderr, "%s (%zu):\n", title, lines.size());
    for (const std::string& line : lines) {
        std::fprintf(stderr, "  [");
        for (const char byte : line) {
            std::fprintf(stderr, "%02x", static_cast<unsigned char>(byte));
        }
        std::fprintf(stderr, "]\n");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    testing::MemoryFileSystem files;
    std::string& content = files.Create(LogPath).Bytes;
    WritingPump pump(content);
    const std::int64_t longestLine = LongestLine(input.Byte());
    LogReader reader(files, pump, ReadSizes{BufferBytes(input.Byte()), longestLine});
    reader.StartAt(LogPath, 1);
    HoldingSink sink;

    const auto pass = [&] {
        reader.ReadPass(sink);
        FUZZ_CHECK(!sink.Holding());
        pump.Land();
    };
    while (!input.Empty()) {
        switch (input.Byte() % 4) {
        case 0:
            content += input.Bytes(input.Byte() % 64 + 1);
            break;
        case 1:
            pump.Staged += input.Bytes(input.Byte() % 64 + 1);
            break;
        case 2:
            pass();
            break;
        default: {
            const std::uint8_t trouble = input.Byte();
            files.FailingCalls = trouble & 0x1F;
            files.OpenFails = (trouble & 0x20) != 0;
            files.KnowsIdentity = (trouble & 0x40) == 0;
            pass();
            files.FailingCalls = 0;
            files.OpenFails = false;
            files.KnowsIdentity = true;
            break;
        }
        }
    }

    pump.Land();
    if (content.empty() || (content.back() != '\r' && content.back() != '\n')) {
        content += '\n';
    }
    pass();

    std::vector<std::string> expected = testing::ReferenceCompleteLines(content);
    std::erase_if(expected, [&](const std::string& line) { return std::ssize(line) > longestLine; });
    if (sink.Lines != expected) {
        PrintLines("lines handed on", sink.Lines);
        PrintLines("complete lines no longer than the longest line", expected);
    }
    FUZZ_CHECK(sink.Lines == expected);
    FUZZ_CHECK(reader.ReadOffset() == std::ssize(content) + 1);
    return 0;
}
