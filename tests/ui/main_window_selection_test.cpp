#include "tests/ui/main_window_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwatch::testing {
namespace {

std::string Url(int request) {
    std::string url = "/page-";
    url += std::to_string(request);
    return url;
}

// A click on a row selects it and gives it the focus; the list keeps its rows outside the control, so only
// the window can keep that on the request when older rows are trimmed away.
TEST_F(MainWindowTest, ASelectedRowStaysWithItsRequestWhileItIsOnTheListAndGoesWithIt) {
    Start(StartSettings{.RowLimit = 3, .UpdateSeconds = 10, .FilterIps = {}, .LogFolder = {}});
    for (int request = 1; request <= 3; ++request) {
        AppendLog(Request("10.0.0.1", Url(request)));
    }
    Tick();
    ListView_SetItemState(List(), 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);

    AppendLog(Request("10.0.0.1", Url(4)));
    Tick();
    const int selected = ListView_GetNextItem(List(), -1, LVNI_SELECTED);
    ASSERT_GE(selected, 0);
    EXPECT_EQ(Cell(selected, 3), L"/page-2") << "the request the user picked, one row up now";
    EXPECT_EQ(ListView_GetNextItem(List(), -1, LVNI_FOCUSED), selected);
    EXPECT_EQ(ListView_GetSelectedCount(List()), 1u);

    AppendLog(Request("10.0.0.1", Url(5)) + Request("10.0.0.1", Url(6)));
    Tick();
    EXPECT_EQ(ListView_GetSelectedCount(List()), 0u) << "trimmed away, and nothing else selected instead";
    EXPECT_EQ(ListView_GetNextItem(List(), -1, LVNI_FOCUSED), -1);
}

struct ListMessages {
    int CountsSet = 0;
    int Paints = 0;
};

LRESULT CALLBACK CountListMessages(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                   DWORD_PTR counts) {
    auto& seen = *reinterpret_cast<ListMessages*>(counts);
    seen.CountsSet += message == LVM_SETITEMCOUNT ? 1 : 0;
    seen.Paints += message == WM_PAINT ? 1 : 0;
    return ::DefSubclassProc(list, message, wParam, lParam);
}

// Once the list is full, every pass trims it and its count stays: setting the count anyway is slow under
// Wine, but the rows have all moved and must be painted again, whether during the pass or after it.
TEST_F(MainWindowTest, AFullListKeepsItsCountThroughATickAndIsPaintedAgain) {
    Start(StartSettings{.RowLimit = 2, .UpdateSeconds = 10, .FilterIps = {}, .LogFolder = {}});
    AppendLog(Request("10.0.0.1", Url(1)) + Request("10.0.0.1", Url(2)));
    Tick();
    ::UpdateWindow(List());
    ListMessages seen;
    ASSERT_TRUE(::SetWindowSubclass(List(), &CountListMessages, 1, reinterpret_cast<DWORD_PTR>(&seen)));

    AppendLog(Request("10.0.0.1", Url(3)));
    Tick();
    ::UpdateWindow(List());
    EXPECT_EQ(seen.CountsSet, 0);
    EXPECT_GE(seen.Paints, 1);
    EXPECT_EQ(Urls(), (std::vector<std::wstring>{L"/page-2", L"/page-3"}));
    ::RemoveWindowSubclass(List(), &CountListMessages, 1);
}

} // namespace
} // namespace tarnwatch::testing
