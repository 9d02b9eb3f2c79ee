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

bool NoMainWindowExists() {
    return ::FindWindowW(ui::FrmMain::ClassName, nullptr) == nullptr;
}

class CloseTest : public MainWindowTest {
protected:
    void ChangeRowLimit() {
        state_.RowLimit = 12;
        state_.SettingsDirty = true;
    }
    // Closes through a menu or a message and tells whether the window went.
    bool CloseBy(UINT message, WPARAM command = 0) {
        const HWND window = Window();
        ::SendMessageW(window, message, command, 0);
        return !::IsWindow(window);
    }
};

TEST_F(CloseTest, UnchangedSettingsAreNeitherAskedForNorWritten) {
    Start();
    const std::string before = TempFolder::Read(SettingsFile());
    EXPECT_TRUE(CloseBy(WM_COMMAND, ui::mnuExit));
    EXPECT_TRUE(boxes_.Shown.empty());
    EXPECT_EQ(TempFolder::Read(SettingsFile()), before);
}

TEST_F(CloseTest, ChangedSettingsAreAskedForAndYesSavesThem) {
    Start();
    ChangeRowLimit();
    boxes_.Answers = {BoxAnswer::Yes};
    EXPECT_TRUE(CloseBy(WM_CLOSE));
    ASSERT_EQ(boxes_.Shown.size(), 1u);
    EXPECT_EQ(boxes_.Shown[0].Text, messages::SaveQuestion);
    EXPECT_EQ(boxes_.Shown[0].Title, L"Save Settings");
    EXPECT_EQ(boxes_.Shown[0].Buttons, BoxButtons::YesNo);
    EXPECT_EQ(boxes_.Shown[0].Icon, BoxIcon::Question);
    EXPECT_EQ(SavedRowLimit(SettingsFile()), 12);
}

TEST_F(CloseTest, AnsweringNoClosesWithoutWriting) {
    Start();
    const std::string before = TempFolder::Read(SettingsFile());
    ChangeRowLimit();
    boxes_.Answers = {BoxAnswer::No};
    EXPECT_TRUE(CloseBy(WM_COMMAND, ui::mnuTExit));
    EXPECT_EQ(boxes_.Shown.size(), 1u);
    EXPECT_EQ(TempFolder::Read(SettingsFile()), before);
}

TEST_F(CloseTest, SaveSettingsWritesOnlyChangesAndSilencesTheQuestion) {
    Start();
    std::filesystem::remove(SettingsFile());
    Command(ui::mnuSave);
    EXPECT_FALSE(std::filesystem::exists(SettingsFile())) << "nothing changed, nothing written";

    ChangeRowLimit();
    Command(ui::mnuSave);
    EXPECT_FALSE(state_.SettingsDirty);
    EXPECT_EQ(SavedRowLimit(SettingsFile()), 12);
    EXPECT_TRUE(CloseBy(WM_COMMAND, ui::mnuExit));
    EXPECT_TRUE(boxes_.Shown.empty());
}

TEST_F(CloseTest, EndingTheSessionAsksOnceAndThenCloses) {
    Start();
    ChangeRowLimit();
    boxes_.Answers = {BoxAnswer::Yes};
    EXPECT_EQ(::SendMessageW(Window(), WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_EQ(SavedRowLimit(SettingsFile()), 12);
    EXPECT_TRUE(CloseBy(WM_ENDSESSION, TRUE));
    EXPECT_EQ(boxes_.Shown.size(), 1u);
}

TEST_F(MainWindowTest, MissingSettingsFileEndsTheStartBeforeTheWindowIsShown) {
    WriteLog();
    EXPECT_FALSE(Load());
    ASSERT_EQ(boxes_.Shown.size(), 1u);
    EXPECT_EQ(boxes_.Shown[0].Text, messages::SettingsMissing(SettingsFile().wstring()));
    EXPECT_EQ(boxes_.Shown[0].Title, L"Initialization Failed");
    EXPECT_EQ(boxes_.Shown[0].Icon, BoxIcon::Critical);
    EXPECT_EQ(frmMain_->Handle(), nullptr);
    EXPECT_TRUE(NoMainWindowExists());
}

TEST_F(MainWindowTest, MissingLogEndsTheStartOnCancel) {
    WriteSettings(StartSettings{});
    boxes_.Answers = {BoxAnswer::Cancel};
    EXPECT_FALSE(Load());
    ASSERT_EQ(boxes_.Shown.size(), 1u);
    EXPECT_EQ(boxes_.Shown[0].Text, messages::LogFileMissing(TodaysLog().wstring()));
    EXPECT_TRUE(NoMainWindowExists());
}

TEST_F(MainWindowTest, WrongFieldListEndsTheStart) {
    WriteSettings(StartSettings{});
    WriteLog(
        "#Software: Microsoft Internet Information Services 6.0\r\n#Version: 1.0\r\n#Date: 2003-09-05\r\n"
        "#Fields: date time c-ip cs-method cs-uri-stem sc-status\r\n");
    EXPECT_FALSE(Load());
    ASSERT_EQ(boxes_.Shown.size(), 1u);
    EXPECT_EQ(boxes_.Shown[0].Text, messages::WrongFieldList());
    EXPECT_TRUE(NoMainWindowExists());
}

} // namespace
} // namespace tarnwatch::testing
