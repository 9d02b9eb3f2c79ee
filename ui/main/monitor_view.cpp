#include "ui/main/monitor_view.h"

#include "platform/system_error.h"

#include <algorithm>
#include <array>
#include <string>

namespace tarnwatch::ui {

namespace {

struct ColumnDesign {
    const wchar_t* Header;
    int Format;
};

constexpr std::array<ColumnDesign, 4> Columns{{
    {L"Local Time", LVCFMT_LEFT},
    {L"Remote IP", LVCFMT_CENTER},
    {L"Status", LVCFMT_CENTER},
    {L"Url", LVCFMT_LEFT},
}};

const std::wstring NoText;

} // namespace

const std::wstring& MonitorView::CellText(const MonitorRow& row, int column) {
    switch (column) {
    case 0:
        return row.LocalTime;
    case 1:
        codePage_.ToWide(row.RemoteIp, cellText_);
        return cellText_;
    case 2:
        codePage_.ToWide(row.Status, cellText_);
        return cellText_;
    case 3:
        codePage_.ToWide(row.Url, cellText_);
        return cellText_;
    default:
        return NoText;
    }
}

void MonitorView::Create(HWND parent, HINSTANCE instance, int controlId) {
    list_ = ::CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA,
        0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), instance, nullptr);
    if (list_ == nullptr) {
        const DWORD error = ::GetLastError();
        throw win::WindowsError(L"Cannot create the monitor list", error);
    }
    // Rows change in bulk; drawing off screen keeps those repaints from flickering.
    ListView_SetExtendedListViewStyle(list_, LVS_EX_DOUBLEBUFFER);
    for (int index = 0; index < static_cast<int>(Columns.size()); ++index) {
        const ColumnDesign& design = Columns[static_cast<std::size_t>(index)];
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.fmt = design.Format;
        column.pszText = const_cast<wchar_t*>(design.Header);
        column.iSubItem = index;
        ListView_InsertColumn(list_, index, &column);
    }
}

void MonitorView::ShowRows() {
    const std::uint64_t revision = rows_.Revision();
    if (revision == shownRevision_) {
        return;
    }
    shownRevision_ = revision;
    const std::vector<std::uint64_t> selected = ShownSerials(LVNI_SELECTED);
    const std::vector<std::uint64_t> focused = ShownSerials(LVNI_FOCUSED);
    shownSerials_.resize(static_cast<std::size_t>(rows_.RowCount()));
    for (std::size_t row = 0; row < shownSerials_.size(); ++row) {
        shownSerials_[row] = rows_.Serial(static_cast<int>(row) + 1);
    }
    // Under Wine setting the count takes over 20 ms even when it stays, and it stays at the row limit once
    // the list is full.
    if (ListView_GetItemCount(list_) != rows_.RowCount()) {
        ListView_SetItemCountEx(list_, rows_.RowCount(), LVSICF_NOSCROLL);
    }
    if (!selected.empty() || !focused.empty()) {
        ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        SetStateOf(selected, LVIS_SELECTED);
        SetStateOf(focused, LVIS_FOCUSED);
    }
    // Trimming moves every row up by one even when the count stays, so the whole list is stale.
    ::InvalidateRect(list_, nullptr, FALSE);
}

std::vector<std::uint64_t> MonitorView::ShownSerials(UINT state) const {
    std::vector<std::uint64_t> serials;
    for (int row = ListView_GetNextItem(list_, -1, state); row >= 0 && row < std::ssize(shownSerials_);
         row = ListView_GetNextItem(list_, row, state)) {
        serials.push_back(shownSerials_[static_cast<std::size_t>(row)]);
    }
    return serials;
}

// A request trimmed away takes its selection with it.
void MonitorView::SetStateOf(const std::vector<std::uint64_t>& serials, UINT state) {
    for (const std::uint64_t serial : serials) {
        if (const int index = rows_.IndexOf(serial); index > 0) {
            ListView_SetItemState(list_, index - 1, state, state);
        }
    }
}

void MonitorView::FillDisplayInfo(NMLVDISPINFOW& request) {
    LVITEMW& item = request.item;
    if ((item.mask & LVIF_TEXT) == 0 || item.pszText == nullptr || item.cchTextMax <= 0) {
        return;
    }
    // A dialog running inside a pass may trim rows before the list has heard of it.
    const int row = item.iItem + 1;
    const std::wstring& text =
        row >= 1 && row <= rows_.RowCount() ? CellText(rows_.Row(row), item.iSubItem) : NoText;
    const std::size_t length =
        std::min<std::size_t>(text.size(), static_cast<std::size_t>(item.cchTextMax) - 1);
    std::copy_n(text.data(), length, item.pszText);
    item.pszText[length] = L'\0';
}

} // namespace tarnwatch::ui
