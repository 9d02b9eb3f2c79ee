#include "engine/messages.h"
#include "platform/twips.h"
#include "resources/version.h"
#include "tests/ui/main_window_fixture.h"
#include "ui/dialogs/author.h"
#include "ui/dialogs/frm_about.h"
#include "ui/main/menu_ids.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace tarnwatch::testing {
namespace {

using win::TwipsToPixels;

class HelpTest : public MainWindowTest {
protected:
    HWND Help() const { return frmMain_->HelpWindow().Handle(); }
    HWND HelpList() const { return frmMain_->HelpWindow().HelpListHandle(); }
    std::wstring HelpCell(int row, int column) const {
        std::array<wchar_t, 128> text{};
        ListView_GetItemText(HelpList(), row, column, text.data(), 128);
        return text.data();
    }
};

TEST_F(HelpTest, HelpContentsListsTheFortyOneCodesOnceHoweverOftenItIsOpened) {
    Start();
    for (const bool closeFirst : {false, false, true}) {
        if (closeFirst) {
            ::SendMessageW(Help(), WM_CLOSE, 0, 0);
            ASSERT_FALSE(frmMain_->HelpWindow().IsOpen());
        }
        Command(ui::mnuCon);
        ASSERT_TRUE(::IsWindowVisible(Help()));
        ASSERT_EQ(ListView_GetItemCount(HelpList()), 41);
        EXPECT_EQ(HelpCell(0, 0), L"100");
        EXPECT_EQ(HelpCell(0, 1), L"Continue");
        EXPECT_EQ(HelpCell(21, 0), L"404");
        EXPECT_EQ(HelpCell(21, 1), L"Not Found");
        EXPECT_EQ(HelpCell(40, 0), L"505");
        EXPECT_EQ(HelpCell(40, 1), L"HTTP Version Not Supported");
    }
    const RECT placed = WindowRect(Help());
    EXPECT_EQ(placed.left, 0);
    EXPECT_EQ(placed.top, 0);
}

TEST_F(HelpTest, TheHelpWindowKeepsItsHeightAndFitsTheStatusColumnToItsWidth) {
    Start();
    Command(ui::mnuCon);
    const int dpi = win::WindowDpi(Help());
    const int height = ::GetSystemMetrics(SM_CYSCREEN) - TwipsToPixels(456, dpi);
    for (const int width : {300, 160, 60}) {
        SCOPED_TRACE(width);
        ::SetWindowPos(Help(), nullptr, 0, 0, width, 200, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(Height(WindowRect(Help())), height) << "the height springs back";
        RECT client{};
        ::GetClientRect(Help(), &client);
        EXPECT_EQ(Width(WindowRect(HelpList())), client.right) << "the list fills the window";
        EXPECT_EQ(ListView_GetColumnWidth(HelpList(), 0), TwipsToPixels(1200, dpi));
        EXPECT_EQ(ListView_GetColumnWidth(HelpList(), 1),
                  std::max(client.right - TwipsToPixels(1200, dpi) - TwipsToPixels(360, dpi), 0L));
    }
}

TEST_F(HelpTest, AnOpenHelpWindowKeepsTheProgramGoingAfterTheMainWindowCloses) {
    int programEnds = 0;
    for (const bool helpOpen : {false, true}) {
        Start();
        frmMain_->SetClosedHandler([&] { ++programEnds; });
        if (helpOpen) {
            Command(ui::mnuCon);
        }
        Command(ui::mnuExit);
        EXPECT_EQ(programEnds, 1) << "the main window closed, help open: " << helpOpen;
    }
    ASSERT_TRUE(frmMain_->HelpWindow().IsOpen());
    ::SendMessageW(Help(), WM_CLOSE, 0, 0);
    EXPECT_EQ(programEnds, 2);
}

TEST_F(HelpTest, TheAboutBoxShowsTheSameTextsEachTimeAndFromTheTrayLeavesTheWindowHidden) {
    Start();
    using Id = ui::FrmAbout::Id;
    std::vector<std::wstring> seen;
    std::vector<bool> mainWindowShown;
    const ui::Step read = [&](HWND about) {
        seen.push_back(ui::TextOf(about, Id::Label1));
        seen.push_back(ui::TextOf(about, Id::Label2));
        mainWindowShown.push_back(::IsWindowVisible(Window()) != FALSE);
    };
    for (const UINT entry : {ui::mnuAbout, ui::mnuTAbout}) {
        if (entry == ui::mnuTAbout) {
            Command(ui::mnuMin);
        }
        const ui::ScriptedUser user(ui::FrmAbout::ClassName, {read, ui::Click(Id::Command1)});
        Command(entry);
        EXPECT_EQ(user.StepsLeft(), 0u);
    }
    EXPECT_EQ(mainWindowShown, (std::vector<bool>{true, false}));
    EXPECT_FALSE(::IsWindowVisible(Window())) << "not even once the box has closed";
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0], std::wstring(L"Tarnwatch " TARNWATCH_VERSION_TEXT L" ") + ui::CopyrightNotice);
    EXPECT_EQ(seen[1], std::wstring(L"Email: ") + ui::AuthorEmail + L"\r\nWebsite: " + ui::AuthorHost);
    EXPECT_EQ(seen[2], seen[0]);
    EXPECT_EQ(seen[3], seen[1]);
}

TEST_F(HelpTest, OnlineHelpAndTheLogViewerOpenOnlyWhatTheyMayAndRefuseTheRest) {
    Start();
    Command(ui::mnuLine);
    const std::wstring log = state_.LogFilePath;
    std::filesystem::resize_file(TodaysLog(), 104857600);
    Command(ui::mnuLog);
    EXPECT_EQ(opener_.Targets,
              (std::vector<std::wstring>{L"http://www.example.org/url/message/message.asp", log}));

    std::filesystem::resize_file(TodaysLog(), 104857601);
    Command(ui::mnuLog);
    std::filesystem::remove(TodaysLog());
    Command(ui::mnuLog);
    EXPECT_EQ(opener_.Targets.size(), 2u) << "nothing more was opened";
    ASSERT_EQ(boxes_.Shown.size(), 2u);
    EXPECT_EQ(boxes_.Shown[0].Text, L"File -> " + log + L"\r\nIs Biger then 100M, Please Backup It First!!!");
    EXPECT_EQ(boxes_.Shown[1].Text, L"File -> " + log + L"\r\nDon't Found!!!");
    for (const ShownBox& box : boxes_.Shown) {
        EXPECT_EQ(box.Title, L"Open LogFile Failed");
        EXPECT_EQ(box.Buttons, BoxButtons::Ok);
        EXPECT_EQ(box.Icon, BoxIcon::Critical);
    }
}

} // namespace
} // namespace tarnwatch::testing
