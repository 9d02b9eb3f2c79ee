#include "main/menu_ids.h"
#include "main_window_fixture.h"
#include "messages.h"

#include <gtest/gtest.h>

namespace tarnwatch::testing {
namespace {

using ui::Click;
using ui::ScriptedUser;

TEST_F(MainWindowTest, RetryOpensTheOptionsAndGoesOnWithTheFolderFixedThere) {
    WriteSettings(StartSettings{.LogFolder = LogFolderSetting() + L"missing\\"});
    WriteLog();
    boxes_.Answers = {BoxAnswer::Retry, BoxAnswer::Retry};
    // The first opening is cancelled and the search fails again; the second fixes the folder.
    const ScriptedUser user({Click(ui::IdCmdCancel), ui::TypePath(LogFolderSetting()), Click(ui::IdCmdOk)});
    ASSERT_TRUE(Load());
    EXPECT_EQ(user.StepsLeft(), 0u);
    ASSERT_EQ(boxes_.Shown.size(), 2u);
    EXPECT_EQ(boxes_.Shown[1].Text,
              messages::LogFileMissing(LogFolderSetting() + L"missing\\" + TodaysLog().filename().wstring()));
    EXPECT_EQ(state_.LogFilePath, TodaysLog().wstring());
    EXPECT_TRUE(state_.SettingsDirty);
    frmMain_->Show(SW_SHOWNORMAL);
    EXPECT_TRUE(::IsWindowVisible(Window()));
    EXPECT_TRUE(Urls().empty());
}

TEST_F(MainWindowTest, SettingsFromTheMenuTrimTheListAndKeepPolling) {
    Start(StartSettings{.RowLimit = 10, .LogFolder = {}});
    for (int i = 0; i < 10; ++i) {
        AppendLog(Request("10.0.0." + std::to_string(i), "/page-" + std::to_string(i)));
    }
    Tick();
    ASSERT_EQ(Urls().size(), 10u);

    const ScriptedUser user({ui::MoveSlider(ui::IdSldNum, 4), Click(ui::IdCmdOk)});
    Command(ui::mnuSet);
    EXPECT_EQ(user.StepsLeft(), 0u);
    EXPECT_EQ(Urls(), (std::vector<std::wstring>{L"/page-6", L"/page-7", L"/page-8", L"/page-9"}));

    AppendLog(Request("10.0.1.1", "/after"));
    Tick();
    EXPECT_EQ(Urls(), (std::vector<std::wstring>{L"/page-7", L"/page-8", L"/page-9", L"/after"}));
}

} // namespace
} // namespace tarnwatch::testing
