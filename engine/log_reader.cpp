#include "engine/log_reader.h"

#include "engine/backlog_outline.h"
#include "engine/byte_scan.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace tarnwatch {

namespace {

constexpr char Cr = '\r';
constexpr char Lf = '\n';

struct HeadExtent {
    std::size_t Size = 0;
    bool Complete = false;
};

// How much of a file's first bytes recognises it: its first header block, or where it has none its first
// TrailBytes. Not complete while the bytes end before that does.
HeadExtent FindHeadExtent(std::string_view first) {
    if (first.empty() || first.front() != '#') {
        const std::size_t size = std::min(first.size(), LogReader::TrailBytes);
        return {size, size == LogReader::TrailBytes};
    }
    for (std::size_t at = 0; at < first.size() && first[at] == '#';) {
        const char* const end = FindLineEnd(first.data() + at, first.data() + first.size());
        if (end == nullptr) {
            break;
        }
        at = static_cast<std::size_t>(end - first.data()) + 1;
        if (*end == Cr && at < first.size() && first[at] == Lf) {
            ++at;
        }
        if (at < first.size() && first[at] != '#') {
            return {at, true};
        }
    }
    return {first.size(), first.size() >= LogReader::HeadBytes};
}

} // namespace

// One pass over the file; nothing at or past the length taken at its start is read.
class ReadPassRun {
public:
    ReadPassRun(LogReader& reader, LineSink& sink, SharedReadFile& file, std::int64_t length)
        : reader_(reader), sink_(sink), file_(file), length_(length) {}

    void Run(const std::optional<FileIdentity>& identity);

private:
    enum class Outcome { Read, Failed, Changed };

    Outcome ReadLines(std::int64_t until);
    bool ShouldSkim();
    Outcome CheckTrail();
    Outcome JumpTo(std::int64_t lineStart);
    Outcome Skim();
    Outcome ReadHead(std::string& bytes);
    void GrowHead();
    Outcome CheckHead();
    Outcome Load();
    void HandOn(std::int64_t lineEnd);
    void MovePast(std::int64_t lineEnd);
    char At(std::int64_t position) const {
        return reader_
            .buffer_[LogReader::TrailBytes + static_cast<std::size_t>(position - reader_.windowStart_)];
    }

    LogReader& reader_;
    LineSink& sink_;
    SharedReadFile& file_;
    std::int64_t length_;
    std::string headBefore_;
    std::string headAfter_;
    std::string trailFound_;
};

void ReadPassRun::Run(const std::optional<FileIdentity>& identity) {
    LogReader& r = reader_;
    const bool otherFile = r.identity_ && identity && *r.identity_ != *identity;
    bool startedOver = otherFile || r.frontier_ > length_;
    bool skimmed = false;
    if (startedOver) {
        r.StartOver(identity);
    } else if (!r.identity_) {
        r.identity_ = identity;
    }
    // With nothing new to read, the head alone tells a file replaced by one of the same length; otherwise it
    // is compared after each window is read.
    Outcome outcome = r.frontier_ >= length_ ? CheckHead() : Outcome::Read;
    for (;;) {
        if (outcome == Outcome::Changed) {
            // Nothing the changed file gave is handed on; it is read anew from its first byte, once in a pass
            // so that a file overwritten again and again cannot hold the pass.
            r.StartOver(identity);
            // The file may have changed length since the pass began.
            const std::optional<std::int64_t> length =
                std::exchange(startedOver, true) ? std::nullopt : file_.Length();
            if (!length) {
                return;
            }
            length_ = *length;
            outcome = r.frontier_ >= length_ ? CheckHead() : Outcome::Read;
            continue;
        }
        if (outcome == Outcome::Failed) {
            return;
        }
        if (!skimmed && ShouldSkim()) {
            skimmed = true;
            outcome = Skim();
            continue;
        }
        outcome = ReadLines(length_);
        if (outcome == Outcome::Read) {
            return;
        }
    }
}

// Hands on the lines that start before until, reading on as far as the length.
ReadPassRun::Outcome ReadPassRun::ReadLines(std::int64_t until) {
    LogReader& r = reader_;
    for (;;) {
        if (r.afterCr_ && r.position_ < r.frontier_) {
            r.afterCr_ = false;
            if (At(r.position_) == Lf) {
                r.scanFrom_ = ++r.position_;
            }
        }
        if (r.position_ >= until) {
            return Outcome::Read;
        }
        if (r.position_ < r.frontier_) {
            const char* const window = r.Window();
            const std::int64_t from = std::max(r.scanFrom_, r.windowStart_) - r.windowStart_;
            if (const char* const end = FindLineEnd(window + from, window + (r.frontier_ - r.windowStart_))) {
                HandOn(r.windowStart_ + (end - window));
                continue;
            }
            r.scanFrom_ = r.frontier_;
            r.overlong_ = r.overlong_ || r.frontier_ - r.position_ > r.longestLine_;
        }
        if (r.frontier_ >= length_) {
            return Outcome::Read;
        }
        if (const Outcome loaded = Load(); loaded != Outcome::Read) {
            return loaded;
        }
    }
}

bool ReadPassRun::ShouldSkim() {
    const LogReader& r = reader_;
    const std::size_t enough = sink_.RowsEnough();
    return enough > 0 && !r.overlong_ &&
           length_ - r.position_ >
               std::max(r.skimBytes_, static_cast<std::int64_t>(enough) * r.skimBytesPerRow_);
}

// The bytes before the frontier against those read there before, when no window read is to compare them.
ReadPassRun::Outcome ReadPassRun::CheckTrail() {
    const LogReader& r = reader_;
    if (!r.trailKnown_ || r.trail_.empty()) {
        return Outcome::Read;
    }
    trailFound_.resize(r.trail_.size());
    const auto read =
        file_.ReadAt(r.frontier_ - std::ssize(r.trail_), trailFound_.data(), trailFound_.size());
    if (!read || *read < trailFound_.size()) {
        return Outcome::Failed;
    }
    return trailFound_ == r.trail_ ? Outcome::Read : Outcome::Changed;
}

// Passes over the lines whose rows would be trimmed away again before the pass is over. The directives among
// them are still handed on, in order, for what they change.
ReadPassRun::Outcome ReadPassRun::Skim() {
    LogReader& r = reader_;
    if (const Outcome head = CheckHead(); head != Outcome::Read) {
        return head;
    }
    if (const Outcome trail = CheckTrail(); trail != Outcome::Read) {
        return trail;
    }
    if (r.afterCr_) {
        // The LF of a CR LF whose CR ended the last line read is no line of its own.
        char next = 0;
        const auto read = file_.ReadAt(r.position_, &next, 1);
        if (!read || *read == 0) {
            return Outcome::Failed;
        }
        r.afterCr_ = false;
        if (next == Lf) {
            if (const Outcome jumped = JumpTo(r.position_ + 1); jumped != Outcome::Read) {
                return jumped;
            }
        }
    }
    const std::optional<BacklogOutline> outline = OutlineBacklog(file_, r.position_, length_, r.bufferBytes_,
                                                                 r.longestLine_, sink_, sink_.RowsEnough());
    if (!outline) {
        return Outcome::Failed;
    }
    for (const std::int64_t directive : outline->Directives) {
        if (directive >= outline->Cut) {
            break;
        }
        if (const Outcome jumped = JumpTo(directive); jumped != Outcome::Read) {
            return jumped;
        }
        if (const Outcome handed = ReadLines(directive + 1); handed != Outcome::Read) {
            return handed;
        }
    }
    return JumpTo(std::max(outline->Cut, r.position_));
}

// Goes on at a line start. Past what the window holds, the bytes before the new start are taken at once as
// the trail: left unknown until the next read, they would let a file overwritten in between, head and all,
// pass for this one.
ReadPassRun::Outcome ReadPassRun::JumpTo(std::int64_t lineStart) {
    LogReader& r = reader_;
    if (lineStart == r.position_) {
        return Outcome::Read;
    }
    if (r.WindowHolds(lineStart)) {
        r.JumpTo(lineStart);
        return Outcome::Read;
    }
    std::string trail(static_cast<std::size_t>(std::min<std::int64_t>(lineStart, LogReader::TrailBytes)),
                      '\0');
    if (!trail.empty()) {
        const auto read = file_.ReadAt(lineStart - std::ssize(trail), trail.data(), trail.size());
        if (!read || *read < trail.size()) {
            return Outcome::Failed;
        }
    }
    r.JumpTo(lineStart);
    // The byte before the start tells whether a LF there ends no line.
    r.afterCr_ = !trail.empty() && trail.back() == Cr;
    r.trail_ = std::move(trail);
    r.trailKnown_ = true;
    return Outcome::Read;
}

// Reads the first bytes of the file into bytes: those of the recognising head, or while it still grows with
// the file up to HeadBytes. Changed when they do not begin with the head.
ReadPassRun::Outcome ReadPassRun::ReadHead(std::string& bytes) {
    const LogReader& r = reader_;
    const std::size_t wanted =
        r.headComplete_ ? r.head_.size()
                        : static_cast<std::size_t>(std::min<std::int64_t>(length_, LogReader::HeadBytes));
    if (wanted < r.head_.size()) {
        return Outcome::Changed;
    }
    bytes.resize(wanted);
    const auto read = wanted == 0 ? std::optional<std::size_t>(0) : file_.ReadAt(0, bytes.data(), wanted);
    if (!read) {
        return Outcome::Failed;
    }
    if (*read < r.head_.size() || !std::equal(r.head_.begin(), r.head_.end(), bytes.begin())) {
        return Outcome::Changed;
    }
    // Shorter than at the start of the pass, but not below its head: the next pass sees how long it is.
    return *read < wanted ? Outcome::Failed : Outcome::Read;
}

// The head grows from the bytes just read until the first header block is complete.
void ReadPassRun::GrowHead() {
    LogReader& r = reader_;
    if (!r.headComplete_) {
        const HeadExtent extent = FindHeadExtent(headAfter_);
        r.head_.assign(headAfter_, 0, extent.Size);
        r.headComplete_ = extent.Complete;
    }
}

ReadPassRun::Outcome ReadPassRun::CheckHead() {
    const Outcome outcome = ReadHead(headAfter_);
    if (outcome == Outcome::Read) {
        GrowHead();
    }
    return outcome;
}

// Reads on from the frontier, keeping the line being read and taking the bytes before the frontier again:
// they must be those read there before, and the file must still begin as it did once the window is read,
// or the file was overwritten since.
ReadPassRun::Outcome ReadPassRun::Load() {
    LogReader& r = reader_;
    // A head still growing is read before the window as well: both reads must agree, or the file changed
    // between them and the window may hold either file.
    if (!r.headComplete_) {
        if (const Outcome before = ReadHead(headBefore_); before != Outcome::Read) {
            return before;
        }
    }
    sink_.ReleaseLines();
    const std::int64_t keepFrom = r.overlong_ ? r.frontier_ : r.position_;
    const auto kept = static_cast<std::size_t>(r.frontier_ - keepFrom);
    const auto wanted = static_cast<std::size_t>(std::min<std::int64_t>(
        length_ - r.frontier_, static_cast<std::int64_t>(std::max(r.bufferBytes_, kept))));
    const std::size_t overlap =
        r.trailKnown_ ? r.trail_.size()
                      : static_cast<std::size_t>(std::min<std::int64_t>(r.frontier_, LogReader::TrailBytes));
    if (r.buffer_.size() < LogReader::TrailBytes + kept + wanted) {
        r.buffer_.resize(LogReader::TrailBytes + kept + wanted);
    }
    std::memmove(r.Window(), r.Window() + (keepFrom - r.windowStart_), kept);
    r.windowStart_ = keepFrom;

    char* const into = r.Window() + kept - overlap;
    const auto read = file_.ReadAt(r.frontier_ - static_cast<std::int64_t>(overlap), into, overlap + wanted);
    // A file that got shorter since the pass began is left for the next pass, which compares its length
    // with what was read.
    const bool failed = !read || *read < overlap + wanted;
    // What the read wrote over the end of the kept line is read again, and compared, before it is used.
    if (failed || (r.trailKnown_ && !std::equal(into, into + overlap, r.trail_.begin()))) {
        return failed ? Outcome::Failed : Outcome::Changed;
    }
    if (const Outcome head = ReadHead(headAfter_); head != Outcome::Read) {
        return head;
    }
    if (!r.headComplete_) {
        const std::size_t both = std::min(headBefore_.size(), headAfter_.size());
        if (!std::equal(headBefore_.begin(), headBefore_.begin() + static_cast<std::ptrdiff_t>(both),
                        headAfter_.begin())) {
            return Outcome::Changed;
        }
        GrowHead();
    }
    if (!r.trailKnown_ && overlap > 0) {
        // The first read after StartAt: the byte before the start tells whether a LF there ends no line.
        r.afterCr_ = into[overlap - 1] == Cr;
    }
    r.frontier_ += static_cast<std::int64_t>(wanted);
    const auto trail = static_cast<std::size_t>(std::min<std::int64_t>(r.frontier_, LogReader::TrailBytes));
    r.trail_.assign(into + overlap + wanted - trail, trail);
    r.trailKnown_ = true;
    return Outcome::Read;
}

void ReadPassRun::HandOn(std::int64_t lineEnd) {
    LogReader& r = reader_;
    if (!r.overlong_ && lineEnd - r.position_ <= r.longestLine_) {
        try {
            sink_.OnLine(std::string_view(r.Window() + (r.position_ - r.windowStart_),
                                          static_cast<std::size_t>(lineEnd - r.position_)));
        } catch (...) {
            // Tried again at the next pass; a line that fails again is given up, so one line can never hold
            // up the rest of the log.
            if (std::exchange(r.failedOnce_, !r.failedOnce_)) {
                MovePast(lineEnd);
            }
            throw;
        }
    }
    r.failedOnce_ = false;
    MovePast(lineEnd);
    r.pump_.ProcessPendingMessages();
}

void ReadPassRun::MovePast(std::int64_t lineEnd) {
    LogReader& r = reader_;
    r.afterCr_ = At(lineEnd) == Cr;
    r.position_ = r.scanFrom_ = lineEnd + 1;
    r.overlong_ = false;
}

LogReader::LogReader(FileSystem& files, MessagePump& pump, const ReadSizes& sizes)
    : files_(files), pump_(pump), bufferBytes_(std::max<std::size_t>(sizes.BufferBytes, 1)),
      longestLine_(std::max<std::int64_t>(sizes.LongestLine, 1)), skimBytes_(sizes.SkimBytes),
      skimBytesPerRow_(sizes.SkimBytesPerRow) {}

void LogReader::StartAt(std::wstring path, std::int64_t readOffset) {
    path_ = std::move(path);
    StartOver(std::nullopt);
    position_ = windowStart_ = frontier_ = scanFrom_ = std::max<std::int64_t>(readOffset - 1, 0);
    trailKnown_ = position_ == 0;
}

void LogReader::JumpTo(std::int64_t lineStart) {
    if (lineStart == position_) {
        return;
    }
    if (!WindowHolds(lineStart)) {
        // The next read takes the bytes before the new start as they are.
        windowStart_ = frontier_ = lineStart;
        trailKnown_ = false;
    }
    position_ = scanFrom_ = lineStart;
    afterCr_ = overlong_ = failedOnce_ = false;
}

void LogReader::StartOver(const std::optional<FileIdentity>& identity) {
    position_ = windowStart_ = frontier_ = scanFrom_ = 0;
    identity_ = identity;
    head_.clear();
    headComplete_ = false;
    trail_.clear();
    trailKnown_ = true;
    afterCr_ = overlong_ = failedOnce_ = false;
}

void LogReader::ReadPass(LineSink& sink) {
    const auto file = files_.OpenShared(path_);
    if (!file) {
        return;
    }
    const std::optional<std::int64_t> length = file->Length();
    if (!length) {
        return;
    }
    ReadPassRun run(*this, sink, *file, *length);
    try {
        run.Run(file->Identity());
    } catch (...) {
        sink.ReleaseLines();
        throw;
    }
    sink.ReleaseLines();

    if (buffer_.size() > TrailBytes + 2 * bufferBytes_) {
        // A long line is rare; its memory goes back rather than staying for the rest of the run.
        const std::int64_t keepFrom = overlong_ ? frontier_ : position_;
        std::vector<char> kept(TrailBytes + static_cast<std::size_t>(frontier_ - keepFrom));
        std::copy(Window() + (keepFrom - windowStart_), Window() + (frontier_ - windowStart_),
                  kept.begin() + TrailBytes);
        buffer_.swap(kept);
        windowStart_ = keepFrom;
    }
}

} // namespace tarnwatch
