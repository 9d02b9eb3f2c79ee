// frmOption: the Options dialog for the row limit, the polling period and the log folder.
#pragma once

#include "engine/ports.h"
#include "engine/shared_state.h"
#include "platform/folder_browser.h"

#include <windows.h>

#include <functional>

namespace tarnwatch::ui {

struct OptionDialogContext {
    SharedState& State;
    PollTimer& Timer;
    // Cuts the monitor list down to State.RowLimit rows, oldest first.
    std::function<void()> TrimMonitorList;
    win::FolderBrowser& Browser;
};

// Shows frmOption modally with no owner and returns once it has closed. Meanwhile the thread's other
// windows take no input but keep getting their messages, so the poll timer keeps ticking. OK writes the
// settings back and applies them at once; Cancel and the close box store nothing.
void ShowOptionDialog(HINSTANCE instance, OptionDialogContext& context);

// For automation and tests that drive the dialog as a user does.
inline constexpr wchar_t OptionWindowClass[] = L"TarnwatchOption";

enum OptionControlId : int {
    IdCmdSelect = 101,
    IdTxtPath,
    IdCmdOk,
    IdCmdCancel,
    IdSldSecond,
    IdSldNum,
    IdLabel1,
    IdLabel2,
    IdLabel3,
    IdLabel4,
    IdFraSet,
};

} // namespace tarnwatch::ui
