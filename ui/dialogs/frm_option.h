// frmOption: the Options dialog for the row limit, the polling period and the log folder.
#pragma once

#include "engine/ports.h"
#include "engine/shared_state.h"
#include "platform/folder_browser.h"
#include "ui/base/window.h"

#include <windows.h>

namespace tarnwatch::ui {

struct FrmOptionContext {
    const Settings& Current;
    win::FolderBrowser& Browser;
};

class FrmOption final : public Window {
public:
    static constexpr const wchar_t* ClassName = L"TarnwatchOption";
    // The controls' ids, for tools that find them as a user's tools do.
    enum class Id : int { cmdSelect = 101, txtPath, cmdOk, cmdCancel, sldSecond, sldNum };

    FrmOption(MessageBoxes& boxes, FrmOptionContext& context) : Window(boxes), context_(context) {}

    // Shows the dialog modally with no owner and returns once it has closed: OK gives the settings shown,
    // counted as unsaved even when nothing changed; Cancel and the close box give nothing.
    SettingsOutcome Show(HINSTANCE instance);

private:
    bool OnCreate() override;
    void OnCommand(int id, int code, HWND control) override;
    void CreateControls();
    void Form_Load();
    void cmdSelect_Click();
    void cmdOk_Click();
    void cmdCancel_Click();

    FrmOptionContext& context_;
    SettingsOutcome outcome_;
    HWND cmdSelect = nullptr;
    HWND txtPath = nullptr;
    HWND cmdOk = nullptr;
    HWND cmdCancel = nullptr;
    HWND sldSecond = nullptr;
    HWND sldNum = nullptr;
};

} // namespace tarnwatch::ui
