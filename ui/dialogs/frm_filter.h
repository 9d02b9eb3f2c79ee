// frmFilter: the IP filter dialog, where the user keeps the addresses whose requests are not shown.
#pragma once

#include "engine/ports.h"
#include "engine/shared_state.h"
#include "ui/base/window.h"

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tarnwatch::ui {

class FrmFilter final : public Window {
public:
    static constexpr const wchar_t* ClassName = L"TarnwatchFilter";
    // The controls' ids, for tools that find them as a user's tools do.
    enum class Id : int { cmdAdd = 101, cmdDel, lvwIp, cmdOk, cmdCancel, txtIp, lblText };

    FrmFilter(MessageBoxes& boxes, const Settings& current) : Window(boxes), current_(current) {}

    // Shows the dialog modally with no owner and returns once it has closed. It works on a copy of the
    // filter list: the monitor goes on with the list in force until Ok gives the copy. Add and Del count as
    // unsaved at once, even when the dialog is then cancelled.
    SettingsOutcome Show(HINSTANCE instance);

private:
    bool OnCreate() override;
    void OnCommand(int id, int code, HWND control) override;
    LRESULT OnNotify(NMHDR& header) override;
    void DpiChanged() override { SizeColumn(); }
    void CreateControls();
    void Form_Load();
    void SizeColumn();
    void ShowEntry(std::size_t index);
    void ShowCount();
    // The entry selected in lvwIp, if any.
    std::optional<std::size_t> SelectedEntry() const;
    void lvwIp_Click();
    void cmdAdd_Click();
    void cmdDel_Click();
    void cmdOk_Click();
    void cmdCancel_Click();

    const Settings& current_;
    SettingsOutcome outcome_;
    // The entries of lvwIp, in the order shown.
    std::vector<std::wstring> workingList_;
    HWND cmdAdd = nullptr;
    HWND cmdDel = nullptr;
    HWND lvwIp = nullptr;
    HWND cmdOk = nullptr;
    HWND cmdCancel = nullptr;
    HWND txtIp = nullptr;
    HWND lblText = nullptr;
};

} // namespace tarnwatch::ui
