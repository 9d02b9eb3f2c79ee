// Command ids of the menu entries of the main window, named after the entries.
#pragma once

#include <windows.h>

namespace tarnwatch::ui {

enum MenuCommand : UINT {
    mnuSave = 1001,
    mnuExit,
    mnuSet,
    mnuFilter,
    mnuNotify,
    mnuMin,
    mnuSim,
    mnuSta,
    mnuCom,
    mnuTOp,
    mnuLine,
    mnuLog,
    mnuCon,
    mnuAbout,
    mnuTShow,
    mnuTSet,
    mnuTFilter,
    mnuTNotify,
    mnuTAbout,
    mnuTExit,
};

} // namespace tarnwatch::ui
