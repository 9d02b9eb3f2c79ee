// The program's entry: create frmMain, run its load, show it and run the message loop.
#include "engine/messages.h"
#include "platform/beep_queue.h"
#include "platform/folder_browser.h"
#include "platform/program_folder.h"
#include "platform/shell_open.h"
#include "platform/tray_icon.h"
#include "platform/win_clock.h"
#include "platform/win_code_page.h"
#include "platform/win_file_system.h"
#include "platform/win_message_boxes.h"
#include "ui/main/frm_main.h"

#include <windows.h>

#include <exception>
#include <string>

namespace {

int Run(HINSTANCE instance, int showCommand, tarnwatch::win::WinMessageBoxes& boxes) {
    tarnwatch::SharedState state;
    tarnwatch::win::WinClock clock;
    tarnwatch::win::WinSpeaker speaker;
    tarnwatch::win::BeepQueue beeper(speaker);
    tarnwatch::win::WinAnsiCodePage codePage;
    tarnwatch::win::WinFileSystem files;
    tarnwatch::win::ShellFolderBrowser browser;
    tarnwatch::win::ShellNotificationArea shell;
    tarnwatch::win::WinShellOpener opener;
    tarnwatch::ui::FrmMain frmMain(state, {boxes, clock, beeper, codePage, files, browser, shell, opener},
                                   tarnwatch::win::ProgramFolder());
    if (!frmMain.Load(instance)) {
        // The start-up gave up, or the window's creation failed: either has told the user why.
        return 1;
    }
    boxes.SetOwner(frmMain.Handle());
    frmMain.SetClosedHandler([] { ::PostQuitMessage(0); });
    frmMain.Show(showCommand);

    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace

// What fails outside every window's guard, as when the system cannot make the main window or the thread of
// the beeps, ends the program with a word rather than silently.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    tarnwatch::win::WinMessageBoxes boxes;
    std::string what = "an exception of unknown type";
    try {
        return Run(instance, showCommand, boxes);
    } catch (const std::exception& error) {
        what = error.what();
    } catch (...) {
    }
    std::wstring text;
    tarnwatch::win::WinAnsiCodePage().ToWide(what, text);
    boxes.Show(L"Tarnwatch could not start:\r\n" + text, tarnwatch::messages::InitFailedTitle,
               tarnwatch::BoxButtons::Ok, tarnwatch::BoxIcon::Critical);
    return 1;
}
