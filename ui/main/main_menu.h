// The menus of the main window: the menu bar and the tray icon's pop-up menu.
#pragma once

#include "platform/handles.h"

namespace tarnwatch::ui {

// "&File", "&Options", "&View", "&Help"; handed to the window, which destroys it with itself.
win::MenuHandle BuildMenuBar();

// A menu holding the one pop-up "Popup" (mnuTTray); it is never on the menu bar.
win::MenuHandle BuildTrayMenu();

} // namespace tarnwatch::ui
