#include "engine/monitor_rows.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

namespace tarnwatch {
namespace {

using Texts = std::vector<std::string>;

void Append(MonitorRows& rows, const std::string& url) {
    rows.AppendRow(L"10:15:32", "10.0.0.1", "200", url);
    rows.CopyBorrowedFields();
}

Texts Urls(const MonitorRows& rows) {
    Texts urls;
    for (int i = 1; i <= rows.RowCount(); ++i) {
        urls.push_back(rows.Row(i).Url);
    }
    return urls;
}

TEST(MonitorRows, KeepsArrivalOrderThroughRemovalsAnywhereAndMovesTheRevisionWithEachRealChange) {
    MonitorRows rows;
    std::set<std::uint64_t> revisions{rows.Revision()};
    const auto changed = [&] { return revisions.insert(rows.Revision()).second; };
    for (const char* url : {"a", "b", "c", "d", "e", "f"}) {
        Append(rows, url);
        EXPECT_TRUE(changed());
    }
    for (const int index : {1, 2, 3, 3}) {
        rows.RemoveRow(index);
        EXPECT_TRUE(changed());
    }
    EXPECT_EQ(Urls(rows), (Texts{"b", "d"}));
    // New rows go into the freed slots, wrapping round the ring, and then beyond it.
    for (const char* url : {"g", "h", "i", "j", "k", "l"}) {
        Append(rows, url);
    }
    EXPECT_EQ(Urls(rows), (Texts{"b", "d", "g", "h", "i", "j", "k", "l"}));
    rows.RemoveRow(1);
    rows.RemoveRow(1);
    Append(rows, "m");
    EXPECT_TRUE(changed()) << "same count as two changes ago";
    for (const int missing : {0, 8, -1}) {
        rows.RemoveRow(missing);
        EXPECT_THROW(rows.Row(missing), std::out_of_range);
        EXPECT_THROW(rows.Serial(missing), std::out_of_range);
    }
    EXPECT_FALSE(changed()) << "removing a missing row changes nothing";
    EXPECT_EQ(Urls(rows), (Texts{"g", "h", "i", "j", "k", "l", "m"}));
}

// A selection follows its row by serial while rows before it go.
TEST(MonitorRows, FindsEachRowBySerialWhereverTheRingHasPutItAndNoRowThatIsGone) {
    MonitorRows rows;
    for (int row = 0; row < 40; ++row) {
        Append(rows, std::to_string(row));
    }
    const std::uint64_t gone = rows.Serial(1);
    for (int removed = 0; removed < 15; ++removed) {
        rows.RemoveRow(1);
        Append(rows, std::to_string(100 + removed));
    }
    for (int index = 1; index <= rows.RowCount(); ++index) {
        EXPECT_EQ(rows.IndexOf(rows.Serial(index)), index);
    }
    EXPECT_EQ(rows.IndexOf(gone), 0);
}

TEST(MonitorRows, BorrowedFieldsAreCopiedBeforeTheirSourceChanges) {
    MonitorRows rows;
    std::string buffer = "10.0.0.1 200 /a";
    const std::string_view view(buffer);
    const auto borrow = [&](const wchar_t* time) {
        rows.AppendRow(time, view.substr(0, 8), view.substr(9, 3), view.substr(13));
    };
    borrow(L"10:15:32");
    borrow(L"10:15:33");
    EXPECT_EQ(rows.Row(1).Url, "/a") << "a row looked at is copied";
    rows.RemoveRow(2);
    borrow(L"10:15:34");
    rows.CopyBorrowedFields();
    buffer.replace(0, buffer.size(), "99.9.9.99 404 /b");
    EXPECT_EQ(rows.Row(1).RemoteIp, "10.0.0.1");
    EXPECT_EQ(rows.Row(2).Status, "200");
    EXPECT_EQ(rows.Row(2).Url, "/a");
}

} // namespace
} // namespace tarnwatch
