#include "monitor_rows.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarnwatch {
namespace {

void Append(MonitorRows& rows, const std::string& url) {
    rows.AppendRow(L"10:15:32", "10.0.0.1", "200", url);
    rows.CopyBorrowedFields();
}

std::vector<std::string> Urls(const MonitorRows& rows) {
    std::vector<std::string> urls;
    for (int i = 1; i <= rows.RowCount(); ++i) {
        urls.push_back(rows.Row(i).Url);
    }
    return urls;
}

using Texts = std::vector<std::string>;

TEST(MonitorRows, KeepsArrivalOrderThroughRemovalsAnywhere) {
    MonitorRows rows;
    for (const char* url : {"a", "b", "c", "d", "e", "f"}) {
        Append(rows, url);
    }
    const MonitorRow& first = rows.Row(1);
    EXPECT_EQ(first.LocalTime, L"10:15:32");
    EXPECT_EQ(first.RemoteIp, "10.0.0.1");
    EXPECT_EQ(first.Status, "200");

    rows.RemoveRow(1);
    EXPECT_EQ(Urls(rows), (Texts{"b", "c", "d", "e", "f"}));
    rows.RemoveRow(2);
    EXPECT_EQ(Urls(rows), (Texts{"b", "d", "e", "f"}));
    rows.RemoveRow(3);
    EXPECT_EQ(Urls(rows), (Texts{"b", "d", "f"}));
    rows.RemoveRow(3);
    EXPECT_EQ(Urls(rows), (Texts{"b", "d"}));

    // New rows go into the freed slots, wrapping round the ring, and then beyond it.
    for (const char* url : {"g", "h", "i", "j", "k", "l"}) {
        Append(rows, url);
    }
    EXPECT_EQ(Urls(rows), (Texts{"b", "d", "g", "h", "i", "j", "k", "l"}));
    rows.RemoveRow(1);
    rows.RemoveRow(1);
    Append(rows, "m");
    EXPECT_EQ(Urls(rows), (Texts{"g", "h", "i", "j", "k", "l", "m"}));
}

TEST(MonitorRows, IgnoresRemovalsOfMissingRowsAndRefusesToShowThem) {
    MonitorRows rows;
    rows.RemoveRow(1);
    Append(rows, "a");
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
    Append(rows, "a");
    EXPECT_TRUE(seen.insert(rows.Revision()).second);
    Append(rows, "b");
    EXPECT_TRUE(seen.insert(rows.Revision()).second);
    rows.RemoveRow(1);
    EXPECT_TRUE(seen.insert(rows.Revision()).second);
    Append(rows, "c");
    EXPECT_TRUE(seen.insert(rows.Revision()).second) << "same count as two changes ago";
}

TEST(MonitorRows, ReusesTheStringsOfRemovedRows) {
    MonitorRows rows;
    const std::string longUrl(200, 'u');
    for (int i = 0; i < 50; ++i) {
        Append(rows, longUrl);
    }
    std::set<const char*> buffers;
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
        Append(rows, std::string(1 + round % 200, 'v'));
        rows.RemoveRow(1 + round % 3);
    }
    for (int i = 1; i <= 50; ++i) {
        EXPECT_TRUE(buffers.count(rows.Row(i).Url.data()) == 1) << "row " << i << " got a new buffer";
    }
}

TEST(MonitorRows, BorrowedFieldsAreCopiedBeforeTheirSourceChanges) {
    MonitorRows rows;
    std::string buffer = "10.0.0.1 200 /a";
    const std::string_view view(buffer);
    rows.AppendRow(L"10:15:32", view.substr(0, 8), view.substr(9, 3), view.substr(13));
    rows.AppendRow(L"10:15:33", view.substr(0, 8), view.substr(9, 3), view.substr(13));
    EXPECT_EQ(rows.Row(1).Url, "/a") << "a row looked at is copied";
    rows.RemoveRow(2);
    rows.AppendRow(L"10:15:34", view.substr(0, 8), view.substr(9, 3), view.substr(13));
    rows.CopyBorrowedFields();
    buffer.replace(0, buffer.size(), "99.9.9.99 404 /b");
    EXPECT_EQ(rows.Row(1).RemoteIp, "10.0.0.1");
    EXPECT_EQ(rows.Row(2).Status, "200");
    EXPECT_EQ(rows.Row(2).Url, "/a");
}

} // namespace
} // namespace tarnwatch
