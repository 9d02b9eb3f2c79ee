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
#include <limits>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <utility>

namespace tarnwatch {
namespace {

using testing::MonitorHarness;

constexpr std::int32_t ManyRows = 100000;

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

// Windows of any size. With a row limit no pass reaches, half the runs look at every pass as a backlog to
// skim, which then hands everything on.
ReadSizes PickSizes(unsigned seed, std::int32_t rowLimit) {
    std::mt19937 random(seed * 7919u);
    const std::size_t windows[] = {std::uniform_int_distribution<std::size_t>(1, 40)(random), 61, 256,
                                   ReadSizes().BufferBytes};
    ReadSizes sizes{windows[random() % 4]};
    if (rowLimit == ManyRows && random() % 2 == 0) {
        sizes.SkimBytes = sizes.SkimBytesPerRow = 0;
    }
    return sizes;
}

std::int32_t PickRowLimit(unsigned seed) {
    return seed % 2 == 0 ? static_cast<std::int32_t>(seed / 2 % 3 + 1) : ManyRows;
}

class ModelRun {
public:
    explicit ModelRun(unsigned seed) : random_(seed), harness_(nullptr, PickSizes(seed, PickRowLimit(seed))) {
        harness_.State.RowLimit = PickRowLimit(seed);
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

// Runs seeds 1 to last, stopping at the first that fails.
template <typename Run> void ForSeeds(unsigned last) {
    for (unsigned seed = 1; seed <= last && !::testing::Test::HasFailure(); ++seed) {
        SCOPED_TRACE(seed);
        Run(seed).Run();
    }
}

TEST(MonitorModel, EveryRequestOfEveryFileOnceInOrderWhateverIsDoneToTheLogsAndTheClock) {
    ForSeeds<ModelRun>(400);
}

// A backlog in one pass, handed on whole or skimmed down to its directives and the lines of its newest rows:
// header blocks with other fields and back, filtered addresses, "#Fields:" inside requests, overlong lines,
// every line end, an incomplete last line. The user must see the same either way: the rows, where reading
// goes on, the tray, the tones that can sound and the warnings.
class SkimRun {
public:
    explicit SkimRun(unsigned seed) : random_(seed) {}

    void Run() {
        const std::size_t bufferBytes = Between(0, 1) == 0 ? Between(16, 300) : ReadSizes().BufferBytes;
        MonitorHarness whole(nullptr, ReadSizes{bufferBytes, 300, std::numeric_limits<std::int64_t>::max()});
        MonitorHarness skimmed(nullptr, ReadSizes{bufferBytes, 300, 0, 0});
        const std::int32_t rowLimit =
            static_cast<std::int32_t>(Between(0, 1) == 0 ? Between(0, 4) : Between(5, 60));
        const bool sound = Between(0, 1) == 0;
        const bool inTray = Between(0, 1) == 0;
        std::vector<std::wstring> filters;
        for (int address = 0; address < 4; ++address) {
            if (Between(0, 2) == 0) {
                filters.push_back(L"10.0.0." + std::to_wstring(address));
            }
        }
        for (MonitorHarness* harness : {&whole, &skimmed}) {
            harness->State.RowLimit = rowLimit;
            harness->State.SoundNotify = sound;
            harness->State.InTray = inTray;
            harness->State.FilterIps = filters;
            harness->Files.Create(MonitorHarness::LogOf(5), testing::LogHeader());
            harness->Engine.WatchLog(MonitorHarness::LogOf(5), {2003, 9, 5},
                                     std::ssize(testing::LogHeader()) + 1, true);
        }
        // Rows enough for the list, the tray and the tones that can wait.
        const auto enough =
            static_cast<std::size_t>(std::max({rowLimit, 1, sound ? Beeper::MostWaitingTones + 1 : 0}));
        for (int backlog = 0; backlog < 2; ++backlog) {
            const std::string lines = Backlog();
            const std::size_t wholeBefore = whole.List.Appended.size();
            const std::size_t skimmedBefore = skimmed.List.Appended.size();
            for (MonitorHarness* harness : {&whole, &skimmed}) {
                harness->Events.Events.clear();
                harness->Append(5, lines);
                harness->Engine.ReadNewLines();
            }
            Compare(whole, skimmed);
            EXPECT_EQ(skimmed.List.Appended.size() - skimmedBefore,
                      std::min(whole.List.Appended.size() - wholeBefore, enough))
                << "the skim hands on the lines of the newest rows only";
        }
    }

private:
    std::size_t Between(std::size_t low, std::size_t high) {
        return std::uniform_int_distribution<std::size_t>(low, high)(random_);
    }

    std::string Backlog() {
        static const char* const ends[] = {"\r\n", "\r\n", "\n", "\r", "\r\n\r\n"};
        // Now and then the LF of a CR LF comes only with the next backlog.
        std::string text = std::exchange(lateLf_, std::string());
        for (std::size_t line = 0, count = Between(0, 300); line < count; ++line) {
            switch (Between(0, 19)) {
            case 0:
                text +=
                    testing::LogHeader(Between(0, 1) == 0 ? "#Fields: date time c-ip" : testing::FieldsLine);
                break;
            case 1:
                text += std::string(Between(250, 400), 'L');
                break;
            case 2:
                text += "#Remark: x x x x x x x x x x x x";
                break;
            case 3:
                text += testing::RequestLine("10.0.0.9", "/#Fields:" + std::to_string(line));
                break;
            default:
                text += testing::RequestLine("10.0.0." + std::to_string(Between(0, 5)),
                                             "/r" + std::to_string(++requests_),
                                             std::to_string(Between(1, 5) * 100));
                break;
            }
            text += ends[Between(0, 4)];
        }
        if (Between(0, 3) == 0) {
            text += testing::RequestLine("10.0.0.8", "/incomplete");
        } else if (text.ends_with("\r\n") && Between(0, 1) == 0) {
            text.pop_back();
            lateLf_ = "\n";
        }
        return text;
    }

    static std::wstring LastTrayPicture(const MonitorHarness& harness) {
        for (auto event = harness.Events.Events.rbegin(); event != harness.Events.Events.rend(); ++event) {
            if (*event == L"blue" || *event == L"yellow") {
                return *event;
            }
        }
        return L"none";
    }

    static std::size_t TonesThatCanSound(const MonitorHarness& harness) {
        const auto tones =
            std::count_if(harness.Events.Events.begin(), harness.Events.Events.end(),
                          [](const std::wstring& event) { return event.starts_with(L"beep"); });
        return std::min<std::size_t>(static_cast<std::size_t>(tones), Beeper::MostWaitingTones + 1);
    }

    static void Compare(const MonitorHarness& whole, const MonitorHarness& skimmed) {
        ASSERT_EQ(skimmed.Rows().RowCount(), whole.Rows().RowCount());
        for (int row = 1; row <= whole.Rows().RowCount(); ++row) {
            EXPECT_EQ(skimmed.Rows().Row(row).Url, whole.Rows().Row(row).Url);
            EXPECT_EQ(skimmed.Rows().Row(row).RemoteIp, whole.Rows().Row(row).RemoteIp);
            EXPECT_EQ(skimmed.Rows().Row(row).Status, whole.Rows().Row(row).Status);
        }
        EXPECT_EQ(skimmed.Engine.CurrentLog().ReadOffset(), whole.Engine.CurrentLog().ReadOffset());
        EXPECT_EQ(LastTrayPicture(skimmed), LastTrayPicture(whole));
        EXPECT_EQ(TonesThatCanSound(skimmed), TonesThatCanSound(whole));
        EXPECT_EQ(skimmed.Boxes.Shown.size(), whole.Boxes.Shown.size()) << "the warning of other fields";
    }

    std::mt19937 random_;
    int requests_ = 0;
    std::string lateLf_;
};

TEST(MonitorModel, ASkimmedBacklogShowsWhatAFullPassShows) {
    ForSeeds<SkimRun>(300);
}

} // namespace
} // namespace tarnwatch
