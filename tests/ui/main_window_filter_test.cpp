#include "engine/settings.h"
#include "tests/ui/main_window_fixture.h"
#include "ui/dialogs/frm_filter.h"
#include "ui/main/menu_ids.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwatch::testing {
namespace {

using Id = ui::FrmFilter::Id;

TEST_F(MainWindowTest, BothFilterEntriesOpenTheDialogAndTheMonitorKeepsItsListUntilOk) {
    Start(StartSettings{.RowLimit = 50, .UpdateSeconds = 10, .FilterIps = {L"010.0.0.1"}, .LogFolder = {}});
    for (const UINT entry : {ui::mnuFilter, ui::mnuTFilter}) {
        const std::string address = entry == ui::mnuFilter ? "10.0.0.7" : "10.0.0.8";
        const ui::ScriptedUser user(ui::FrmFilter::ClassName,
                                    {ui::Paste(Id::txtIp, std::wstring(address.begin(), address.end())),
                                     ui::Click(Id::cmdAdd),
                                     [&](HWND) {
                                         AppendLog(Request(address, "/while-open"));
                                         Tick();
                                     },
                                     ui::Click(Id::cmdOk)});
        Command(entry);
        EXPECT_EQ(user.StepsLeft(), 0u) << entry;
        AppendLog(Request(address, "/after-ok"));
        Tick();
        EXPECT_EQ(Urls().back(), L"/while-open") << "only the confirmed list filters, " << entry;
    }
    Command(ui::mnuSave);
    SharedState saved;
    RecordingTimer timer;
    ASSERT_EQ(LoadSettings(saved, SettingsFile(), files_, codePage_, timer, boxes_), LoadResult::Loaded);
    EXPECT_EQ(saved.FilterIps, (std::vector<std::wstring>{L"010.0.0.1", L"10.0.0.7", L"10.0.0.8"}));
}

} // namespace
} // namespace tarnwatch::testing
