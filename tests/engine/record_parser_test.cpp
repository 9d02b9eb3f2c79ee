#include "engine/record_fields.h"
#include "tests/engine/monitor_harness.h"

#include <gtest/gtest.h>

namespace tarnwatch {
namespace {

using testing::MonitorHarness;
using testing::RequestLine;
using Texts = std::vector<std::wstring>;

const std::string ExampleLine = RequestLine("192.168.0.7");

TEST(RecordParser, CountsSpacesFromTheTwelfthByte) {
    using Fields = std::vector<std::string_view>;
    const auto split = [](std::string_view line) {
        const auto fields = SplitRecordFields(line);
        return fields ? Fields{fields->RemoteIp, fields->Status, fields->Url} : Fields{};
    };
    const std::pair<std::string, Fields> cases[] = {
        {"2003 09 05 10:15:32 1.2.3.4 - 5.6.7.8 80 GET /a - 200 UA", {"1.2.3.4", "200", "/a"}},
        {"2003-09-05  1.2.3.4 - 5.6.7.8 80 GET /a - 200 UA", {"1.2.3.4", "200", "/a"}},
        {"2003-09-05 10:15:32 1.2.3.4 -  5.6.7.8 80 GET /a q 200 UA", {"1.2.3.4", "q", "GET"}},
        {"2003-09-05 10:15:32 1.2.3.4 - 5.6.7.8 80 GET /a - 200\tUA", {}},
        {"#003-09-05 10:15:32 1.2.3.4 - 5.6.7.8 80 GET /a - 200 UA", {}},
        {"2003-09-05 ", {}},
    };
    for (const auto& [line, fields] : cases) {
        EXPECT_EQ(split(line), fields) << line;
    }
    // URLs of every length up to 200 move the last spaces across the 64-byte steps of the search; the
    // record is complete with the space after the status.
    for (std::size_t length = 1; length <= 200; ++length) {
        std::string url(length, 'u');
        url.front() = '/';
        const std::string line = RequestLine("1.2.3.4", url);
        const std::string upToStatus = line.substr(0, line.rfind(' '));
        EXPECT_EQ(split(upToStatus), Fields{}) << length;
        EXPECT_EQ(split(upToStatus + " "), (Fields{"1.2.3.4", "200", url})) << length;
        EXPECT_EQ(split(line), (Fields{"1.2.3.4", "200", url})) << length;
    }
}

TEST(RecordParser, LeavesOutAddressesOnTheFilterList) {
    const std::pair<Texts, int> cases[] = {
        {{L"10.0.0.1", L"192.168.0.7"}, 0},
        {{L"  192.168.0.7 "}, 0},
        {{L"192.168.0"}, 1},
        {{L"\t192.168.0.7"}, 1},
    };
    for (const auto& [filterIps, rows] : cases) {
        MonitorHarness harness;
        harness.State.FilterIps = filterIps;
        harness.Engine.ParseRecord(ExampleLine);
        EXPECT_EQ(harness.Rows().RowCount(), rows) << filterIps.size();
    }
}

TEST(RecordParser, TurnsTheTrayBlueAndBeepsBeforeEachShownRow) {
    MonitorHarness harness;
    harness.State.FilterIps = {L"10.0.0.1"};
    harness.Engine.ParseRecord(ExampleLine);
    EXPECT_EQ(harness.Events.Events, Texts{L"row 192.168.0.7"}) << "neither in the tray nor with sound";

    harness.Events.Events.clear();
    harness.State.InTray = true;
    harness.State.SoundNotify = true;
    for (const std::string& line : {ExampleLine, RequestLine("10.0.0.1"),
                                    std::string("#Remark: x x x x x x x x x x x"), RequestLine("10.0.0.2")}) {
        harness.Engine.ParseRecord(line);
    }
    EXPECT_EQ(harness.Events.Events, (Texts{L"blue", L"beep 400 200", L"row 192.168.0.7", L"blue",
                                            L"beep 400 200", L"row 10.0.0.2"}));
}

TEST(RecordParser, ShowsTheTimeOfReadingTakenOncePerSecondAndTheLogBytesOfEachField) {
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

TEST(RecordParser, AddressesBeyondAsciiMeetTheirEntriesThroughTheCodePageAtAnyLength) {
    IdeographCodePage codePage;
    MonitorHarness harness(nullptr, &codePage);
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

TEST(TrimMonitorList, KeepsTheNewestRowsRemovingFromTheHighestIndexDown) {
    MonitorHarness harness;
    for (int i = 1; i <= 16; ++i) {
        harness.Engine.ParseRecord(RequestLine("10.0.0." + std::to_string(i)));
    }
    harness.State.RowLimit = 4;
    harness.Engine.TrimMonitorList();
    EXPECT_EQ(harness.List.Removed, (std::vector<int>{12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
    ASSERT_EQ(harness.Rows().RowCount(), 4);
    EXPECT_EQ(harness.Rows().Row(1).RemoteIp, "10.0.0.13");

    // Every line trims, shown or not.
    harness.State.RowLimit = 3;
    harness.Engine.ParseRecord("#Fields: x");
    EXPECT_EQ(harness.Rows().RowCount(), 3);
    EXPECT_EQ(harness.Rows().Row(3).RemoteIp, "10.0.0.16");

    harness.List.Removed.clear();
    harness.State.RowLimit = -5;
    harness.Engine.ParseRecord("short");
    EXPECT_EQ(harness.List.Removed, (std::vector<int>{3, 2, 1})) << "nothing kept, no row beyond named";

    harness.State.RowLimit = 0;
    harness.Engine.ParseRecord(ExampleLine);
    EXPECT_EQ(harness.Rows().RowCount(), 0);
}

} // namespace
} // namespace tarnwatch
