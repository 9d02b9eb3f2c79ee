#include "ui/main/view_modes.h"

#include "platform/twips.h"
#include "ui/main/menu_ids.h"

#include <commctrl.h>

#include <array>

namespace tarnwatch::ui {

namespace {

// Stands for the width of the list itself: the last visible column gets all of it, so the list scrolls
// sideways.
constexpr int ListWidth = -1;

struct ViewModeLayout {
    UINT CheckedEntry;
    std::array<int, 4> ColumnTwips; // "Local Time", "Remote IP", "Status", "Url"; 0 hides a column
};

constexpr std::array<ViewModeLayout, 3> Layouts{{
    {mnuSim, {0, ListWidth, 0, 0}},
    {mnuSta, {0, 1800, 0, ListWidth}},
    {mnuCom, {1200, 1800, 720, ListWidth}},
}};

int CurrentListWidth(HWND list) {
    RECT bounds{};
    ::GetWindowRect(list, &bounds);
    return bounds.right - bounds.left;
}

} // namespace

void ApplyViewMode(HMENU menuBar, HWND list, int dpi, int mode) {
    if (mode < SimpleMode || mode > CompleteMode) {
        return;
    }
    const ViewModeLayout& layout = Layouts[static_cast<std::size_t>(mode - SimpleMode)];
    for (const ViewModeLayout& entry : Layouts) {
        const UINT state = entry.CheckedEntry == layout.CheckedEntry ? MF_CHECKED : MF_UNCHECKED;
        ::CheckMenuItem(menuBar, entry.CheckedEntry, MF_BYCOMMAND | state);
    }
    for (int column = 0; column < static_cast<int>(layout.ColumnTwips.size()); ++column) {
        const int twips = layout.ColumnTwips[static_cast<std::size_t>(column)];
        const int width = twips == ListWidth ? CurrentListWidth(list) : win::TwipsToPixels(twips, dpi);
        ListView_SetColumnWidth(list, column, width);
    }
}

} // namespace tarnwatch::ui
