#include "ui/dialogs/frm_about.h"

#include "resources/version.h"
#include "ui/base/program_look.h"
#include "ui/dialogs/author.h"

#include <commctrl.h>

#include <string>

namespace tarnwatch::ui {

namespace {

// A fixed border without minimize and maximize buttons.
constexpr WindowDesign AboutDesign{
    FrmAbout::ClassName, L"corvin 's tarnwatch - About", WS_CAPTION | WS_SYSMENU, 0, 5475, 1275,
};

constexpr int IconTwips = 480;

} // namespace

void FrmAbout::Show(HINSTANCE instance) {
    ShowModal(instance, AboutDesign);
}

bool FrmAbout::OnCreate() {
    Command1 = AddControl({IdOf(Id::Command1), WC_BUTTONW, L"OK", ButtonStyle, 0, {4200, 240, 1200, 350}});
    Image1 = AddControl({IdOf(Id::Image1),
                         WC_STATICW,
                         L"",
                         ChildStyle | SS_ICON | SS_REALSIZECONTROL,
                         0,
                         {120, 120, IconTwips, IconTwips}});
    Label1 = AddControl({IdOf(Id::Label1), WC_STATICW, L"", ChildStyle | SS_LEFT, 0, {720, 240, 3615, 255}});
    Label2 = AddControl({IdOf(Id::Label2), WC_STATICW, L"", ChildStyle | SS_LEFT, 0, {720, 600, 3735, 495}});
    Form_Load();
    return true;
}

// A box with only OK closes on Enter and Esc from anywhere, as a message box does.
void FrmAbout::OnCommand(int id, int code, HWND) {
    if (code == BN_CLICKED && (static_cast<Id>(id) == Id::Command1 || id == IDOK || id == IDCANCEL)) {
        Command1_Click();
    }
}

void FrmAbout::Form_Load() {
    DpiChanged();
    const std::wstring notice = std::wstring(L"Tarnwatch " TARNWATCH_VERSION_TEXT L" ") + CopyrightNotice;
    ::SetWindowTextW(Label1, notice.c_str());
    const std::wstring contact = std::wstring(L"Email: ") + AuthorEmail + L"\r\nWebsite: " + AuthorHost;
    ::SetWindowTextW(Label2, contact.c_str());
}

// The icon is drawn at the size it takes on this screen, not stretched from another.
void FrmAbout::DpiChanged() {
    ::SendMessageW(
        Image1, STM_SETICON,
        reinterpret_cast<WPARAM>(LoadProgramIcon(Instance(), ProgramIcon::Yellow, Pixels(IconTwips))), 0);
}

void FrmAbout::Command1_Click() {
    EndModal();
}

} // namespace tarnwatch::ui
