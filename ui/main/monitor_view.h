// lvwTarnwatch: a virtual report list that shows the engine's rows without holding them.
#pragma once

#include "monitor_rows.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdint>

namespace tarnwatch::ui {

class MonitorView {
public:
    explicit MonitorView(const MonitorRows& rows) : rows_(rows) {}

    // Creates the list with its four columns; the parent destroys it with itself.
    void Create(HWND parent, HINSTANCE instance, int controlId, const RECT& bounds);
    HWND Handle() const { return list_; }

    // Brings the list up to the rows if they changed since it was last shown: one repaint, not one per row.
    void ShowRows();

    // The list asks for the text of a cell as it paints it.
    void FillDisplayInfo(NMLVDISPINFOW& request) const;

private:
    const MonitorRows& rows_;
    HWND list_ = nullptr;
    std::uint64_t shownRevision_ = 0;
};

} // namespace tarnwatch::ui
