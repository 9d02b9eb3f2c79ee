// The monitor over a server's logs as servers, administrators and clocks treat them, read by passes at random
// moments through read windows of any size. The server appends in pieces that split lines anywhere (often
// right after a CR); the log is rotated away, cut and written anew in place, deleted, or overwritten by a
// log of the same shape whose last bytes before the read position are the same or by one that begins with
// the same header block, also in the middle of a pass (from the message pump and from inside a read).
// Midnight comes, the clock goes back a day and forward again, the server flushes late requests into
// yesterday's log, an unsaved Options change points at a folder holding another server's logs; reads fail and
// rows cannot be added, once or twice in a row. Every request names its file and its place there. No row is
// made that its file did not hold there or that was in the log at start-up, none twice, each file's requests
// in order and without a gap but for a request whose row failed twice, every request of a file that an
// undisturbed pass saw whole, and each row keeps its own fields as long as the row limit keeps it.
#include "engine/log_reader.h"
#include "engine/startup.h"
#include "tests/engine/monitor_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <random>
#include <set>

namespace tarnwatch {
namespace {

using testing::MonitorHarness;

struct Request {
    std::string Address;
    std::string Status;
    std::string Url;
};

// One file's content from its first byte, written piece by piece.
struct Generation {
    int Day = 0;
    unsigned Shape = 0;
    // Stands for the second the file was made.
    std::size_t Made = 0;
    std::string Content;
    std::vector<Request> Requests;
    // Just past each request's line end.
    std::vector<std::size_t> RequestEnds;
    std::size_t Written = 0;
    // Requests complete at start-up are never shown.
    std::size_t FirstShown = 0;
    // Requests complete when a pass that nothing disturbed read the file.
    std::size_t SeenWhole = 0;

    std::size_t CompleteRequests() const {
        return static_cast<std::size_t>(std::upper_bound(RequestEnds.begin(), RequestEnds.end(), Written) -
                                        RequestEnds.begin());
    }
};

std::size_t PickBufferBytes(unsigned seed) {
    std::mt19937 random(seed * 7919u);
    const std::size_t sizes[] = {std::uniform_int_distribution<std::size_t>(1, 40)(random), 61, 256,
                                 LogReader::DefaultBufferBytes};
    return sizes[random() % 4];
}

class ModelRun {
public:
    explicit ModelRun(unsigned seed) : random_(seed), harness_(nullptr, PickBufferBytes(seed)) {
        harness_.State.RowLimit = Between(0, 1) == 0 ? static_cast<std::int32_t>(Between(1, 3)) : 100000;
        harness_.Files.KnowsIdentity = Between(0, 2) != 0;
        NewGeneration(serverDay_, std::nullopt, true);
        Generation& first = generations_.back();
        // Start-up needs the field list; some requests are in the log before it.
        const std::size_t header = testing::LogHeader().size();
        first.Written = header + Between(0, first.Content.size() - header);
        harness_.Files.At(MonitorHarness::LogOf(serverDay_)).Bytes = first.Content.substr(0, first.Written);
        first.FirstShown = first.CompleteRequests();
        harness_.WriteSettings({"50", "5", "D:\\logs", "127.0.0.1"});
        EXPECT_TRUE(harness_.Engine.StartMonitor(MonitorHarness::SettingsFile));
        harness_.Pump.Hook = [this] { MaybeDisturb(); };
        harness_.Files.BeforeRead = [this](std::int64_t) { MaybeDisturb(); };
    }

    void Run() {
        for (int step = 0; step < 80; ++step) {
            switch (Between(0, 11)) {
            case 0:
            case 1:
            case 2:
                Append(serverDay_);
                break;
            case 3:
            case 4:
                Pass();
                break;
            case 5:
                Change(Between(0, 4), Between(0, 1) == 0);
                break;
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
        Finish(serverDay_);
        if (lateDay_) {
            Finish(*lateDay_);
        }
        harness_.List.FailNextAppend = false;
        Pass();
        Pass();
        Check();
    }

private:
    std::size_t Between(std::size_t low, std::size_t high) {
        return std::uniform_int_distribution<std::size_t>(low, high)(random_);
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
        generation.Shape = shape.value_or(static_cast<unsigned>(random_()));
        const std::size_t number = generations_.size();
        generation.Made = madeAs.value_or(number);
        char date[64];
        std::snprintf(date, sizeof date, "#Date: 2003-09-%02d 00:%02zu:%02zu", day, generation.Made / 60 % 60,
                      generation.Made % 60);
        generation.Content = testing::LogHeader();
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
                const Request request{"10.0." + std::to_string(draw(0, 255)) + ".1",
                                      std::to_string(draw(1, 5) * 100), url};
                generation.Content += testing::RequestLine(request.Address, request.Url, request.Status);
                generation.Requests.push_back(request);
                generation.RequestEnds.push_back(generation.Content.size() + 1);
            }
            generation.Content += ends[draw(0, 5)];
        }
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
    // place by a longer log: of the same shape (3), or with the same header block and other lines (4).
    void Change(std::size_t what, bool writeNow) {
        const Generation* const old = Current(serverDay_);
        if (what == 2) {
            harness_.Files.Remove(Path(serverDay_));
            gone_.insert(serverDay_);
            return;
        }
        const bool mimic = what >= 3 && old != nullptr;
        const std::size_t oldWritten = old != nullptr ? old->Written : 0;
        NewGeneration(serverDay_, mimic && what == 3 ? std::optional<unsigned>(old->Shape) : std::nullopt,
                      what == 0, mimic && what == 4 ? std::optional<std::size_t>(old->Made) : std::nullopt);
        if (mimic) {
            Generation& now = generations_.back();
            now.Written = std::min(now.Content.size(), oldWritten + Between(1, 200));
            harness_.Files.At(Path(serverDay_)).Bytes = now.Content.substr(0, now.Written);
        } else if (writeNow) {
            Append(serverDay_);
        }
    }

    void MaybeDisturb() {
        if (disturb_ && Between(0, 40) == 0) {
            disturbed_ = true;
            Change(Between(0, 4), false);
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
                                      testing::LogHeader() + testing::Request("10.9.9.9", "/another-server"));
            }
        } else {
            clockDay = what == 1 ? watchedDay_ - 1 : watchedDay_;
        }
    }

    void TroubledPass() {
        harness_.Files.FailingCalls = static_cast<std::uint32_t>(Between(1, 31));
        Pass();
        harness_.Files.FailingCalls = 0;
    }

    // The monitor's choices follow simple rules: a later day's log in the folder being read takes over, the
    // old one is read on until the late lines' time is up. A pass that throws could end before either, and a
    // log deleted in the middle of one could stop the switch, so neither happens in such a pass.
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
        const bool failing = harness_.Files.FailingCalls != 0;
        disturbed_ = false;
        disturb_ = !switching;
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

    void Check() {
        std::map<std::string, int> failures;
        for (const std::string& url : harness_.List.Failed) {
            ++failures[url];
        }
        std::map<std::size_t, std::size_t> next;
        for (const std::string& url : harness_.List.Appended) {
            SCOPED_TRACE(url);
            std::size_t number = 0, index = 0;
            ASSERT_EQ(std::sscanf(url.c_str(), "/g%zu-r%zu", &number, &index), 2)
                << "a row of no request of ours";
            ASSERT_LT(number, generations_.size());
            const Generation& generation = generations_[number];
            ASSERT_LT(index, generation.Requests.size());
            EXPECT_EQ(url, generation.Requests[index].Url) << "not a request its file held";
            EXPECT_GE(index, generation.FirstShown) << "a request from before start-up";
            const std::size_t expected = std::max(next[number], generation.FirstShown);
            EXPECT_GE(index, expected) << "a request twice or out of order";
            for (std::size_t skipped = expected; skipped < index; ++skipped) {
                EXPECT_GE(failures[generation.Requests[skipped].Url], 2) << "lost before " << index;
            }
            EXPECT_LT(failures[url], 2) << "a row that failed twice came back";
            next[number] = index + 1;
        }
        for (std::size_t number = 0; number < generations_.size(); ++number) {
            const Generation& generation = generations_[number];
            for (std::size_t index = std::max(next[number], generation.FirstShown);
                 index < generation.SeenWhole; ++index) {
                EXPECT_GE(failures[generation.Requests[index].Url], 2)
                    << "lost request " << index << " of file " << number;
            }
        }
        const auto& appended = harness_.List.Appended;
        const auto kept = std::min<std::ptrdiff_t>(std::ssize(appended), harness_.State.RowLimit);
        ASSERT_EQ(harness_.Rows().RowCount(), kept);
        for (int row = 1; row <= kept; ++row) {
            const std::string& url = appended[appended.size() - static_cast<std::size_t>(kept) + row - 1];
            std::size_t number = 0, index = 0;
            std::sscanf(url.c_str(), "/g%zu-r%zu", &number, &index);
            const Request& request = generations_[number].Requests[index];
            const MonitorRow& shown = harness_.Rows().Row(row);
            EXPECT_EQ(shown.Url, request.Url);
            EXPECT_EQ(shown.RemoteIp, request.Address);
            EXPECT_EQ(shown.Status, request.Status);
        }
    }

    std::mt19937 random_;
    MonitorHarness harness_;
    std::vector<Generation> generations_;
    // The generation each day's file holds now, and the days whose file is deleted.
    std::map<int, std::size_t> current_;
    std::set<int> gone_;
    // The newest day the server writes; the day the monitor reads; yesterday's, read for late lines.
    int serverDay_ = 5;
    int watchedDay_ = 5;
    std::optional<int> lateDay_;
    std::int64_t lateEndMs_ = 0;
    bool disturb_ = false;
    bool disturbed_ = false;
};

TEST(MonitorModel, EveryRequestOfEveryFileOnceInOrderWhateverIsDoneToTheLogsAndTheClock) {
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
