#include "main_window_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwatch::testing {
namespace {

TEST_F(MainWindowTest, RequestsAppendedAfterTheStartBecomeRowsAtTheNextTick) {
    Start();
    EXPECT_TRUE(Rows().empty()) << "what the log held at the start is not shown";

    AppendLog(Request("192.168.0.7", "/default.htm") + Request("192.168.0.8", "/missing.gif", "404"));
    EXPECT_TRUE(Rows().empty()) << "nothing is read between ticks";
    Tick();

    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_FALSE(rows[0][0].empty()) << "the local time of reading";
    EXPECT_EQ(rows[0][1], L"192.168.0.7");
    EXPECT_EQ(rows[0][2], L"200");
    EXPECT_EQ(rows[0][3], L"/default.htm");
    EXPECT_EQ(rows[1][1], L"192.168.0.8");
    EXPECT_EQ(rows[1][2], L"404");
    EXPECT_EQ(rows[1][3], L"/missing.gif");

    AppendLog(Request("192.168.0.9", "/third.htm"));
    Tick();
    EXPECT_EQ(Urls(), (std::vector<std::wstring>{L"/default.htm", L"/missing.gif", L"/third.htm"}));
}

TEST_F(MainWindowTest, FilteredAddressesAreLeftOut) {
    StartSettings settings;
    settings.FilterIps = {L"127.0.0.1", L"10.1.1.1"};
    Start(settings);
    AppendLog(Request("127.0.0.1", "/local.htm") + Request("192.168.0.7", "/shown.htm") +
              Request("10.1.1.1", "/filtered.htm") + Request("10.1.1.10", "/also-shown.htm"));
    Tick();
    EXPECT_EQ(Urls(), (std::vector<std::wstring>{L"/shown.htm", L"/also-shown.htm"}));
}

TEST_F(MainWindowTest, KeepsOnlyTheNewestRowLimitRows) {
    StartSettings settings;
    settings.RowLimit = 3;
    Start(settings);
    AppendLog(Request("192.168.0.1", "/1") + Request("192.168.0.2", "/2"));
    Tick();
    AppendLog(Request("192.168.0.3", "/3") + Request("192.168.0.4", "/4") + Request("192.168.0.5", "/5"));
    Tick();
    EXPECT_EQ(Urls(), (std::vector<std::wstring>{L"/3", L"/4", L"/5"}));
}

TEST_F(MainWindowTest, ABacklogIsReadInOneTickAndShowsItsNewestRows) {
    Start();
    std::string backlog;
    for (int request = 1; request <= 5000; ++request) {
        backlog +=
            Request("192.168.1." + std::to_string(request % 250 + 1), "/page-" + std::to_string(request));
    }
    AppendLog(backlog);
    Tick();
    const auto urls = Urls();
    ASSERT_EQ(urls.size(), 50u);
    EXPECT_EQ(urls.front(), L"/page-4951");
    EXPECT_EQ(urls.back(), L"/page-5000");
}

TEST_F(MainWindowTest, TheTimerReadsTheLogByItself) {
    StartSettings settings;
    settings.UpdateSeconds = 1;
    Start(settings);
    AppendLog(Request("192.168.0.7", "/by-timer.htm"));
    const ULONGLONG end = ::GetTickCount64() + 5000;
    while (Rows().empty() && ::GetTickCount64() < end) {
        MSG message{};
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageW(&message);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    EXPECT_EQ(Urls(), std::vector<std::wstring>{L"/by-timer.htm"});
}

} // namespace
} // namespace tarnwatch::testing
