// Looks at the running program from outside its process, as a user sees it. A command names a window by its
// class, or else means the main window:
//   wait-window [CLASS] MS   waits until the window is up
//   caption [CLASS]          prints its caption
//   shown [CLASS]            prints 1 while it is visible, else 0
//   rows [CLASS]             prints the rows of its list, a row a line, cells split by tabs
//   close [CLASS] MS         closes it and waits until it is gone
//   set-text CLASS ID TEXT   types into a control
//   click CLASS ID           presses a button
//   wait-url URL MS          waits until the newest row shows URL and prints the wait in ms
//   tick-wait-url URL MS     the same, once it has posted a tick of the program's timer
// Exits 0 on success, 1 when the window is missing or the wait timed out, 2 on a usage error.
#include "platform/handles.h"
#include "ui/main/frm_main.h"

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// How long one question may wait for a program that is busy between two rounds of its messages.
constexpr UINT AnswerTimeoutMs = 10'000;

// Asks until the answer is yes (exit code 0) or the time is up (1, saying what was missed).
int WaitFor(long timeoutMs, milliseconds pause, const std::function<bool()>& done,
            const std::wstring& missed) {
    for (const auto end = Clock::now() + milliseconds(timeoutMs); Clock::now() < end;
         std::this_thread::sleep_for(pause)) {
        if (done()) {
            return 0;
        }
    }
    std::fwprintf(stderr, L"%ls\n", missed.c_str());
    return 1;
}

// The list's items live in the program's memory: questions and answers travel through a buffer placed there,
// an item followed by room for its text.
class RemoteListView {
public:
    explicit RemoteListView(HWND window) : list_(::FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr)) {
        DWORD processId = 0;
        ::GetWindowThreadProcessId(list_, &processId);
        process_.Reset(
            ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
        item_ =
            static_cast<LVITEMW*>(::VirtualAllocEx(process_.Get(), nullptr, sizeof(LVITEMW) + sizeof(Text),
                                                   MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    ~RemoteListView() { ::VirtualFreeEx(process_.Get(), item_, 0, MEM_RELEASE); }

    // The answer, or -1 when the program cannot be read or did not answer. Questions without an item ignore
    // it.
    int Ask(HWND control, UINT message, WPARAM wParam = 0) const {
        DWORD_PTR answer = 0;
        return item_ != nullptr &&
                       ::SendMessageTimeoutW(control, message, wParam, reinterpret_cast<LPARAM>(item_),
                                             SMTO_NORMAL, AnswerTimeoutMs, &answer) != 0
                   ? static_cast<int>(answer)
                   : -1;
    }
    int RowCount() const { return Ask(list_, LVM_GETITEMCOUNT); }

    std::wstring Cell(int row, int column) const {
        LVITEMW item{};
        item.iSubItem = column;
        item.cchTextMax = static_cast<int>(Text().size());
        item.pszText = reinterpret_cast<wchar_t*>(item_ + 1);
        Text text{};
        if (!::WriteProcessMemory(process_.Get(), item_, &item, sizeof(item), nullptr) ||
            Ask(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row)) < 0 ||
            !::ReadProcessMemory(process_.Get(), item.pszText, text.data(), sizeof(text), nullptr)) {
            return {};
        }
        text.back() = L'\0';
        return text.data();
    }

    // Every row, cells split by tabs; false when the program cannot be read.
    bool Print() const {
        const int columns =
            Ask(reinterpret_cast<HWND>(::SendMessageW(list_, LVM_GETHEADER, 0, 0)), HDM_GETITEMCOUNT);
        const int rows = RowCount();
        for (int row = 0; row < rows; ++row) {
            std::wstring line;
            for (int column = 0; column < columns; ++column) {
                line += (column > 0 ? L"\t" : L"") + Cell(row, column);
            }
            std::fwprintf(stdout, L"%ls\n", line.c_str());
        }
        return rows >= 0;
    }

private:
    using Text = std::array<wchar_t, 1024>;

    HWND list_;
    tarnwatch::win::KernelHandle process_;
    LVITEMW* item_ = nullptr;
};

// Runs a command whose second word is the class of its window.
int Run(const std::vector<std::wstring>& args) {
    const std::wstring& command = args[0];
    const long timeoutMs = std::wcstol(args.back().c_str(), nullptr, 10);
    const HWND window = ::FindWindowW(args[1].c_str(), nullptr);
    if (command == L"wait-window") {
        const auto up = [&] {
            const HWND shown = ::FindWindowW(args[1].c_str(), nullptr);
            return shown != nullptr && ::IsWindowVisible(shown);
        };
        return WaitFor(timeoutMs, milliseconds(20), up, L"no window of class " + args[1] + L" appeared");
    }
    if (window == nullptr) {
        std::fwprintf(stderr, L"no window of class %ls\n", args[1].c_str());
        return 1;
    }
    const HWND control =
        args.size() > 2 ? ::GetDlgItem(window, std::wcstol(args[2].c_str(), nullptr, 10)) : nullptr;
    if (command == L"caption") {
        std::fwprintf(stdout, L"%ls\n", tarnwatch::ui::WindowText(window).c_str());
    } else if (command == L"shown") {
        std::printf("%d\n", ::IsWindowVisible(window) ? 1 : 0);
    } else if (command == L"rows") {
        return RemoteListView(window).Print() ? 0 : 1;
    } else if (command == L"close") {
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        return WaitFor(
            timeoutMs, milliseconds(20), [window] { return !::IsWindow(window); },
            args[1] + L" did not close");
    } else if (command == L"set-text") {
        return control != nullptr && ::SendMessageTimeoutW(control, WM_SETTEXT, 0,
                                                           reinterpret_cast<LPARAM>(args[3].c_str()),
                                                           SMTO_NORMAL, AnswerTimeoutMs, nullptr) != 0
                   ? 0
                   : 1;
    } else if (command == L"click") {
        // Posted: a click may open a box that waits for the user.
        return control != nullptr && ::PostMessageW(control, BM_CLICK, 0, 0) ? 0 : 1;
    } else {
        // The wait counts from here, and the list is asked as fast as the program answers.
        const auto start = Clock::now();
        if (command == L"tick-wait-url") {
            ::PostMessageW(window, WM_TIMER, tarnwatch::ui::FrmMain::UpdateTimerId, 0);
        }
        const RemoteListView list(window);
        const auto newest = [&] {
            const int rows = list.RowCount();
            return rows > 0 && list.Cell(rows - 1, 3) == args[2];
        };
        if (WaitFor(timeoutMs, milliseconds(1), newest, L"no row with " + args[2] + L" appeared") != 0) {
            return 1;
        }
        std::printf("%lld\n", static_cast<long long>(
                                  std::chrono::duration_cast<milliseconds>(Clock::now() - start).count()));
    }
    return 0;
}

} // namespace

int wmain(int argc, wchar_t* argv[]) {
    // Each command's words with the class; a command given one word fewer means the main window.
    static const std::map<std::wstring, std::size_t> words{
        {L"wait-window", 3}, {L"caption", 2}, {L"shown", 2},    {L"rows", 2},         {L"close", 3},
        {L"set-text", 4},    {L"click", 3},   {L"wait-url", 4}, {L"tick-wait-url", 4}};
    std::vector<std::wstring> args(argv + 1, argv + argc);
    const auto command = args.empty() ? words.end() : words.find(args[0]);
    if (command != words.end() && args.size() + 1 == command->second) {
        args.insert(args.begin() + 1, tarnwatch::ui::FrmMain::ClassName);
    }
    if (command == words.end() || args.size() != command->second) {
        std::fwprintf(stderr,
                      L"usage: listview_reader COMMAND [CLASS] ..., as listed at the head of its source\n");
        return 2;
    }
    return Run(args);
}
