#include "main/menu_ids.h"
#include "main_window_fixture.h"
#include "messages.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnwatch::testing {
namespace {

SharedState ReadBack(const std::filesystem::path& settingsFile) {
    SharedState state;
    ScriptedBoxes boxes;
    RecordingTimer timer;
    win::WinFileSystem files;
    win::WinAnsiCodePage codePage;
    LoadSettings(state, settingsFile, files, codePage, timer, boxes);
    return state;
}

bool NoMainWindowExists() {
    return ::FindWindowW(ui::FrmMain::ClassName, nullptr) == nullptr;
}

TEST_F(MainWindowTest, ClosingWithUnchangedSettingsAsksNothingAndWritesNothing) {
    Start();
    const std::string before = TempFolder::Read(SettingsFile());
    Command(ui::mnuExit);
    EXPECT_TRUE(boxes_.Shown.empty());
    EXPECT_FALSE(::IsWindow(Window()));
    EXPECT_EQ(TempFolder::Read(SettingsFile()), before);
}

TEST_F(MainWindowTest, ClosingWithChangedSettingsAsksAndYesSavesThem) {
    Start();
    state_.RowLimit = 12;
    state_.SettingsDirty = true;
    boxes_.Answers = {BoxAnswer::Yes};
    const HWND window = Window();
    ::SendMessageW(window, WM_CLOSE, 0, 0);

    ASSERT_EQ(boxes_.Shown.size(), 1u);
    EXPECT_EQ(boxes_.Shown[0].Text, messages::SaveQuestion);
    EXPECT_EQ(boxes_.Shown[0].Title, L"Save Settings");
    EXPECT_EQ(boxes_.Shown[0].Buttons, BoxButtons::YesNo);
    EXPECT_EQ(boxes_.Shown[0].Icon, BoxIcon::Question);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(ReadBack(SettingsFile()).RowLimit, 12);
}

TEST_F(MainWindowTest, AnsweringNoClosesWithoutWriting) {
    Start();
    const std::string before = TempFolder::Read(SettingsFile());
    state_.RowLimit = 12;
    state_.SettingsDirty = true;
    boxes_.Answers = {BoxAnswer::No};
    const HWND window = Window();
    Command(ui::mnuTExit);
    EXPECT_EQ(boxes_.Shown.size(), 1u);
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(TempFolder::Read(SettingsFile()), before);
}

TEST_F(MainWindowTest, SaveSettingsWritesOnlyChangesAndSilencesTheQuestion) {
    Start();
    std::filesystem::remove(SettingsFile());
    Command(ui::mnuSave);
    EXPECT_FALSE(std::filesystem::exists(SettingsFile())) << "nothing changed, nothing written";

    state_.RowLimit = 12;
    state_.SettingsDirty = true;
    Command(ui::mnuSave);
    EXPECT_FALSE(state_.SettingsDirty);
    EXPECT_EQ(ReadBack(SettingsFile()).RowLimit, 12);

    Command(ui::mnuExit);
    EXPECT_TRUE(boxes_.Shown.empty());
}

TEST_F(MainWindowTest, EndingTheSessionAsksOnceAndThenCloses) {
    Start();
    state_.RowLimit = 12;
    state_.SettingsDirty = true;
    boxes_.Answers = {BoxAnswer::Yes};
    const HWND window = Window();
    EXPECT_EQ(::SendMessageW(window, WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_EQ(ReadBack(SettingsFile()).RowLimit, 12);
    ::SendMessageW(window, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(boxes_.Shown.size(), 1u);
    EXPECT_FALSE(::IsWindow(window));
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

TEST_F(MainWindowTest, MissingLogEndsTheStartOnCancelAndLooksAgainOnRetry) {
    WriteSettings(StartSettings{});
    boxes_.Answers = {BoxAnswer::Retry, BoxAnswer::Cancel};
    EXPECT_FALSE(Load());
    ASSERT_EQ(boxes_.Shown.size(), 2u);
    EXPECT_EQ(boxes_.Shown[1].Text, messages::LogFileMissing(TodaysLog().wstring()));
    EXPECT_EQ(boxes_.Shown[1].Buttons, BoxButtons::RetryCancel);
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
