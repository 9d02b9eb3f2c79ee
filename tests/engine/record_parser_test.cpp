#include "monitor_harness.h"
#include "record_fields.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tarnwatch {
namespace {

using testing::MonitorHarness;

const std::string ExampleLine = "2003-09-05 10:15:32 192.168.0.7 - 192.168.0.1 80 GET /default.htm - 200 "
                                "Mozilla/4.0+(compatible;+MSIE+6.0;+Windows+NT+5.0)";

std::wstring Widened(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

std::vector<std::wstring> RowTexts(const MonitorRows& rows, int index) {
    const MonitorRow& row = rows.Row(index);
    return {row.LocalTime, Widened(row.RemoteIp), Widened(row.Status), Widened(row.Url)};
}

TEST(RecordParser, ShowsTimeOfReadingAddressStatusAndUrl) {
    MonitorHarness harness;
    harness.Clock.Time = L"  10:16:00 ";
    harness.Engine.ParseRecord(ExampleLine);
    ASSERT_EQ(harness.Rows.RowCount(), 1);
    EXPECT_EQ(RowTexts(harness.Rows, 1),
              (std::vector<std::wstring>{L"10:16:00", L"192.168.0.7", L"200", L"/default.htm"}));
}

TEST(RecordParser, CountsSpacesFromTheTwelfthByte) {
    const auto split = [](std::string_view line) {
        const auto fields = SplitRecordFields(line);
        return fields ? std::vector<std::string_view>{fields->RemoteIp, fields->Status, fields->Url}
                      : std::vector<std::string_view>{};
    };
    using Fields = std::vector<std::string_view>;
    EXPECT_EQ(split("2003 09 05 10:15:32 1.2.3.4 - 5.6.7.8 80 GET /a - 200 UA"),
              (Fields{"1.2.3.4", "200", "/a"}))
        << "spaces inside the date are skipped";
    EXPECT_EQ(split("2003-09-05  1.2.3.4 - 5.6.7.8 80 GET /a - 200 UA"), (Fields{"1.2.3.4", "200", "/a"}))
        << "a space at byte 12 opens field 2";
    EXPECT_EQ(split("2003-09-05 10:15:32 1.2.3.4 -  5.6.7.8 80 GET /a q 200 UA"),
              (Fields{"1.2.3.4", "q", "GET"}))
        << "an empty field still takes a number";
    EXPECT_EQ(split("2003-09-05 10:15:32 1.2.3.4 - 5.6.7.8 80 GET /a - 200 "),
              (Fields{"1.2.3.4", "200", "/a"}))
        << "the space after the status completes the record";
    // URLs of every length up to 200 move the last spaces across the 64-byte steps of the search.
    for (std::size_t length = 1; length <= 200; ++length) {
        std::string url(length, 'u');
        url.front() = '/';
        std::string line = "2003-09-05 10:15:32 1.2.3.4 - 5.6.7.8 80 GET ";
        line += url;
        line += " - 200";
        EXPECT_EQ(split(line), Fields{}) << "URL of " << length;
        line += " UA";
        EXPECT_EQ(split(line), (Fields{"1.2.3.4", "200", url})) << "URL of " << length;
    }
    EXPECT_EQ(split("2003-09-05 10:15:32 1.2.3.4 - 5.6.7.8 80 GET /a - 200"), Fields{});
    EXPECT_EQ(split("2003-09-05 10:15:32 1.2.3.4 - 5.6.7.8 80 GET /a - 200\tUA"), Fields{})
        << "a tab is no space";
    EXPECT_EQ(split("#Fields: date time c-ip cs-username s-ip s-port cs-method cs-uri-stem cs-uri-query "
                    "sc-status cs(User-Agent) "),
              Fields{});
    EXPECT_EQ(split("#003-09-05 10:15:32 1.2.3.4 - 5.6.7.8 80 GET /a - 200 UA"), Fields{});
    EXPECT_EQ(split(""), Fields{});
    EXPECT_EQ(split("           "), Fields{}) << "eleven spaces";
    EXPECT_EQ(split("2003-09-05 "), Fields{});
}

TEST(RecordParser, LeavesOutAddressesOnTheFilterList) {
    const auto rowsWithFilter = [](std::vector<std::wstring> filterIps) {
        MonitorHarness harness;
        harness.State.FilterIps = std::move(filterIps);
        harness.Engine.ParseRecord(ExampleLine);
        return harness.Rows.RowCount();
    };
    EXPECT_EQ(rowsWithFilter({L"192.168.0.7"}), 0);
    EXPECT_EQ(rowsWithFilter({L"  192.168.0.7 "}), 0);
    EXPECT_EQ(rowsWithFilter({L"10.0.0.1", L"192.168.0.7"}), 0);
    EXPECT_EQ(rowsWithFilter({}), 1);
    EXPECT_EQ(rowsWithFilter({L"192.168.0"}), 1);
    EXPECT_EQ(rowsWithFilter({L"192.168.0.70"}), 1);
    EXPECT_EQ(rowsWithFilter({L"\t192.168.0.7"}), 1) << "only spaces are trimmed";
    EXPECT_EQ(rowsWithFilter({L""}), 1);

    MonitorHarness harness;
    harness.State.FilterIps = {L"HOST"};
    harness.Engine.ParseRecord("2003-09-05 10:15:32 host - 192.168.0.1 80 GET /a - 200 UA");
    EXPECT_EQ(harness.Rows.RowCount(), 1) << "the comparison keeps letter case";
}

// Puts each new row into the event log, so it can be ordered against tray changes and beeps.
class SignallingList final : public MonitorList {
public:
    testing::EventLog* Events = nullptr;
    int RowCount() const override { return rows_.RowCount(); }
    void AppendRow(std::wstring_view localTime, std::string_view remoteIp, std::string_view status,
                   std::string_view url) override {
        Events->Events.push_back(L"row " + std::wstring(remoteIp.begin(), remoteIp.end()));
        rows_.AppendRow(localTime, remoteIp, status, url);
    }
    void RemoveRow(int index) override { rows_.RemoveRow(index); }
    void CopyBorrowedFields() override { rows_.CopyBorrowedFields(); }

private:
    MonitorRows rows_;
};

TEST(RecordParser, TurnsTheTrayBlueAndBeepsBeforeEachShownRow) {
    SignallingList list;
    MonitorHarness harness(&list);
    list.Events = &harness.Events;
    harness.State.FilterIps = {L"10.0.0.1"};
    const std::string filtered = "2003-09-05 10:15:32 10.0.0.1 - 192.168.0.1 80 GET /a - 200 UA";

    harness.Engine.ParseRecord(ExampleLine);
    EXPECT_EQ(harness.Events.Events, (std::vector<std::wstring>{L"row 192.168.0.7"}))
        << "neither in the tray nor with sound";

    harness.Events.Events.clear();
    harness.State.InTray = true;
    harness.State.SoundNotify = true;
    harness.Engine.ParseRecord(ExampleLine);
    harness.Engine.ParseRecord(filtered);
    harness.Engine.ParseRecord("#Remark: x x x x x x x x x x x");
    harness.Engine.ParseRecord("2003-09-05 10:15:33 10.0.0.2 - 192.168.0.1 80 GET /b - 404 UA");
    EXPECT_EQ(harness.Events.Events, (std::vector<std::wstring>{L"blue", L"beep 400 200", L"row 192.168.0.7",
                                                                L"blue", L"beep 400 200", L"row 10.0.0.2"}));
}

TEST(RecordParser, KeepsTheLogBytesAndMatchesNonAsciiAddressesThroughTheCodePage) {
    MonitorHarness harness;
    const std::string line =
        "2003-09-05 10:15:32 h\xF4te - 192.168.0.1 80 GET /caf\xE9/\xD6\xD0.htm - 2\xB2 UA";
    harness.Engine.ParseRecord(line);
    ASSERT_EQ(harness.Rows.RowCount(), 1);
    EXPECT_EQ(harness.Rows.Row(1).RemoteIp, "h\xF4te");
    EXPECT_EQ(harness.Rows.Row(1).Status, "2\xB2");
    EXPECT_EQ(harness.Rows.Row(1).Url, "/caf\xE9/\xD6\xD0.htm");

    harness.State.FilterIps = {L"h\u00F4te"};
    harness.Engine.ParseRecord(line);
    EXPECT_EQ(harness.Rows.RowCount(), 1);
    harness.Engine.ParseRecord(ExampleLine);
    EXPECT_EQ(harness.Rows.Row(2).Url, "/default.htm") << "a shorter ASCII field after a longer one";
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
    MonitorHarness harness;
    IdeographCodePage codePage;
    Monitor monitor(harness.State,
                    MonitorPorts{harness.Boxes, harness.Timer, harness.Host, harness.Clock, harness.Events,
                                 harness.Events, harness.Pump, codePage, harness.Files, harness.Rows});
    for (std::size_t length = 1; length <= 17; ++length) {
        for (std::size_t at = 0; at < length; ++at) {
            std::string address(length, 'a');
            address[at] = '\xE9';
            std::wstring entry(length, L'a');
            entry[at] = L'\u4E00';
            harness.State.FilterIps = {entry};
            monitor.ParseRecord("2003-09-05 10:15:32 " + address + " - 192.168.0.1 80 GET /a - 200 UA");
            EXPECT_EQ(harness.Rows.RowCount(), 0) << "length " << length << ", byte " << at;
        }
    }
}

TEST(RecordParser, AsksForTheTimeTextOncePerSecond) {
    MonitorHarness harness;
    for (int i = 0; i < 50; ++i) {
        harness.Engine.ParseRecord(ExampleLine);
    }
    EXPECT_EQ(harness.Clock.TimeTextCalls, 1);

    harness.Clock.Second = 1;
    harness.Clock.Time = L"10:15:33";
    harness.Engine.ParseRecord(ExampleLine);
    harness.Engine.ParseRecord(ExampleLine);
    EXPECT_EQ(harness.Clock.TimeTextCalls, 2);
    EXPECT_EQ(harness.Rows.Row(50).LocalTime, L"10:15:32");
    EXPECT_EQ(harness.Rows.Row(52).LocalTime, L"10:15:33");
}

// Records removals, to check which rows go and in which order.
class RemovalLog final : public MonitorList {
public:
    int Rows = 0;
    std::vector<int> Removed;
    int RowCount() const override { return Rows; }
    void AppendRow(std::wstring_view, std::string_view, std::string_view, std::string_view) override {
        ++Rows;
    }
    void RemoveRow(int index) override {
        Removed.push_back(index);
        --Rows;
    }
    void CopyBorrowedFields() override {}
};

TEST(TrimMonitorList, RemovesTheOldestRowsFromTheHighestIndexDown) {
    RemovalLog list;
    MonitorHarness harness(&list);
    list.Rows = 50;
    harness.State.RowLimit = 10;
    harness.Engine.TrimMonitorList();
    ASSERT_EQ(list.Removed.size(), 40u);
    EXPECT_EQ(list.Removed.front(), 40);
    EXPECT_EQ(list.Removed.back(), 1);
    EXPECT_TRUE(std::is_sorted(list.Removed.rbegin(), list.Removed.rend()));

    list.Removed.clear();
    harness.State.RowLimit = 50;
    harness.Engine.TrimMonitorList();
    EXPECT_TRUE(list.Removed.empty()) << "raising the limit removes nothing";

    list.Rows = 3;
    harness.State.RowLimit = -5;
    harness.Engine.TrimMonitorList();
    EXPECT_EQ(list.Removed, (std::vector<int>{3, 2, 1}))
        << "a negative limit keeps nothing and names no row beyond";
}

TEST(TrimMonitorList, RunsAfterEveryLineAndKeepsTheNewestRows) {
    MonitorHarness harness;
    harness.State.RowLimit = 30;
    for (int i = 1; i <= 30; ++i) {
        harness.Engine.ParseRecord("2003-09-05 10:15:32 10.0.0." + std::to_string(i) +
                                   " - 192.168.0.1 80 GET /a - 200 UA");
    }
    harness.Engine.ParseRecord(ExampleLine);
    ASSERT_EQ(harness.Rows.RowCount(), 30);
    EXPECT_EQ(harness.Rows.Row(1).RemoteIp, "10.0.0.2");
    EXPECT_EQ(harness.Rows.Row(30).RemoteIp, "192.168.0.7");

    harness.State.RowLimit = 5;
    for (const std::string line : {"", "#Fields: x", "short", "2003-09-05 10:15:32 1 2 3"}) {
        harness.Engine.ParseRecord(line);
        EXPECT_EQ(harness.Rows.RowCount(), 5) << "after \"" << line << "\"";
    }
    EXPECT_EQ(harness.Rows.Row(5).RemoteIp, "192.168.0.7");

    harness.State.RowLimit = 0;
    harness.Engine.ParseRecord(ExampleLine);
    EXPECT_EQ(harness.Rows.RowCount(), 0);
}

} // namespace
} // namespace tarnwatch
