#include "tests/ui/main_window_fixture.h"
#include "ui/dialogs/frm_option.h"
#include "ui/main/menu_ids.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwatch::testing {
namespace {

TEST_F(MainWindowTest, RequestsAppendedAfterTheStartBecomeRowsAtTheNextTick) {
    Start();
    AppendLog(Request("192.168.0.7", "/default.htm") + Request("192.168.0.8", "/missing.gif", "404"));
    EXPECT_TRUE(Urls().empty()) << "neither the old requests nor any read between ticks";
    Tick();
    ASSERT_EQ(Urls(), (std::vector<std::wstring>{L"/default.htm", L"/missing.gif"}));
    EXPECT_FALSE(Cell(0, 0).empty());
    EXPECT_EQ(Cell(0, 1) + L" " + Cell(0, 2), L"192.168.0.7 200");
    EXPECT_EQ(Cell(1, 1) + L" " + Cell(1, 2), L"192.168.0.8 404");
}

TEST_F(MainWindowTest, FilteredAddressesAreLeftOutAndOnlyTheNewestRowLimitRowsKept) {
    Start(StartSettings{
        .RowLimit = 3, .UpdateSeconds = 10, .FilterIps = {L"127.0.0.1", L"10.1.1.1"}, .LogFolder = {}});
    AppendLog(Request("127.0.0.1", "/local") + Request("192.168.0.7", "/1") +
              Request("10.1.1.1", "/filtered") + Request("10.1.1.10", "/2"));
    Tick();
    EXPECT_EQ(Urls(), (std::vector<std::wstring>{L"/1", L"/2"}));
    AppendLog(Request("192.168.0.3", "/3") + Request("192.168.0.4", "/4") + Request("192.168.0.5", "/5"));
    Tick();
    EXPECT_EQ(Urls(), (std::vector<std::wstring>{L"/3", L"/4", L"/5"}));
}

TEST_F(MainWindowTest, TheTimerReadsTheLogByItself) {
    Start(StartSettings{.RowLimit = 50, .UpdateSeconds = 1, .LogFolder = {}});
    AppendLog(Request("192.168.0.7", "/by-timer.htm"));
    for (const ULONGLONG end = ::GetTickCount64() + 5000; Urls().empty() && ::GetTickCount64() < end;) {
        MSG message{};
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageW(&message);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    EXPECT_EQ(Urls(), std::vector<std::wstring>{L"/by-timer.htm"});
}

TEST_F(MainWindowTest, SettingsFromTheMenuTrimTheListAndKeepPolling) {
    Start(StartSettings{.RowLimit = 10, .LogFolder = {}});
    for (int i = 0; i < 10; ++i) {
        AppendLog(Request("10.0.0." + std::to_string(i), "/page-" + std::to_string(i)));
    }
    Tick();
    ASSERT_EQ(Urls().size(), 10u);

    using Id = ui::FrmOption::Id;
    const ui::ScriptedUser user(ui::FrmOption::ClassName,
                                {ui::MoveSlider(Id::sldNum, 4), ui::Click(Id::cmdOk)});
    Command(ui::mnuSet);
    EXPECT_EQ(user.StepsLeft(), 0u);
    EXPECT_EQ(Urls(), (std::vector<std::wstring>{L"/page-6", L"/page-7", L"/page-8", L"/page-9"}));

    AppendLog(Request("10.0.1.1", "/after"));
    Tick();
    EXPECT_EQ(Urls(), (std::vector<std::wstring>{L"/page-7", L"/page-8", L"/page-9", L"/after"}));
}

} // namespace
} // namespace tarnwatch::testing
