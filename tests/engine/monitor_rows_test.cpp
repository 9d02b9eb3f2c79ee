#include "monitor_rows.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarnwatch {
namespace {

void Append(MonitorRows& rows, const std::wstring& url) {
    rows.AppendRow(L"10:15:32", L"10.0.0.1", L"200", url);
}

std::vector<std::wstring> Urls(const MonitorRows& rows) {
    std::vector<std::wstring> urls;
    for (int i = 1; i <= rows.RowCount(); ++i) {
        urls.push_back(rows.Row(i).Url);
    }
    return urls;
}

using Texts = std::vector<std::wstring>;

TEST(MonitorRows, KeepsArrivalOrderThroughRemovalsAnywhere) {
    MonitorRows rows;
    for (const wchar_t* url : {L"a", L"b", L"c", L"d", L"e", L"f"}) {
        Append(rows, url);
    }
    const MonitorRow& first = rows.Row(1);
    EXPECT_EQ(first.LocalTime, L"10:15:32");
    EXPECT_EQ(first.RemoteIp, L"10.0.0.1");
    EXPECT_EQ(first.Status, L"200");

    rows.RemoveRow(1);
    EXPECT_EQ(Urls(rows), (Texts{L"b", L"c", L"d", L"e", L"f"}));
    rows.RemoveRow(2);
    EXPECT_EQ(Urls(rows), (Texts{L"b", L"d", L"e", L"f"}));
    rows.RemoveRow(3);
    EXPECT_EQ(Urls(rows), (Texts{L"b", L"d", L"f"}));
    rows.RemoveRow(3);
    EXPECT_EQ(Urls(rows), (Texts{L"b", L"d"}));

    // New rows go into the freed slots, wrapping round the ring, and then beyond it.
    for (const wchar_t* url : {L"g", L"h", L"i", L"j", L"k", L"l"}) {
        Append(rows, url);
    }
    EXPECT_EQ(Urls(rows), (Texts{L"b", L"d", L"g", L"h", L"i", L"j", L"k", L"l"}));
    rows.RemoveRow(1);
    rows.RemoveRow(1);
    Append(rows, L"m");
    EXPECT_EQ(Urls(rows), (Texts{L"g", L"h", L"i", L"j", L"k", L"l", L"m"}));
}

TEST(MonitorRows, IgnoresRemovalsOfMissingRowsAndRefusesToShowThem) {
    MonitorRows rows;
    rows.RemoveRow(1);
    Append(rows, L"a");
    const auto revision = rows.Revision();
    rows.RemoveRow(0);
    rows.RemoveRow(2);
    rows.RemoveRow(-1);
    EXPECT_EQ(rows.RowCount(), 1);
    EXPECT_EQ(rows.Revision(), revision) << "nothing changed";
    EXPECT_THROW(rows.Row(0), std::out_of_range);
    EXPECT_THROW(rows.Row(2), std::out_of_range);
}

TEST(MonitorRows, RevisionMovesWithEveryChange) {
    MonitorRows rows;
    std::set<std::uint64_t> seen{rows.Revision()};
    Append(rows, L"a");
    EXPECT_TRUE(seen.insert(rows.Revision()).second);
    Append(rows, L"b");
    EXPECT_TRUE(seen.insert(rows.Revision()).second);
    rows.RemoveRow(1);
    EXPECT_TRUE(seen.insert(rows.Revision()).second);
    Append(rows, L"c");
    EXPECT_TRUE(seen.insert(rows.Revision()).second) << "same count as two changes ago";
}

TEST(MonitorRows, ReusesTheStringsOfRemovedRows) {
    MonitorRows rows;
    const std::wstring longUrl(200, L'u');
    for (int i = 0; i < 50; ++i) {
        Append(rows, longUrl);
    }
    std::set<const wchar_t*> buffers;
    for (int i = 1; i <= 50; ++i) {
        buffers.insert(rows.Row(i).Url.data());
    }
    // One more row than the limit, then the oldest goes: the steady state of a long pass.
    Append(rows, longUrl);
    rows.RemoveRow(1);
    for (int i = 1; i <= 50; ++i) {
        buffers.insert(rows.Row(i).Url.data());
    }
    for (int round = 0; round < 500; ++round) {
        Append(rows, std::wstring(1 + round % 200, L'v'));
        rows.RemoveRow(1 + round % 3);
    }
    for (int i = 1; i <= 50; ++i) {
        EXPECT_TRUE(buffers.count(rows.Row(i).Url.data()) == 1) << "row " << i << " got a new buffer";
    }
}

} // namespace
} // namespace tarnwatch
