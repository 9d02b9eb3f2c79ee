// The monitor over a day's logs: the rows it makes of lines, header blocks with other fields, midnight, and
// failures and ticks inside a pass.
#include "engine/messages.h"
#include "tests/support/monitor_harness.h"

#include <gtest/gtest.h>

namespace tarnwatch {
namespace {

using testing::LogHeader;
using testing::MonitorHarness;
using testing::Request;
using testing::RequestLine;
using Texts = std::vector<std::wstring>;
using Urls = std::vector<std::string>;

const std::string ExampleLine = RequestLine("192.168.0.7");

TEST(ParseRecord, LeavesOutFilteredAddressesAndTurnsTheTrayBlueAndBeepsBeforeEachShownRow) {
    MonitorHarness harness;
    // Only the spaces around an entry are left out of the comparison.
    harness.State.FilterIps = {L"192.168.0", L"\t192.168.0.7", L"  10.0.0.1", L"10.0.0.3 "};
    harness.Engine.ParseRecord(ExampleLine);
    EXPECT_EQ(harness.Events.Events, Texts{L"row 192.168.0.7"}) << "neither in the tray nor with sound";

    harness.Events.Events.clear();
    harness.State.InTray = true;
    harness.State.SoundNotify = true;
    for (const std::string& line : {ExampleLine, RequestLine("10.0.0.1"), RequestLine("10.0.0.3"),
                                    std::string("#Remark: x x x x x x x x x x x"), RequestLine("10.0.0.2")}) {
        harness.Engine.ParseRecord(line);
    }
    EXPECT_EQ(harness.Events.Events, (Texts{L"blue", L"beep 400 200", L"row 192.168.0.7", L"blue",
                                            L"beep 400 200", L"row 10.0.0.2"}));
}

TEST(ParseRecord, ShowsTheTimeOfReadingTakenOncePerSecondAndTheLogBytesOfEachField) {
    MonitorHarness harness;
    harness.Clock.Time = L"  10:16:00 ";
    const std::string line = RequestLine("h\xF4te", "/caf\xE9/\xD6\xD0.htm", "2\xB2");
    harness.Engine.ParseRecord(line);
    ASSERT_EQ(harness.Rows().RowCount(), 1);
    EXPECT_EQ(harness.Rows().Row(1).RemoteIp, "h\xF4te");
    EXPECT_EQ(harness.Rows().Row(1).Status, "2\xB2");
    EXPECT_EQ(harness.Rows().Row(1).Url, "/caf\xE9/\xD6\xD0.htm");

    harness.State.FilterIps = {L"h\u00F4te"};
    harness.Engine.ParseRecord(line);
    harness.Engine.ParseRecord(ExampleLine);
    ASSERT_EQ(harness.Rows().RowCount(), 2) << "the filter entry meets the address through the code page";
    // Shorter ASCII fields after longer ones.
    const MonitorRow& example = harness.Rows().Row(2);
    EXPECT_EQ(example.LocalTime, L"10:16:00");
    EXPECT_EQ(example.RemoteIp, "192.168.0.7");
    EXPECT_EQ(example.Status, "200");
    EXPECT_EQ(example.Url, "/default.htm");

    harness.Clock.Second = 1;
    harness.Clock.Time = L"10:15:33";
    harness.Engine.ParseRecord(ExampleLine);
    EXPECT_EQ(harness.Clock.TimeTextCalls, 2);
    EXPECT_EQ(harness.Rows().Row(3).LocalTime, L"10:15:33");
}

// Maps every byte beyond ASCII to one ideograph, as no single-byte code page would: only a conversion
// matches.
class IdeographCodePage final : public AnsiCodePage {
public:
    void ToWide(std::string_view ansi, std::wstring& wide) override {
        wide.clear();
        for (const char byte : ansi) {
            wide += static_cast<unsigned char>(byte) < 0x80 ? static_cast<wchar_t>(byte) : L'\u4E00';
        }
    }
    std::string ToAnsi(std::wstring_view) override { return {}; }
};

TEST(ParseRecord, AddressesBeyondAsciiMeetTheirEntriesThroughTheCodePageAtAnyLength) {
    IdeographCodePage codePage;
    MonitorHarness harness(&codePage);
    for (std::size_t length = 1; length <= 17; ++length) {
        for (std::size_t at = 0; at < length; ++at) {
            std::string address(length, 'a');
            address[at] = '\xE9';
            std::wstring entry(length, L'a');
            entry[at] = L'\u4E00';
            harness.State.FilterIps = {entry};
            harness.Engine.ParseRecord(RequestLine(address));
            EXPECT_EQ(harness.Rows().RowCount(), 0) << "length " << length << ", byte " << at;
        }
    }
}

class MonitorDay : public ::testing::Test {
protected:
    void Tick() { m.Engine.ReadNewLines(); }
    MonitorHarness m;
};

TEST_F(MonitorDay, ABlockWithOtherFieldsShowsNothingAndIsToldOnceUntilTheFieldsAreRightAgain) {
    ASSERT_TRUE(m.Start(LogHeader()));
    m.Append(5, Request("10.0.0.1", "/before") +
                    LogHeader("#Fields: date time s-ip c-ip cs-method cs-uri-stem sc-status") +
                    Request("10.0.0.2", "/other-fields"));
    Tick();
    m.Append(5, Request("10.0.0.3", "/still-other"));
    Tick();
    m.Append(5, LogHeader() + Request("10.0.0.4", "/after"));
    Tick();
    EXPECT_EQ(m.Urls(), (Urls{"/before", "/after"}));
    ASSERT_EQ(m.Boxes.Shown.size(), 1u);
    EXPECT_EQ(m.Boxes.Shown[0].Text, messages::WrongFieldList());
    EXPECT_NE(m.Boxes.Shown[0].Icon, BoxIcon::Critical) << "the program goes on";
}

// Which lines come from which day's log the model test checks; here, what else a new day changes.
TEST_F(MonitorDay, ANewDaysLogIsNamedToTheWindowAndItsOwnHeaderDecidesWhatItShows) {
    ASSERT_TRUE(m.Start(LogHeader()));
    m.Clock.Date = {2003, 9, 6};
    m.Files.Create(MonitorHarness::LogOf(6),
                   LogHeader("#Fields: date time c-ip") + Request("10.0.0.4", "/wrong"));
    Tick();
    EXPECT_EQ(m.State.LogFilePath, MonitorHarness::LogOf(6));
    EXPECT_EQ(m.Host.NewDays, 1);
    EXPECT_EQ(m.Urls(), Urls{});
    EXPECT_EQ(m.Boxes.Shown.size(), 1u);

    // A log that names no fields before its first request is read as one with the right ones.
    m.Clock.Date = {2003, 9, 7};
    m.Files.Create(MonitorHarness::LogOf(7), "#Software: x\r\n" + Request("10.0.0.5", "/no-field-list"));
    Tick();
    EXPECT_EQ(m.Urls(), Urls{"/no-field-list"});
}

TEST_F(MonitorDay, YesterdaysLogIsReadALastTimeWhenTheLateLinesTimeIsUpAndThenLetGo) {
    ASSERT_TRUE(m.Start(LogHeader()));
    m.Clock.Date = {2003, 9, 6};
    m.Files.Create(MonitorHarness::LogOf(6), LogHeader());
    Tick();
    m.Clock.Ms = Monitor::LateLinesMs;
    m.Append(5, Request("10.0.0.1", "/last-late"));
    Tick();
    m.Append(5, Request("10.0.0.2", "/too-late"));
    Tick();
    EXPECT_EQ(m.Urls(), Urls{"/last-late"});
}

TEST(ReadNewLines, SkipsATickThatArrivesDuringAPassAndTurnsTheTrayYellowFirst) {
    MonitorHarness harness;
    harness.Pump.Hook = [&] { harness.Engine.ReadNewLines(); };
    harness.State.InTray = true;
    harness.Files.Create(MonitorHarness::LogOf(5), Request("10.0.0.1") + Request("10.0.0.1"));
    harness.Engine.WatchLog(MonitorHarness::LogOf(5), {2003, 9, 5}, 1, true);
    harness.Engine.ReadNewLines();
    EXPECT_EQ(harness.Events.Events,
              (std::vector<std::wstring>{L"yellow", L"blue", L"row 10.0.0.1", L"blue", L"row 10.0.0.1"}));
}

} // namespace
} // namespace tarnwatch
