#include "ui/dialogs/frm_filter.h"

#include "engine/ip_entry.h"
#include "ui/base/key_filter.h"

#include <commctrl.h>

#include <cstddef>
#include <string>
#include <utility>

namespace tarnwatch::ui {

namespace {

constexpr WindowDesign FilterDesign{
    FrmFilter::ClassName, L"corvin 's tarnwatch - Filter IP", WS_CAPTION | WS_SYSMENU, 0, 5235, 2820,
};

// The empty list is not written back: the monitor then leaves out the local address.
constexpr const wchar_t* EntryOfAnEmptyList = L"127.0.0.1";

constexpr TwipsRect FrmIpRect{2280, 0, 2895, 1335};
constexpr TwipsRect FrmConfirmRect{2280, 1440, 2895, 1335};
// The column stops short of the list's right edge by this much.
constexpr int ColumnShortfallTwips = 80;

} // namespace

SettingsOutcome FrmFilter::Show(HINSTANCE instance) {
    ShowModal(instance, FilterDesign);
    return outcome_;
}

bool FrmFilter::OnCreate() {
    CreateControls();
    Form_Load();
    return true;
}

void FrmFilter::OnCommand(int id, int code, HWND) {
    RunClick<FrmFilter, Id>(*this, id, code,
                            {{Id::cmdAdd, &FrmFilter::cmdAdd_Click},
                             {Id::cmdDel, &FrmFilter::cmdDel_Click},
                             {Id::cmdOk, &FrmFilter::cmdOk_Click},
                             {Id::cmdCancel, &FrmFilter::cmdCancel_Click}});
}

LRESULT FrmFilter::OnNotify(NMHDR& header) {
    if (header.hwndFrom == lvwIp && header.code == NM_CLICK) {
        lvwIp_Click();
    }
    return 0;
}

// Created in focus order; the label and then the frames come last, so that the frames lie beneath
// everything and never paint over what they hold.
void FrmFilter::CreateControls() {
    cmdAdd = AddControl(
        {IdOf(Id::cmdAdd), WC_BUTTONW, L"Add", ButtonStyle, 0, InFrame(FrmIpRect, {240, 840, 1095, 315})});
    cmdDel = AddControl(
        {IdOf(Id::cmdDel), WC_BUTTONW, L"Del", ButtonStyle, 0, InFrame(FrmIpRect, {1440, 840, 1095, 315})});
    lvwIp = AddControl(
        {IdOf(Id::lvwIp),
         WC_LISTVIEWW,
         L"",
         ChildStyle | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
         WS_EX_CLIENTEDGE,
         {0, 120, 2175, 2655}});
    ListView_SetExtendedListViewStyle(lvwIp, LVS_EX_FULLROWSELECT);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = const_cast<wchar_t*>(L"Filter IP");
    ListView_InsertColumn(lvwIp, 0, &column);
    cmdOk = AddControl(
        {IdOf(Id::cmdOk), WC_BUTTONW, L"Ok", ButtonStyle, 0, InFrame(FrmConfirmRect, {240, 840, 1095, 315})});
    cmdCancel = AddControl({IdOf(Id::cmdCancel), WC_BUTTONW, L"Cancel", ButtonStyle, 0,
                            InFrame(FrmConfirmRect, {1440, 840, 1095, 315})});
    txtIp = AddControl({IdOf(Id::txtIp), WC_EDITW, L"", ChildStyle | WS_TABSTOP | ES_AUTOHSCROLL,
                        WS_EX_CLIENTEDGE, InFrame(FrmIpRect, {120, 360, 2655, 375})});
    FilterTypedCharacters(txtIp, &AcceptIpKey, Boxes());
    lblText = AddControl({IdOf(Id::lblText), WC_STATICW, L"", ChildStyle | SS_LEFT, 0,
                          InFrame(FrmConfirmRect, {240, 360, 2535, 375})});
    AddControl({0, WC_BUTTONW, L"Modify IP", ChildStyle | BS_GROUPBOX, 0, FrmIpRect});
    AddControl({0, WC_BUTTONW, L"Confirm", ChildStyle | BS_GROUPBOX, 0, FrmConfirmRect});
}

void FrmFilter::Form_Load() {
    SizeColumn();
    // Shown as stored, not checked or trimmed: Ok writes back exactly what it loaded.
    workingList_ = current_.FilterIps;
    for (std::size_t index = 0; index < workingList_.size(); ++index) {
        ShowEntry(index);
    }
    ShowCount();
}

void FrmFilter::SizeColumn() {
    RECT list{};
    ::GetWindowRect(lvwIp, &list);
    ListView_SetColumnWidth(lvwIp, 0, list.right - list.left - Pixels(ColumnShortfallTwips));
}

void FrmFilter::ShowEntry(std::size_t index) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(index);
    item.pszText = workingList_[index].data();
    ListView_InsertItem(lvwIp, &item);
}

void FrmFilter::ShowCount() {
    const std::wstring text = L"Total Filter IP Is " + std::to_wstring(workingList_.size());
    ::SetWindowTextW(lblText, text.c_str());
}

std::optional<std::size_t> FrmFilter::SelectedEntry() const {
    const int selected = ListView_GetNextItem(lvwIp, -1, LVNI_SELECTED);
    if (selected < 0 || static_cast<std::size_t>(selected) >= workingList_.size()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(selected);
}

void FrmFilter::lvwIp_Click() {
    if (const auto selected = SelectedEntry()) {
        ::SetWindowTextW(txtIp, workingList_[*selected].c_str());
    }
}

void FrmFilter::cmdAdd_Click() {
    const IpEntryResult result = AddFilterIp(WindowText(txtIp), workingList_);
    if (const auto refusal = RefusalFor(result)) {
        Boxes().Show(refusal->Text, refusal->Title, refusal->Buttons, refusal->Icon);
        return;
    }
    outcome_.Unsaved = true;
    ShowEntry(workingList_.size() - 1);
    ShowCount();
}

void FrmFilter::cmdDel_Click() {
    if (const auto selected = SelectedEntry()) {
        workingList_.erase(workingList_.begin() + static_cast<std::ptrdiff_t>(*selected));
        ListView_DeleteItem(lvwIp, static_cast<int>(*selected));
    }
    ShowCount();
    ::SetWindowTextW(txtIp, L"");
    outcome_.Unsaved = true;
}

void FrmFilter::cmdOk_Click() {
    Settings settings = current_;
    settings.FilterIps = workingList_.empty() ? std::vector<std::wstring>{EntryOfAnEmptyList} : workingList_;
    outcome_ = {std::move(settings), true};
    EndModal();
}

void FrmFilter::cmdCancel_Click() {
    EndModal();
}

} // namespace tarnwatch::ui
