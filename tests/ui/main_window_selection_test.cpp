#include "tests/ui/main_window_fixture.h"

#include <gtest/gtest.h>

#include <string>

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

} // namespace
} // namespace tarnwatch::testing
