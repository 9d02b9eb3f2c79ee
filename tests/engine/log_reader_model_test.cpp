#include "tests/support/log_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <utility>

namespace tarnwatch {
namespace {

using testing::MonitorHarness;

class SeededChoices final : public testing::ModelChoices {
public:
    explicit SeededChoices(unsigned seed) : random_(seed) {}
    std::size_t Between(std::size_t low, std::size_t high) override {
        return std::uniform_int_distribution<std::size_t>(low, high)(random_);
    }
    bool Exhausted() const override { return false; }

private:
    std::mt19937 random_;
};

// Runs seeds 1 to last, stopping at the first that fails.
template <typename Run> void ForSeeds(unsigned last, Run run) {
    for (unsigned seed = 1; seed <= last && !::testing::Test::HasFailure(); ++seed) {
        SCOPED_TRACE(seed);
        run(seed);
    }
}

TEST(MonitorModel, EveryRequestOfEveryFileOnceInOrderWhateverIsDoneToTheLogsAndTheClock) {
    ForSeeds(400, [](unsigned seed) {
        SeededChoices choices(seed);
        EXPECT_EQ(testing::ModelRun(choices).Run(), std::vector<std::string>{});
    });
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
    ForSeeds(300, [](unsigned seed) { SkimRun(seed).Run(); });
}

} // namespace
} // namespace tarnwatch
