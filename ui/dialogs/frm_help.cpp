#include "ui/dialogs/frm_help.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <string_view>

namespace tarnwatch::ui {

namespace {

// A resizable border without minimize and maximize buttons.
constexpr WindowDesign HelpDesign{
    FrmHelp::ClassName, L"corvin 's tarnwatch - Help", WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, 0, 4875, 5655,
};

constexpr int CodeColumnTwips = 1200;
// The status column stops short of the list's right edge by this much.
constexpr int StatusShortfallTwips = 360;
// The window spans the screen's height less this much.
constexpr int HeightShortfallTwips = 456;
constexpr std::size_t CodeLength = 3;

// Each entry is the code directly followed by its text; the texts are the program's own.
constexpr std::array<std::wstring_view, 41> StatusCodes{
    L"100Continue",
    L"101Switching Protocol",
    L"200OK",
    L"201Created",
    L"202Accepted",
    L"203Non Authoritutive",
    L"204No content",
    L"205Reset Content",
    L"206Purtial Content",
    L"300Multiple Choices",
    L"301Moved Permanently",
    L"302Found",
    L"303See Other",
    L"304Not Modified",
    L"305Proxy(Use Proxy)",
    L"306Unused",
    L"307Temporary Redirect",
    L"400Request Invalidation",
    L"401Unauthorized",
    L"402Payment Required",
    L"403Forbidden",
    L"404Not Found",
    L"405Method Not Allowed",
    L"406Not Acceptuble",
    L"407Proxy Authentication Required",
    L"408Request Time Out",
    L"409Conflice",
    L"410Gone",
    L"411Length Required",
    L"412Precondition Failed",
    L"413Request Entity Too Large",
    L"414Uequest-URI Too Long",
    L"415Un Supported Media Type",
    L"416Requested Range Not Satisfiable",
    L"417Expectatoin Failed",
    L"500Internal Server Error",
    L"501Not Implemented",
    L"502Bad Guteway",
    L"503Service Unavailable",
    L"504Gateway Timeout",
    L"505HTTP Version Not Supported",
};

void AddColumn(HWND list, int index, const wchar_t* header) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(header);
    column.iSubItem = index;
    ListView_InsertColumn(list, index, &column);
}

} // namespace

void FrmHelp::Show(HINSTANCE instance) {
    if (!IsOpen() && !Create(instance, HelpDesign)) {
        return;
    }
    ::ShowWindow(Handle(), SW_SHOWNORMAL);
    ::SetForegroundWindow(Handle());
}

bool FrmHelp::OnCreate() {
    lvwHelp = AddControl({IdOf(Id::lvwHelp),
                          WC_LISTVIEWW,
                          L"",
                          ChildStyle | WS_TABSTOP | LVS_REPORT | LVS_NOSORTHEADER,
                          WS_EX_CLIENTEDGE,
                          {0, 0, 4875, 5655}});
    AddColumn(lvwHelp, 0, L"Code");
    AddColumn(lvwHelp, 1, L"Status");
    Form_Load();
    return true;
}

LRESULT FrmHelp::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) {
        Form_Resize(wParam);
        return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

void FrmHelp::Destroyed() {
    lvwHelp = nullptr;
    if (closed_) {
        closed_();
    }
}

void FrmHelp::Form_Load() {
    for (const std::wstring_view entry : StatusCodes) {
        std::wstring code(entry.substr(0, CodeLength));
        std::wstring text(entry.substr(CodeLength));
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = ListView_GetItemCount(lvwHelp);
        item.pszText = code.data();
        const int row = ListView_InsertItem(lvwHelp, &item);
        ListView_SetItemText(lvwHelp, row, 1, text.data());
    }
    ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FrmHelp::Form_Resize(WPARAM sizeKind) {
    if (lvwHelp == nullptr || (sizeKind != SIZE_RESTORED && sizeKind != SIZE_MAXIMIZED)) {
        return;
    }
    RECT client{};
    ::GetClientRect(Handle(), &client);
    ::MoveWindow(lvwHelp, 0, 0, client.right, client.bottom, TRUE);
    ListView_SetColumnWidth(lvwHelp, 0, Pixels(CodeColumnTwips));
    // A window narrower than the code column and the gap leaves the status column at no width at all.
    ListView_SetColumnWidth(
        lvwHelp, 1, std::max<LONG>(client.right - Pixels(CodeColumnTwips) - Pixels(StatusShortfallTwips), 0));
    SpanScreenHeightLess(HeightShortfallTwips);
}

} // namespace tarnwatch::ui
