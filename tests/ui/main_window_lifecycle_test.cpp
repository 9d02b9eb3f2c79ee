#include "main/menu_ids.h"
#include "main_window_fixture.h"
#include "messages.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnwatch::testing {
namespace {

std::int32_t SavedRowLimit(const std::filesystem::path& settingsFile) {
    SharedState state;
    ScriptedBoxes boxes;
    RecordingTimer timer;
    win::WinFileSystem files;
    win::WinAnsiCodePage codePage;
    LoadSettings(state, settingsFile, files, codePage, timer, boxes);
    return state.RowLimit;
}

TEST_F(MainWindowTest, ClosingAsksToSaveOnlyChangedSettingsAndWritesThemOnlyOnYes) {
    struct Case {
        bool Changed;
        UINT Message;
        WPARAM Command;
        BoxAnswer Answer;
        std::int32_t SavedRowLimit;
    };
    for (const Case& test : {Case{false, WM_COMMAND, ui::mnuExit, BoxAnswer::Yes, 50},
                             Case{true, WM_CLOSE, 0, BoxAnswer::Yes, 12},
                             Case{true, WM_COMMAND, ui::mnuTExit, BoxAnswer::No, 50}}) {
        SCOPED_TRACE(test.Message);
        boxes_ = ScriptedBoxes{};
        boxes_.Answers = {test.Answer};
        Start();
        state_.RowLimit = 12;
        state_.SettingsDirty = test.Changed;
        const HWND window = Window();
        ::SendMessageW(window, test.Message, test.Command, 0);
        EXPECT_FALSE(::IsWindow(window));
        ASSERT_EQ(boxes_.Shown.size(), test.Changed ? 1u : 0u);
        if (test.Changed) {
            EXPECT_EQ(boxes_.Shown[0].Text, messages::SaveQuestion);
            EXPECT_EQ(boxes_.Shown[0].Title, L"Save Settings");
            EXPECT_EQ(boxes_.Shown[0].Buttons, BoxButtons::YesNo);
        }
        EXPECT_EQ(SavedRowLimit(SettingsFile()), test.SavedRowLimit);
    }
}

TEST_F(MainWindowTest, SaveSettingsWritesOnlyChangesAndSilencesTheQuestion) {
    Start();
    std::filesystem::remove(SettingsFile());
    Command(ui::mnuSave);
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));

    state_.RowLimit = 12;
    state_.SettingsDirty = true;
    Command(ui::mnuSave);
    EXPECT_EQ(SavedRowLimit(SettingsFile()), 12);
    Command(ui::mnuExit);
    EXPECT_TRUE(boxes_.Shown.empty());
}

TEST_F(MainWindowTest, EachStartUpFailureEndsTheStartBeforeAWindowIsShown) {
    const std::string wrongFields = LogHeader.substr(0, LogHeader.find("#Fields")) +
                                    "#Fields: date time c-ip cs-method cs-uri-stem sc-status\r\n";
    struct Case {
        bool HasSettings;
        bool HasLog;
        std::string Header;
    };
    for (const Case& test :
         {Case{false, true, LogHeader}, Case{true, false, LogHeader}, Case{true, true, wrongFields}}) {
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

} // namespace
} // namespace tarnwatch::testing
