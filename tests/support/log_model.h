// The monitor over a server's logs as servers, administrators and clocks treat them, read by passes at chosen
// moments through read windows of any size. The server appends in pieces that split lines anywhere (often
// right after a CR), also while a pass reads; the log is rotated away, cut and written anew in place,
// deleted, or overwritten by a log of the same shape whose last bytes before the read position are the same
// or by one that begins with the same header block, also in the middle of a pass (from the message pump and
// from inside a read). Midnight comes, the clock goes back a day and forward again, the server flushes late
// requests into yesterday's log, an unsaved Options change points at a folder holding another server's logs;
// files cannot be opened, reads fail and rows cannot be added, once or twice in a row. Every request names
// its file and its place there. No row is made that its file did not hold there, that was in the log at
// start-up or that is longer than the reader takes, none twice, each file's requests in order and without a
// gap but for a request whose row failed twice, every request of a file that an undisturbed pass saw whole,
// and each row keeps its own fields as long as the row limit keeps it.
//
// The choices come from a seeded generator in the test and from the fuzzer's input in the fuzz target.
#pragma once

#include "engine/log_reader.h"
#include "engine/startup.h"
#include "tests/support/monitor_harness.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace tarnwatch::testing {

class ModelChoices {
public:
    virtual ~ModelChoices() = default;
    // A number from low to high, both included.
    virtual std::size_t Between(std::size_t low, std::size_t high) = 0;
    // No choices left that are worth a step.
    virtual bool Exhausted() const = 0;
};

class ModelRun {
public:
    static constexpr std::int32_t ManyRows = 100000;
    static constexpr int MostSteps = 80;

    explicit ModelRun(ModelChoices& choices)
        : choices_(choices), rowLimit_(PickRowLimit()), sizes_(PickSizes()), harness_(nullptr, sizes_) {
        harness_.Files.KnowsIdentity = Between(0, 2) != 0;
        NewGeneration(serverDay_, std::nullopt, true);
        Generation& first = generations_.back();
        // Start-up needs the field list; some requests are in the log before it.
        const std::size_t header = LogHeader().size();
        first.Written = header + Between(0, first.Content.size() - header);
        harness_.Files.At(MonitorHarness::LogOf(serverDay_)).Bytes = first.Content.substr(0, first.Written);
        first.FirstShown = first.CompleteRequests();
        startWritten_ = first.Written;
        harness_.WriteSettings({std::to_string(rowLimit_), "5", "D:\\logs", "127.0.0.1"});
        started_ = harness_.Engine.StartMonitor(MonitorHarness::SettingsFile);
        harness_.Pump.Hook = [this] { MaybeDisturb(); };
        harness_.Files.BeforeRead = [this](std::int64_t) { MaybeDisturb(); };
    }

    // What went wrong, one line each; nothing when the monitor kept every promise.
    std::vector<std::string> Run() {
        if (!started_) {
            return {"start-up failed"};
        }
        for (int step = 0; step < MostSteps && !choices_.Exhausted(); ++step) {
            Step();
        }
        Finish(serverDay_);
        if (lateDay_) {
            Finish(*lateDay_);
        }
        harness_.List.FailNextAppend = false;
        Pass();
        Pass();
        Check();
        return faults_;
    }

private:
    struct Request {
        std::string Address;
        std::string Status;
        std::string Url;
        // Longer than the reader takes, so never a row.
        bool Overlong = false;
    };

    // One file's content from its first byte, written piece by piece.
    struct Generation {
        int Day = 0;
        unsigned Shape = 0;
        // Stands for the second the file was made.
        std::size_t Made = 0;
        std::string Content;
        std::vector<Request> Requests;
        // Where each request's line starts, and just past its line end.
        std::vector<std::size_t> RequestStarts;
        std::vector<std::size_t> RequestEnds;
        std::size_t Written = 0;
        // Requests complete at start-up are never shown.
        std::size_t FirstShown = 0;
        // Requests complete when a pass that nothing disturbed read the file.
        std::size_t SeenWhole = 0;
        // Up to here the file may look like one it overwrote in place, head and last bytes alike, which no
        // reader can tell apart: a request that starts before may be taken as read already, or come out
        // with the start the other file gave it.
        std::size_t LooksLikeBefore = 0;
        // Written over the file before it, which keeps its identity.
        bool InPlace = false;

        std::size_t CompleteRequests() const {
            return static_cast<std::size_t>(
                std::upper_bound(RequestEnds.begin(), RequestEnds.end(), Written) - RequestEnds.begin());
        }
    };

    std::size_t Between(std::size_t low, std::size_t high) { return choices_.Between(low, high); }

    // A limit below one keeps no row, as param.dat may ask.
    std::int32_t PickRowLimit() {
        return Between(0, 1) == 0 ? static_cast<std::int32_t>(Between(0, 4)) - 1 : ManyRows;
    }

    // Windows of any size, and now and then a longest line that about half the requests exceed. With a row
    // limit no pass reaches, half the runs look at every pass as a backlog to skim, which then hands
    // everything on.
    ReadSizes PickSizes() {
        const std::size_t windows[] = {Between(1, 40), 61, 256, ReadSizes().BufferBytes};
        ReadSizes sizes{windows[Between(0, 3)]};
        if (Between(0, 3) == 0) {
            sizes.LongestLine = 150;
        }
        if (rowLimit_ == ManyRows && Between(0, 1) == 0) {
            sizes.SkimBytes = sizes.SkimBytesPerRow = 0;
        }
        return sizes;
    }

    void Step() {
        switch (Between(0, 11)) {
        case 3:
        case 4:
            Pass();
            break;
        case 5: {
            // Named first: the order in which a call's arguments are worked out is the compiler's.
            const std::size_t what = Between(0, 4);
            Change(what, Between(0, 1) == 0);
            break;
        }
        case 6:
            LateLines();
            break;
        case 7:
            harness_.Clock.Ms += static_cast<std::int64_t>(Between(0, 180'000));
            break;
        case 8:
            ChangeDate();
            break;
        case 9:
            harness_.List.FailNextAppend = true;
            break;
        case 10:
            TroubledPass();
            break;
        default:
            Append(serverDay_);
            break;
        }
    }

    static std::wstring Path(int day) { return MonitorHarness::LogOf(day); }
    Generation* Current(int day) {
        const auto found = current_.find(day);
        return found == current_.end() || gone_.count(day) != 0 ? nullptr : &generations_[found->second];
    }

    // New content for a day's log: a header block with the second it was made (the same as another's
    // when given), then lines drawn from the shape, which a log made to look like another shares with it.
    // Every request's path starts with its tag and is long, so that the bytes before a line end never tell
    // two files of one shape apart.
    void NewGeneration(int day, std::optional<unsigned> shape, bool newFile,
                       std::optional<std::size_t> madeAs = std::nullopt) {
        Generation generation;
        generation.Day = day;
        generation.Shape = shape.value_or(static_cast<unsigned>(Between(0, 0xFFFFFFFF)));
        const std::size_t number = generations_.size();
        generation.Made = madeAs.value_or(number);
        char date[64];
        std::snprintf(date, sizeof date, "#Date: 2003-09-%02d 00:%02zu:%02zu", day, generation.Made / 60 % 60,
                      generation.Made % 60);
        generation.Content = LogHeader();
        generation.Content.replace(generation.Content.find("#Date:"), 26, date);
        std::mt19937 drawn(generation.Shape);
        const auto draw = [&drawn](std::size_t low, std::size_t high) {
            return std::uniform_int_distribution<std::size_t>(low, high)(drawn);
        };
        static const char* const others[] = {
            "#Remark: a directive with more than nine spaces in it, never a row", "   \t", "x\xE9y \xD6\xD0",
            "2003-09-05 10:15:32 10.1.1.1 - too few spaces"};
        static const char* const ends[] = {"\r\n", "\r\n", "\r\n", "\n", "\r", "\r\n\r\n"};
        for (std::size_t line = 0, count = draw(1, 12); line < count; ++line) {
            if (const std::size_t kind = draw(0, 7); kind < 4) {
                generation.Content += others[kind];
            } else {
                char tag[32];
                std::snprintf(tag, sizeof tag, "/g%03zu-r%03zu", number, generation.Requests.size());
                std::string url = tag;
                url.append(30 + draw(0, 30), 'x');
                url += '\xE9';
                Request request{"10.0." + std::to_string(draw(0, 255)) + ".1",
                                std::to_string(draw(1, 5) * 100), url};
                const std::string text = RequestLine(request.Address, request.Url, request.Status);
                request.Overlong = std::ssize(text) > sizes_.LongestLine;
                generation.RequestStarts.push_back(generation.Content.size());
                generation.Content += text;
                generation.Requests.push_back(request);
                generation.RequestEnds.push_back(generation.Content.size() + 1);
            }
            generation.Content += ends[draw(0, 5)];
        }
        // Until the reader has read the log it started in, it knows only where to start: whatever file it
        // then finds there is the one it started in.
        if (!startLearned_ && day == StartDay && !generations_.empty()) {
            generation.LooksLikeBefore = startWritten_;
        }
        generation.InPlace = !newFile && gone_.count(day) == 0;
        current_[day] = generations_.size();
        generations_.push_back(generation);
        if (newFile || gone_.count(day) != 0) {
            harness_.Files.Create(Path(day));
        } else {
            harness_.Files.At(Path(day)).Bytes.clear();
        }
        gone_.erase(day);
    }

    // Writes the next piece of a day's current file, split anywhere but often right after a CR.
    void Append(int day) {
        Generation* const current = Current(day);
        if (current == nullptr || current->Written == current->Content.size()) {
            return;
        }
        std::size_t piece =
            Between(1, std::min<std::size_t>(current->Content.size() - current->Written, 300));
        const std::size_t cr = current->Content.find('\r', current->Written);
        if (cr < current->Written + piece && Between(0, 3) == 0) {
            piece = cr + 1 - current->Written;
        }
        harness_.Files.At(Path(day)).Bytes += current->Content.substr(current->Written, piece);
        current->Written += piece;
    }

    // The server's file is rotated away (0), cut to nothing in place (1), deleted (2), or overwritten in
    // place by a longer log: of the same shape (3), or with the same header block and other lines (4). Now
    // and then the log a rotation brings is one of the same shape and second, which only the file's identity
    // tells apart.
    void Change(std::size_t what, bool writeNow) {
        const Generation* const old = Current(serverDay_);
        if (what == 2) {
            harness_.Files.Remove(Path(serverDay_));
            gone_.insert(serverDay_);
            return;
        }
        const bool mimic = old != nullptr && (what >= 3 || (what == 0 && Between(0, 2) == 0));
        const std::size_t oldWritten = old != nullptr ? old->Written : 0;
        NewGeneration(serverDay_, mimic && what != 4 ? std::optional<unsigned>(old->Shape) : std::nullopt,
                      what == 0, mimic && what != 3 ? std::optional<std::size_t>(old->Made) : std::nullopt);
        if (mimic) {
            Generation& now = generations_.back();
            now.Written = std::min(now.Content.size(), oldWritten + Between(1, 200));
            harness_.Files.At(Path(serverDay_)).Bytes = now.Content.substr(0, now.Written);
        } else if (writeNow) {
            Append(serverDay_);
        }
    }

    // In the middle of a pass the server writes on, or its file is replaced.
    void MaybeDisturb() {
        if (disturb_ && Between(0, 40) == 0) {
            disturbed_ = true;
            if (Between(0, 1) == 0) {
                Append(serverDay_);
            } else {
                Change(Between(0, 4), false);
            }
        }
    }

    // The server flushes requests into yesterday's log while the monitor still reads it.
    void LateLines() {
        if (lateDay_ && harness_.Clock.Ms < lateEndMs_) {
            Append(*lateDay_);
        }
    }

    // Midnight, with now and then an unsaved folder change whose next day's log is another server's; or the
    // clock set back a day, or forward to the day read.
    void ChangeDate() {
        int& clockDay = harness_.Clock.Date.Day;
        if (const std::size_t what = Between(0, 2); what == 0) {
            serverDay_ = std::max(clockDay, serverDay_) + 1;
            clockDay = serverDay_;
            NewGeneration(serverDay_, std::nullopt, true);
            if (Between(0, 1) == 0) {
                Append(serverDay_);
            }
            if (Between(0, 2) == 0) {
                harness_.State.LogFolder = L"E:\\other";
                harness_.Files.Create(L"E:\\other\\" + TodayLogFileName(harness_.Clock.Date),
                                      LogHeader() + testing::Request("10.9.9.9", "/another-server"));
            }
        } else {
            clockDay = what == 1 ? watchedDay_ - 1 : watchedDay_;
        }
    }

    void TroubledPass() {
        harness_.Files.FailingCalls = static_cast<std::uint32_t>(Between(1, 31));
        harness_.Files.OpenFails = Between(0, 3) == 0;
        Pass();
        harness_.Files.FailingCalls = 0;
        harness_.Files.OpenFails = false;
    }

    // The monitor's choices follow simple rules: a later day's log in the folder being read takes over, the
    // old one is read on until the late lines' time is up. A pass that throws could end before either, and a
    // log deleted or made in the middle of one could stop or start the switch, so neither happens in a pass
    // that could switch.
    void Pass() {
        const int clockDay = harness_.Clock.Date.Day;
        const bool switching = clockDay > watchedDay_ && harness_.Files.IsPlainFile(Path(clockDay));
        const bool lateLast = lateDay_ && harness_.Clock.Ms >= lateEndMs_;
        if (switching || lateLast) {
            harness_.List.FailNextAppend = false;
        }
        std::set<int> read = {watchedDay_};
        if (lateDay_) {
            read.insert(*lateDay_);
        }
        const std::size_t failures = harness_.List.Failed.size();
        const bool failing = harness_.Files.FailingCalls != 0 || harness_.Files.OpenFails;
        disturbed_ = false;
        disturb_ = !(clockDay > watchedDay_ && serverDay_ == clockDay);
        harness_.Engine.ReadNewLines();
        disturb_ = false;
        if (lateLast) {
            lateDay_.reset();
        }
        if (switching) {
            lateDay_ = watchedDay_;
            lateEndMs_ = harness_.Clock.Ms + Monitor::LateLinesMs;
            watchedDay_ = clockDay;
            read.insert(clockDay);
        }
        if (disturbed_ || failing || harness_.List.Failed.size() != failures) {
            return;
        }
        const Generation* const started = Current(StartDay);
        startLearned_ = startLearned_ ||
                        (read.count(StartDay) != 0 && started != nullptr && started->Written > startWritten_);
        for (const int day : read) {
            if (Generation* const current = Current(day)) {
                current->SeenWhole = std::max(current->SeenWhole, current->CompleteRequests());
            }
        }
    }

    // The server ends its file with a line end.
    void Finish(int day) {
        if (Current(day) == nullptr) {
            NewGeneration(day, std::nullopt, true);
        }
        Generation& current = *Current(day);
        current.Content += "\r\n";
        harness_.Files.At(Path(day)).Bytes += current.Content.substr(current.Written);
        current.Written = current.Content.size();
    }

    void Fault(const std::string& what, const std::string& url) { faults_.push_back(what + ": " + url); }

    // The request a row's path names, if it is one of ours.
    const Request* Named(const std::string& url, std::size_t& number, std::size_t& index) const {
        if (std::sscanf(url.c_str(), "/g%zu-r%zu", &number, &index) != 2 || number >= generations_.size() ||
            index >= generations_[number].Requests.size()) {
            return nullptr;
        }
        return &generations_[number].Requests[index];
    }

    static bool FailedTwice(const std::string& url, const std::map<std::string, int>& failures) {
        const auto failed = failures.find(url);
        return failed != failures.end() && failed->second >= 2;
    }

    // A request the monitor may leave out: too long to be one, its row failed twice, or the reader cannot
    // have told its file from the one before.
    static bool MayBeMissing(const Generation& generation, std::size_t index,
                             const std::map<std::string, int>& failures) {
        const Request& request = generation.Requests[index];
        return request.Overlong || FailedTwice(request.Url, failures) ||
               generation.RequestStarts[index] < generation.LooksLikeBefore;
    }

    // Beyond the header block, which look-alikes share, a look-alike's lines can come out cut together from
    // both files.
    void MarkLookAlikes() {
        constexpr std::size_t trail = LogReader::TrailBytes;
        for (std::size_t later = 0; later < generations_.size(); ++later) {
            for (std::size_t earlier = 0; earlier < later; ++earlier) {
                Generation& now = generations_[later];
                const Generation& before = generations_[earlier];
                if (before.Day != now.Day || before.Made != now.Made ||
                    (!now.InPlace && harness_.Files.KnowsIdentity)) {
                    continue;
                }
                const std::size_t end = std::min(before.Written, now.Content.size());
                for (std::size_t frontier = trail; frontier <= end; ++frontier) {
                    if (now.Content.compare(frontier - trail, trail, before.Content, frontier - trail,
                                            trail) == 0) {
                        now.LooksLikeBefore = std::max(now.LooksLikeBefore, frontier);
                    }
                }
                if (now.LooksLikeBefore > LogHeader().size()) {
                    cutTogetherFrom_.push_back(&now.Content);
                    cutTogetherFrom_.push_back(&before.Content);
                }
            }
        }
    }

    bool CutTogether(const std::string& url) const {
        return std::any_of(
            cutTogetherFrom_.begin(), cutTogetherFrom_.end(),
            [&url](const std::string* content) { return content->find(url) != std::string::npos; });
    }

    void Check() {
        MarkLookAlikes();
        std::map<std::string, int> failures;
        for (const std::string& url : harness_.List.Failed) {
            ++failures[url];
        }
        std::map<std::size_t, std::size_t> next;
        for (const std::string& url : harness_.List.Appended) {
            std::size_t number = 0, index = 0;
            const Request* const request = Named(url, number, index);
            if (request == nullptr || request->Url != url) {
                if (!CutTogether(url)) {
                    Fault("a row of no request its file held", url);
                }
                continue;
            }
            const Generation& generation = generations_[number];
            const std::size_t expected = std::max(next[number], generation.FirstShown);
            if (index < generation.FirstShown) {
                Fault("a request from before start-up", url);
            } else if (index < expected) {
                Fault("a request twice or out of order", url);
            }
            for (std::size_t skipped = expected; skipped < index; ++skipped) {
                if (!MayBeMissing(generation, skipped, failures)) {
                    Fault("lost before this row", generation.Requests[skipped].Url);
                }
            }
            if (request->Overlong) {
                Fault("a row of a line longer than the reader takes", url);
            } else if (FailedTwice(url, failures)) {
                Fault("a row that failed twice came back", url);
            }
            next[number] = index + 1;
        }
        for (std::size_t number = 0; number < generations_.size(); ++number) {
            const Generation& generation = generations_[number];
            for (std::size_t index = std::max(next[number], generation.FirstShown);
                 index < generation.SeenWhole; ++index) {
                if (!MayBeMissing(generation, index, failures)) {
                    Fault("lost after the last row of its file", generation.Requests[index].Url);
                }
            }
        }
        CheckRowFields();
        for (const ShownBox& box : harness_.Boxes.Shown) {
            faults_.push_back("a message box where all went by the rules: " +
                              std::string(box.Text.begin(), box.Text.end()));
        }
    }

    // The rows the limit keeps show the fields of the requests they were made of.
    void CheckRowFields() {
        const auto& appended = harness_.List.Appended;
        const auto kept = std::clamp<std::ptrdiff_t>(rowLimit_, 0, std::ssize(appended));
        if (harness_.Rows().RowCount() != kept) {
            faults_.push_back("the list holds " + std::to_string(harness_.Rows().RowCount()) + " rows, not " +
                              std::to_string(kept));
            return;
        }
        for (int row = 1; row <= kept; ++row) {
            const std::string& url = appended[appended.size() - static_cast<std::size_t>(kept) + row - 1];
            std::size_t number = 0, index = 0;
            const Request* const request = Named(url, number, index);
            const MonitorRow& shown = harness_.Rows().Row(row);
            if (request != nullptr && request->Url == url &&
                (shown.Url != request->Url || shown.RemoteIp != request->Address ||
                 shown.Status != request->Status)) {
                Fault("a row whose fields changed", url);
            }
        }
    }

    ModelChoices& choices_;
    std::int32_t rowLimit_;
    ReadSizes sizes_;
    MonitorHarness harness_;
    bool started_ = false;
    std::vector<Generation> generations_;
    // The generation each day's file holds now, and the days whose file is deleted.
    std::map<int, std::size_t> current_;
    std::set<int> gone_;
    // The newest day the server writes; the day the monitor reads; yesterday's, read for late lines.
    static constexpr int StartDay = 5;
    int serverDay_ = StartDay;
    int watchedDay_ = StartDay;
    std::size_t startWritten_ = 0;
    bool startLearned_ = false;
    std::optional<int> lateDay_;
    std::int64_t lateEndMs_ = 0;
    bool disturb_ = false;
    bool disturbed_ = false;
    std::vector<const std::string*> cutTogetherFrom_;
    std::vector<std::string> faults_;
};

} // namespace tarnwatch::testing
