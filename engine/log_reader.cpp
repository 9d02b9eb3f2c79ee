#include "engine/log_reader.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tarnwatch {

namespace {

constexpr char Cr = '\r';
constexpr char Lf = '\n';
// The bytes just before the read position, kept from one pass to the next: a file that no longer holds
// them there is another file.
constexpr std::size_t TailBytes = 64;

// Finds the first CR or LF. Each kind of line end is looked for once per stretch of the buffer and the
// answer kept until passed, so a log that uses only one kind costs no second scan per line.
class LineEndFinder {
public:
    void Reset() { cr_ = lf_ = nullptr; }

    const char* Find(const char* begin, const char* end) {
        const char* const found = std::min(Next(Cr, cr_, begin, end), Next(Lf, lf_, begin, end));
        return found == end ? nullptr : found;
    }

private:
    static const char* Next(char byte, const char*& known, const char* begin, const char* end) {
        if (known == nullptr || known < begin) {
            const void* found = std::memchr(begin, byte, static_cast<std::size_t>(end - begin));
            known = found != nullptr ? static_cast<const char*>(found) : end;
        }
        return known;
    }

    const char* cr_ = nullptr;
    const char* lf_ = nullptr;
};

} // namespace

// One pass over the file. Positions are 0-based; nothing at or past the length taken at the start is read.
class ReadPassRun {
public:
    ReadPassRun(LogReader& reader, SharedState& state, LineSink& sink, SharedReadFile& file,
                std::int64_t length)
        : reader_(reader), state_(state), sink_(sink), file_(file), length_(length) {}

    void Run(const std::optional<FileIdentity>& identity);

private:
    enum class Outcome { Read, Failed, Shrunk };

    struct Scan {
        Outcome Result = Outcome::Read;
        // The line end found, or -1 when there is none before the length.
        std::int64_t End = -1;
    };

    std::optional<bool> IsLastPassesFile(const std::optional<FileIdentity>& identity, std::int64_t position);
    std::optional<bool> HoldsBefore(std::int64_t position, const std::string& bytes);
    bool KeepBytesBefore(std::int64_t position, std::string& bytes);
    Outcome Load(std::int64_t from, std::size_t capacity);
    bool Holds(std::int64_t from, std::int64_t to) const { return from >= start_ && to <= start_ + Size(); }
    char At(std::int64_t position) const {
        return reader_.buffer_[static_cast<std::size_t>(position - start_)];
    }
    std::int64_t Size() const { return static_cast<std::int64_t>(size_); }
    Scan FindLineEnd(std::int64_t from);
    Outcome SkipLfAfterCr(std::int64_t& position);
    Outcome StartAfterCr(std::int64_t& position);
    void StartOver();
    bool KeepTail(std::int64_t position);

    LogReader& reader_;
    SharedState& state_;
    LineSink& sink_;
    SharedReadFile& file_;
    std::int64_t length_;
    std::int64_t start_ = 0;
    std::size_t size_ = 0;
    LineEndFinder finder_;
};

void ReadPassRun::Run(const std::optional<FileIdentity>& identity) {
    std::int64_t position = state_.ReadOffset - 1;
    const std::optional<bool> same = IsLastPassesFile(identity, position);
    if (!same) {
        return;
    }
    if (!*same) {
        StartOver();
        position = 0;
    }
    reader_.identity_ = identity;
    if (reader_.scannedTo_ > position) {
        // The incomplete line was rewritten since: it is looked through again from its start.
        const std::optional<bool> unchanged = HoldsBefore(reader_.scannedTo_, reader_.scannedTail_);
        if (!unchanged) {
            return;
        }
        if (!*unchanged) {
            reader_.scannedTo_ = 0;
        }
    }

    Outcome outcome = StartAfterCr(position);
    while (outcome == Outcome::Read && position < length_) {
        const std::int64_t from = std::clamp(reader_.scannedTo_, position, length_);
        const Scan scan = FindLineEnd(from);
        if ((outcome = scan.Result) != Outcome::Read) {
            break;
        }
        if (scan.End < 0) {
            // An incomplete line waits for its end; the next pass looks on from here instead of from its
            // start.
            reader_.scannedTo_ = length_;
            break;
        }
        const std::int64_t lineLength = scan.End - position;
        // An overlong line is never loaded: only its end was looked for.
        if (lineLength <= reader_.longestLine_) {
            if (!Holds(position, scan.End + 1)) {
                const auto needed = static_cast<std::size_t>(lineLength + 1);
                if ((outcome = Load(position, std::max(reader_.bufferBytes_, needed))) != Outcome::Read) {
                    break;
                }
            }
            sink_.OnLine(std::string_view(&reader_.buffer_[static_cast<std::size_t>(position - start_)],
                                          static_cast<std::size_t>(lineLength)));
        }
        reader_.scannedTo_ = 0;
        position = scan.End + 1;
        state_.ReadOffset = position + 1;
        if (At(scan.End) == Cr) {
            outcome = SkipLfAfterCr(position);
        }
        reader_.pump_.ProcessPendingMessages();
    }
    // A file started over while this pass read it: what the changed file gave is not handed on, and the next
    // pass takes the new content from its first byte.
    if (outcome == Outcome::Shrunk || !KeepTail(position)) {
        StartOver();
    }
}

// Empty when the file cannot be read now.
std::optional<bool> ReadPassRun::IsLastPassesFile(const std::optional<FileIdentity>& identity,
                                                  std::int64_t position) {
    if (position < 0 || position > length_) {
        return false;
    }
    if (reader_.identity_ && identity && *reader_.identity_ != *identity) {
        return false;
    }
    return HoldsBefore(position, reader_.tail_);
}

// Whether the file still holds the bytes just before the 0-based position; empty when it cannot be read now.
std::optional<bool> ReadPassRun::HoldsBefore(std::int64_t position, const std::string& bytes) {
    if (bytes.empty()) {
        return true;
    }
    const auto count = static_cast<std::int64_t>(bytes.size());
    if (position < count || position > length_) {
        return false;
    }
    std::array<char, TailBytes> found{};
    const auto read = file_.ReadAt(position - count, found.data(), bytes.size());
    if (!read) {
        return std::nullopt;
    }
    return *read == bytes.size() && std::equal(bytes.begin(), bytes.end(), found.begin());
}

ReadPassRun::Outcome ReadPassRun::Load(std::int64_t from, std::size_t capacity) {
    sink_.ReleaseLines();
    finder_.Reset();
    const auto wanted = static_cast<std::size_t>(
        std::clamp<std::int64_t>(length_ - from, 0, static_cast<std::int64_t>(capacity)));
    std::vector<char>& buffer = reader_.buffer_;
    if (buffer.size() < wanted) {
        buffer.resize(wanted);
    }
    start_ = from;
    size_ = 0;
    const auto read = wanted == 0 ? std::optional<std::size_t>(0) : file_.ReadAt(from, buffer.data(), wanted);
    if (!read) {
        return Outcome::Failed;
    }
    size_ = *read;
    return size_ < wanted ? Outcome::Shrunk : Outcome::Read;
}

ReadPassRun::Scan ReadPassRun::FindLineEnd(std::int64_t from) {
    for (std::int64_t at = from; at < length_;) {
        if (!Holds(at, at + 1)) {
            if (const Outcome loaded = Load(at, reader_.bufferBytes_); loaded != Outcome::Read) {
                return {loaded};
            }
        }
        const char* const data = reader_.buffer_.data();
        const char* const begin = data + (at - start_);
        if (const char* const end = finder_.Find(begin, data + size_)) {
            return {Outcome::Read, start_ + (end - data)};
        }
        at = start_ + Size();
    }
    return {};
}

// A CR at the end of the data may be the first half of a CR LF whose LF comes later: that LF ends no line.
ReadPassRun::Outcome ReadPassRun::SkipLfAfterCr(std::int64_t& position) {
    if (position >= length_) {
        return Outcome::Read;
    }
    if (!Holds(position, position + 1)) {
        if (const Outcome loaded = Load(position, reader_.bufferBytes_); loaded != Outcome::Read) {
            return loaded;
        }
    }
    if (At(position) == Lf) {
        ++position;
        state_.ReadOffset = position + 1;
    }
    return Outcome::Read;
}

// The bytes kept from the last pass tell whether the last line it took ended with a CR; without them, as at
// the start, the byte is read.
ReadPassRun::Outcome ReadPassRun::StartAfterCr(std::int64_t& position) {
    if (position == 0 || position >= length_) {
        return Outcome::Read;
    }
    if (!reader_.tail_.empty()) {
        return reader_.tail_.back() == Cr ? SkipLfAfterCr(position) : Outcome::Read;
    }
    if (const Outcome loaded = Load(position - 1, reader_.bufferBytes_); loaded != Outcome::Read) {
        return loaded;
    }
    return At(position - 1) == Cr ? SkipLfAfterCr(position) : Outcome::Read;
}

void ReadPassRun::StartOver() {
    state_.ReadOffset = 1;
    reader_.ForgetFile();
}

// False when the file no longer holds what this pass read.
bool ReadPassRun::KeepTail(std::int64_t position) {
    return KeepBytesBefore(position, reader_.tail_) &&
           (reader_.scannedTo_ <= position || KeepBytesBefore(reader_.scannedTo_, reader_.scannedTail_));
}

bool ReadPassRun::KeepBytesBefore(std::int64_t position, std::string& bytes) {
    const std::int64_t count = std::min<std::int64_t>(position, TailBytes);
    if (Holds(position - count, position)) {
        const char* const end = reader_.buffer_.data() + (position - start_);
        bytes.assign(end - count, end);
        return true;
    }
    bytes.resize(static_cast<std::size_t>(count));
    const auto read = file_.ReadAt(position - count, bytes.data(), bytes.size());
    if (!read) {
        // Nothing to compare with next time; the file's identity still tells a new one.
        bytes.clear();
        return true;
    }
    return *read == bytes.size();
}

LogReader::LogReader(FileSystem& files, MessagePump& pump, std::size_t bufferBytes, std::int64_t longestLine)
    : files_(files), pump_(pump), bufferBytes_(std::max<std::size_t>(bufferBytes, 1)),
      longestLine_(std::max<std::int64_t>(longestLine, 1)) {}

void LogReader::ForgetFile() {
    identity_.reset();
    tail_.clear();
    scannedTo_ = 0;
    scannedTail_.clear();
}

void LogReader::ReadPass(SharedState& state, LineSink& sink) {
    const auto file = files_.OpenShared(state.LogFilePath);
    if (!file) {
        return;
    }
    const std::optional<std::int64_t> length = file->Length();
    if (!length) {
        return;
    }
    ReadPassRun run(*this, state, sink, *file, *length);
    try {
        run.Run(file->Identity());
    } catch (...) {
        sink.ReleaseLines();
        throw;
    }
    sink.ReleaseLines();

    if (buffer_.size() > bufferBytes_) {
        // A long line is rare; its memory goes back rather than staying for the rest of the run.
        std::vector<char>().swap(buffer_);
    }
}

} // namespace tarnwatch
