#include "engine/messages.h"
#include "tests/ui/main_window_fixture.h"
#include "ui/dialogs/frm_option.h"
#include "ui/main/menu_ids.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnwatch::testing {
namespace {

TEST_F(MainWindowTest, ClosingAsksToSaveOnlyUnsavedChangesAndWritesThemOnlyOnYes) {
    struct Case {
        bool Changed;
        bool SavedFirst;
        UINT Message;
        WPARAM Command;
        BoxAnswer Answer;
        std::int32_t SavedRowLimit;
    };
    for (const Case& test : {Case{false, true, WM_COMMAND, ui::mnuExit, BoxAnswer::Yes, 50},
                             Case{true, false, WM_CLOSE, 0, BoxAnswer::Yes, 12},
                             Case{true, false, WM_COMMAND, ui::mnuTExit, BoxAnswer::No, 50},
                             Case{true, true, WM_COMMAND, ui::mnuExit, BoxAnswer::No, 12}}) {
        SCOPED_TRACE(::testing::Message() << test.Changed << test.SavedFirst << test.Message);
        boxes_ = ScriptedBoxes{};
        boxes_.Answers = {test.Answer};
        Start();
        state_.RowLimit = 12;
        state_.SettingsDirty = test.Changed;
        if (test.SavedFirst) {
            Command(ui::mnuSave);
        }
        const HWND window = Window();
        ::SendMessageW(window, test.Message, test.Command, 0);
        EXPECT_FALSE(::IsWindow(window));
        const bool asked = test.Changed && !test.SavedFirst;
        ASSERT_EQ(boxes_.Shown.size(), asked ? 1u : 0u);
        if (asked) {
            EXPECT_EQ(boxes_.Shown[0].Text, messages::SaveQuestion);
            EXPECT_EQ(boxes_.Shown[0].Title, L"Save Settings");
            EXPECT_EQ(boxes_.Shown[0].Buttons, BoxButtons::YesNo);
        }
        SharedState saved;
        RecordingTimer timer;
        LoadSettings(saved, SettingsFile(), files_, codePage_, timer, boxes_);
        EXPECT_EQ(saved.RowLimit, test.SavedRowLimit);
    }
}

TEST_F(MainWindowTest, EachStartUpFailureEndsTheStartBeforeAWindowIsShown) {
    const std::string wrongFields = LogHeader("#Fields: date time c-ip cs-method cs-uri-stem sc-status");
    struct Case {
        bool HasSettings;
        bool HasLog;
        std::string Header;
    };
    for (const Case& test :
         {Case{false, true, LogHeader()}, Case{true, false, LogHeader()}, Case{true, true, wrongFields}}) {
        std::filesystem::remove(SettingsFile());
        std::filesystem::remove(TodaysLog());
        boxes_ = ScriptedBoxes{};
        boxes_.Answers = {BoxAnswer::Cancel};
        if (test.HasSettings) {
            WriteSettings();
        }
        if (test.HasLog) {
            WriteLog(test.Header);
        }
        EXPECT_FALSE(Load());
        ASSERT_EQ(boxes_.Shown.size(), 1u);
        const std::wstring expected = !test.HasSettings ? messages::SettingsMissing(SettingsFile().wstring())
                                      : !test.HasLog    ? messages::LogFileMissing(TodaysLog().wstring())
                                                        : messages::WrongFieldList();
        EXPECT_EQ(boxes_.Shown[0].Text, expected);
        EXPECT_EQ(::FindWindowW(ui::FrmMain::ClassName, nullptr), nullptr);
    }
}

TEST_F(MainWindowTest, RetryOpensTheOptionsAndGoesOnWithTheFolderFixedThere) {
    WriteSettings(StartSettings{.LogFolder = LogFolderSetting() + L"missing\\"});
    WriteLog();
    boxes_.Answers = {BoxAnswer::Retry, BoxAnswer::Retry};
    // The first opening is cancelled and the search fails again; the second fixes the folder.
    using Id = ui::FrmOption::Id;
    const ui::ScriptedUser user(
        ui::FrmOption::ClassName,
        {ui::Click(Id::cmdCancel), ui::Paste(Id::txtPath, LogFolderSetting()), ui::Click(Id::cmdOk)});
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

} // namespace
} // namespace tarnwatch::testing
