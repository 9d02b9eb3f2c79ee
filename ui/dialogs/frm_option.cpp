#include "ui/dialogs/frm_option.h"

#include "engine/text.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

namespace tarnwatch::ui {

namespace {

// A fixed border without minimize and maximize buttons.
constexpr WindowDesign OptionDesign{
    FrmOption::ClassName, L"corvin 's tarnwatch - Option", WS_CAPTION | WS_SYSMENU, 0, 7170, 2265,
};

constexpr TwipsRect FraSetRect{120, 0, 5895, 2175};

constexpr DWORD SliderStyle = ChildStyle | WS_TABSTOP | TBS_HORZ | TBS_NOTICKS;
constexpr DWORD LabelStyle = ChildStyle | SS_LEFT;

struct SliderRange {
    int Minimum;
    int Maximum;
    int SmallStep;
    int LargeStep;
};

constexpr SliderRange SecondRange{1, 10, 1, 3};
constexpr SliderRange NumRange{1, 50, 1, 5};

void SetUpSlider(HWND slider, const SliderRange& range) {
    ::SendMessageW(slider, TBM_SETRANGEMIN, FALSE, range.Minimum);
    ::SendMessageW(slider, TBM_SETRANGEMAX, TRUE, range.Maximum);
    ::SendMessageW(slider, TBM_SETLINESIZE, 0, range.SmallStep);
    ::SendMessageW(slider, TBM_SETPAGESIZE, 0, range.LargeStep);
}

// A stored value the slider cannot take shows as the nearest end of its range.
void SetSliderValue(HWND slider, const SliderRange& range, std::int32_t value) {
    ::SendMessageW(slider, TBM_SETPOS, TRUE, std::clamp<std::int32_t>(value, range.Minimum, range.Maximum));
}

std::int32_t SliderValue(HWND slider) {
    return static_cast<std::int32_t>(::SendMessageW(slider, TBM_GETPOS, 0, 0));
}

// The log path is the folder followed directly by the daily file name, so a chosen folder gets its "\".
std::wstring LogFolderFromBrowser(const std::wstring& browsed) {
    std::wstring folder(TrimSpaces(browsed));
    if (!folder.empty() && folder.back() != L'\\') {
        folder += L'\\';
    }
    return folder;
}

} // namespace

SettingsOutcome FrmOption::Show(HINSTANCE instance) {
    ShowModal(instance, OptionDesign);
    return outcome_;
}

bool FrmOption::OnCreate() {
    CreateControls();
    Form_Load();
    return true;
}

void FrmOption::OnCommand(int id, int code, HWND) {
    RunClick<FrmOption, Id>(*this, id, code,
                            {{Id::cmdSelect, &FrmOption::cmdSelect_Click},
                             {Id::cmdOk, &FrmOption::cmdOk_Click},
                             {Id::cmdCancel, &FrmOption::cmdCancel_Click}});
}

// Created in focus order. What takes no focus comes after, and the frame last, so that it lies beneath
// everything and never paints over what it holds.
void FrmOption::CreateControls() {
    cmdSelect = AddControl({IdOf(Id::cmdSelect), WC_BUTTONW, L"...", ButtonStyle, 0,
                            InFrame(FraSetRect, {5400, 1600, 375, 375}), true});
    txtPath = AddControl({IdOf(Id::txtPath), WC_EDITW, L"", ChildStyle | WS_TABSTOP | ES_AUTOHSCROLL,
                          WS_EX_CLIENTEDGE, InFrame(FraSetRect, {240, 1600, 5055, 375})});
    cmdOk = AddControl({IdOf(Id::cmdOk), WC_BUTTONW, L"OK", ButtonStyle, 0, {6120, 120, 975, 375}});
    cmdCancel =
        AddControl({IdOf(Id::cmdCancel), WC_BUTTONW, L"Cancel", ButtonStyle, 0, {6120, 600, 975, 375}});
    sldSecond = AddControl({IdOf(Id::sldSecond), TRACKBAR_CLASSW, L"", SliderStyle, 0,
                            InFrame(FraSetRect, {1320, 360, 3375, 375})});
    sldNum = AddControl({IdOf(Id::sldNum), TRACKBAR_CLASSW, L"", SliderStyle, 0,
                         InFrame(FraSetRect, {2040, 840, 3495, 375})});
    AddControl({0, WC_STATICW, L"Please Select Logfile Path:", LabelStyle, 0,
                InFrame(FraSetRect, {120, 1320, 2415, 375})});
    AddControl({0, WC_STATICW, L"Update After ", LabelStyle, 0, InFrame(FraSetRect, {120, 360, 2055, 375})});
    AddControl({0, WC_STATICW, L"Seconds", LabelStyle, 0, InFrame(FraSetRect, {4800, 360, 975, 375})});
    AddControl(
        {0, WC_STATICW, L"List View Row Number", LabelStyle, 0, InFrame(FraSetRect, {120, 840, 2055, 375})});
    AddControl({0, WC_BUTTONW, L"Settings", ChildStyle | BS_GROUPBOX, 0, FraSetRect});
    SetUpSlider(sldSecond, SecondRange);
    SetUpSlider(sldNum, NumRange);
}

void FrmOption::Form_Load() {
    SetSliderValue(sldSecond, SecondRange, context_.Current.UpdateSeconds);
    SetSliderValue(sldNum, NumRange, context_.Current.RowLimit);
    ::SetWindowTextW(txtPath, context_.Current.LogFolder.c_str());
}

void FrmOption::cmdSelect_Click() {
    const std::wstring folder =
        LogFolderFromBrowser(context_.Browser.Browse(Handle(), L"Select the Logfile Folder"));
    if (!folder.empty()) {
        ::SetWindowTextW(txtPath, folder.c_str());
    }
}

void FrmOption::cmdOk_Click() {
    Settings settings = context_.Current;
    settings.UpdateSeconds = SliderValue(sldSecond);
    settings.RowLimit = SliderValue(sldNum);
    settings.LogFolder = WindowText(txtPath);
    // Unsaved even when nothing changed: closing the program then asks whether to save.
    outcome_ = {std::move(settings), true};
    EndModal();
}

void FrmOption::cmdCancel_Click() {
    EndModal();
}

} // namespace tarnwatch::ui
