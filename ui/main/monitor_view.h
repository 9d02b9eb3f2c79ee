// lvwTarnwatch: a virtual report list that shows the engine's rows without holding them.
#pragma once

#include "engine/monitor_rows.h"
#include "engine/ports.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwatch::ui {

class MonitorView {
public:
    MonitorView(const MonitorRows& rows, AnsiCodePage& codePage) : rows_(rows), codePage_(codePage) {}

    // Creates the list with its four columns; the parent places it, and destroys it with itself. Throws
    // win::WindowsError when the system cannot make the list.
    void Create(HWND parent, HINSTANCE instance, int controlId);
    HWND Handle() const { return list_; }

    // Brings the list up to the rows if they changed since it was last shown: one repaint, not one per row.
    // Selected rows stay with the requests they show while those are on the list.
    void ShowRows();

    // The list asks for the text of a cell as it paints it.
    void FillDisplayInfo(NMLVDISPINFOW& request);

private:
    // The cell's text in UTF-16; the log fields are converted from the log's code page here.
    const std::wstring& CellText(const MonitorRow& row, int column);
    // The requests behind the list's rows that carry the state, as the list last showed them.
    std::vector<std::uint64_t> ShownSerials(UINT state) const;
    void SetStateOf(const std::vector<std::uint64_t>& serials, UINT state);

    const MonitorRows& rows_;
    AnsiCodePage& codePage_;
    std::wstring cellText_;
    HWND list_ = nullptr;
    std::uint64_t shownRevision_ = 0;
    // The request behind each row as last shown; the list control only knows rows by their place.
    std::vector<std::uint64_t> shownSerials_;
};

} // namespace tarnwatch::ui
