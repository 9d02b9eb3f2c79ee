#include "main/menu_ids.h"
#include "main_window_fixture.h"
#include "twips.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwatch::testing {
namespace {

using win::TwipsToPixels;

// A menu as its captions: separators show as "-", a pop-up as its caption followed by its entries in braces.
std::vector<std::wstring> Captions(HMENU menu) {
    std::vector<std::wstring> captions;
    for (int position = 0; position < ::GetMenuItemCount(menu); ++position) {
        std::array<wchar_t, 128> text{};
        MENUITEMINFOW item{};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_STRING | MIIM_FTYPE | MIIM_SUBMENU;
        item.dwTypeData = text.data();
        item.cch = static_cast<UINT>(text.size());
        ::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &item);
        captions.push_back((item.fType & MFT_SEPARATOR) != 0 ? L"-" : text.data());
        if (item.hSubMenu != nullptr) {
            captions.push_back(L"{");
            for (const std::wstring& caption : Captions(item.hSubMenu)) {
                captions.push_back(caption);
            }
            captions.push_back(L"}");
        }
    }
    return captions;
}

// The command ids of a menu's entries in menu order, separators and pop-ups left out.
std::vector<UINT> Commands(HMENU menu) {
    std::vector<UINT> commands;
    for (int position = 0; position < ::GetMenuItemCount(menu); ++position) {
        const HMENU popup = ::GetSubMenu(menu, position);
        if (popup != nullptr) {
            const std::vector<UINT> inner = Commands(popup);
            commands.insert(commands.end(), inner.begin(), inner.end());
        } else if (::GetMenuItemID(menu, position) != 0) {
            commands.push_back(::GetMenuItemID(menu, position));
        }
    }
    return commands;
}

std::wstring Text(HWND window) {
    std::array<wchar_t, 256> text{};
    ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    return text.data();
}

TEST_F(MainWindowTest, CaptionCarriesTheStartDate) {
    Start();
    std::array<wchar_t, 64> date{};
    ASSERT_GT(::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date.data(),
                                static_cast<int>(date.size()), nullptr),
              0);
    EXPECT_EQ(Text(Window()), std::wstring(L"corvin 's tarnwatch   Today is ") + date.data());
}

TEST_F(MainWindowTest, StandsAtTheTopRightAsATallStripFilledByTheList) {
    Start();
    const int dpi = Dpi();
    const RECT window = WindowRect(Window());
    const RECT client = ClientRect(Window());
    EXPECT_EQ(window.top, 0);
    EXPECT_EQ(window.right, ::GetSystemMetrics(SM_CXSCREEN) - TwipsToPixels(7, dpi));
    EXPECT_EQ(client.right, TwipsToPixels(4980, dpi));
    EXPECT_EQ(window.bottom - window.top, ::GetSystemMetrics(SM_CYSCREEN) - TwipsToPixels(408, dpi));

    const RECT list = WindowRect(List());
    POINT clientOrigin{0, 0};
    ::ClientToScreen(Window(), &clientOrigin);
    EXPECT_EQ(list.left, clientOrigin.x);
    EXPECT_EQ(list.top, clientOrigin.y);
    EXPECT_EQ(list.right - list.left, client.right);
    EXPECT_EQ(list.bottom - list.top, client.bottom);

    const LONG_PTR style = ::GetWindowLongPtrW(Window(), GWL_STYLE);
    EXPECT_EQ(style & WS_MAXIMIZEBOX, 0);
    EXPECT_NE(style & WS_MINIMIZEBOX, 0);
    EXPECT_NE(style & WS_THICKFRAME, 0);
    EXPECT_TRUE(::IsWindowVisible(Window()));
}

TEST_F(MainWindowTest, MenuBarAndHiddenTrayMenuHoldTheirEntriesInOrder) {
    Start();
    const std::vector<std::wstring> bar{L"&File",
                                        L"{",
                                        L"&Save settings",
                                        L"-",
                                        L"E&xit tarnwatch",
                                        L"}",
                                        L"&Options",
                                        L"{",
                                        L"&Settings",
                                        L"&Filtrate ip",
                                        L"&Sound Notify",
                                        L"-",
                                        L"&Minimize",
                                        L"}",
                                        L"&View",
                                        L"{",
                                        L"&Simple mode",
                                        L"S&tandard mode",
                                        L"&Complete mode",
                                        L"-",
                                        L"&Alway on top",
                                        L"}",
                                        L"&Help",
                                        L"{",
                                        L"&On Line help",
                                        L"&View LogFile",
                                        L"&Help Contents",
                                        L"-",
                                        L"&About tarnwatch",
                                        L"}"};
    EXPECT_EQ(Captions(::GetMenu(Window())), bar);

    const std::vector<std::wstring> tray{L"Popup",
                                         L"{",
                                         L"&Show Tarnwatch",
                                         L"-",
                                         L"&Settings",
                                         L"&Filter IP",
                                         L"&Sound Notify",
                                         L"&About Tarnwatch",
                                         L"-",
                                         L"E&xit",
                                         L"}"};
    EXPECT_EQ(Captions(frmMain_->TrayMenu()), tray);

    using namespace ui;
    EXPECT_EQ(Commands(::GetMenu(Window())),
              (std::vector<UINT>{mnuSave, mnuExit, mnuSet, mnuFilter, mnuNotify, mnuMin, mnuSim, mnuSta,
                                 mnuCom, mnuTOp, mnuLine, mnuLog, mnuCon, mnuAbout}));
    EXPECT_EQ(Commands(frmMain_->TrayMenu()),
              (std::vector<UINT>{mnuTShow, mnuTSet, mnuTFilter, mnuTNotify, mnuTAbout, mnuTExit}));
    for (const UINT command : Commands(::GetMenu(Window()))) {
        EXPECT_EQ(::GetMenuState(::GetMenu(Window()), command, MF_BYCOMMAND) & (MF_CHECKED | MF_DISABLED),
                  command == mnuSta ? MF_CHECKED : 0u)
            << command;
    }
}

TEST_F(MainWindowTest, ListIsAVirtualReportWithTheFourColumns) {
    Start();
    const LONG_PTR style = ::GetWindowLongPtrW(List(), GWL_STYLE);
    EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_NE(style & LVS_OWNERDATA, 0);

    const std::array<std::wstring, 4> headers{L"Local Time", L"Remote IP", L"Status", L"Url"};
    const std::array<int, 4> formats{LVCFMT_LEFT, LVCFMT_CENTER, LVCFMT_CENTER, LVCFMT_LEFT};
    for (int index = 0; index < 4; ++index) {
        std::array<wchar_t, 64> text{};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_FMT;
        column.pszText = text.data();
        column.cchTextMax = static_cast<int>(text.size());
        ASSERT_TRUE(ListView_GetColumn(List(), index, &column));
        EXPECT_EQ(text.data(), headers[static_cast<std::size_t>(index)]);
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, formats[static_cast<std::size_t>(index)]) << index;
    }
    EXPECT_EQ(ListView_GetItemCount(List()), 0);
}

TEST_F(MainWindowTest, UsesTahomaAndTheYellowIconAndHidesTheTwoPictures) {
    Start();
    LOGFONTW font{};
    ASSERT_NE(
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(List(), WM_GETFONT, 0, 0)), sizeof(font), &font),
        0);
    EXPECT_EQ(std::wstring(font.lfFaceName), L"Tahoma");
    EXPECT_EQ(font.lfHeight, -static_cast<int>(9.75 * Dpi() / 72 + 0.5));

    EXPECT_NE(::GetClassLongPtrW(Window(), GCLP_HICON), 0);
    EXPECT_NE(::GetClassLongPtrW(Window(), GCLP_HICONSM), 0);

    std::vector<LRESULT> pictureIcons;
    for (HWND child = ::GetWindow(Window(), GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (child != List() && (::GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            EXPECT_FALSE(::IsWindowVisible(child));
            pictureIcons.push_back(::SendMessageW(child, STM_GETICON, 0, 0));
        }
    }
    ASSERT_EQ(pictureIcons.size(), 2u);
    EXPECT_NE(pictureIcons[0], 0);
    EXPECT_NE(pictureIcons[1], 0);
    EXPECT_NE(pictureIcons[0], pictureIcons[1]) << "yellow and blue are two icons";
}

} // namespace
} // namespace tarnwatch::testing
