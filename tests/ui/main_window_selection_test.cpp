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

LRESULT CALLBACK CountItemCounts(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR counter) {
    if (message == LVM_SETITEMCOUNT) {
        ++*reinterpret_cast<int*>(counter);
    }
    return ::DefSubclassProc(list, message, wParam, lParam);
}

// Once the list is full, every pass trims it and its count stays: setting the count anyway is slow under
// Wine, but the rows have all moved and must be painted again.
TEST_F(MainWindowTest, AFullListKeepsItsCountThroughATickAndIsPaintedAgain) {
    Start(StartSettings{.RowLimit = 2, .UpdateSeconds = 10, .FilterIps = {}, .LogFolder = {}});
    AppendLog(Request("10.0.0.1", Url(1)) + Request("10.0.0.1", Url(2)));
    Tick();
    ::UpdateWindow(List());
    int countsSet = 0;
    ASSERT_TRUE(::SetWindowSubclass(List(), &CountItemCounts, 1, reinterpret_cast<DWORD_PTR>(&countsSet)));

    AppendLog(Request("10.0.0.1", Url(3)));
    Tick();
    EXPECT_EQ(countsSet, 0);
    EXPECT_TRUE(::GetUpdateRect(List(), nullptr, FALSE)) << "the list waits to be painted with the new rows";
    EXPECT_EQ(Urls(), (std::vector<std::wstring>{L"/page-2", L"/page-3"}));
    ::RemoveWindowSubclass(List(), &CountItemCounts, 1);
}

} // namespace
} // namespace tarnwatch::testing
