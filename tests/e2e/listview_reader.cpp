// Looks at the running program from outside its process, as a user sees it. A window is named by its class:
// wait-class CLASS MS waits until one is up; caption CLASS prints its caption; shown CLASS prints 1 while it
// is visible, else 0; class-rows CLASS prints the rows of its list, a row a line, cells split by tabs;
// set-text CLASS ID TEXT types into a control; click CLASS ID presses a button; close-class CLASS MS closes
// it and waits until it is gone. The main window's commands name no class: wait-window MS, caption, shown,
// rows and close MS, and wait-url URL MS, which waits until the newest row shows URL and prints the wait in
// ms, or tick-wait-url URL MS, which first posts a tick of the program's timer. Exits 0 on success, 1 when
// the window is missing or the wait timed out, 2 on a usage error.
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
        if (process_) {
            item_ = static_cast<LVITEMW*>(::VirtualAllocEx(process_.Get(), nullptr,
                                                           sizeof(LVITEMW) + sizeof(Text),
                                                           MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        }
    }
    ~RemoteListView() {
        if (item_ != nullptr) {
            ::VirtualFreeEx(process_.Get(), item_, 0, MEM_RELEASE);
        }
    }

    // -1 when the program cannot be read or did not answer.
    int RowCount() const {
        DWORD_PTR count = 0;
        const bool answered = item_ != nullptr && ::SendMessageTimeoutW(list_, LVM_GETITEMCOUNT, 0, 0,
                                                                        SMTO_NORMAL, AnswerTimeoutMs, &count);
        return answered ? static_cast<int>(count) : -1;
    }

    std::wstring Cell(int row, int column) const {
        LVITEMW item{};
        item.iSubItem = column;
        item.cchTextMax = static_cast<int>(Text().size());
        item.pszText = reinterpret_cast<wchar_t*>(item_ + 1);
        Text text{};
        if (!::WriteProcessMemory(process_.Get(), item_, &item, sizeof(item), nullptr) ||
            !::SendMessageTimeoutW(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                   reinterpret_cast<LPARAM>(item_), SMTO_NORMAL, AnswerTimeoutMs, nullptr) ||
            !::ReadProcessMemory(process_.Get(), item.pszText, text.data(), sizeof(text), nullptr)) {
            return {};
        }
        text.back() = L'\0';
        return text.data();
    }

    // Every row, cells split by tabs; false when the program cannot be read.
    bool Print() const {
        DWORD_PTR columns = 0;
        const HWND header = reinterpret_cast<HWND>(::SendMessageW(list_, LVM_GETHEADER, 0, 0));
        ::SendMessageTimeoutW(header, HDM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, AnswerTimeoutMs, &columns);
        const int count = RowCount();
        for (int row = 0; row < count; ++row) {
            std::wstring line;
            for (int column = 0; column < static_cast<int>(columns); ++column) {
                line += (column > 0 ? L"\t" : L"") + Cell(row, column);
            }
            std::fwprintf(stdout, L"%ls\n", line.c_str());
        }
        return count >= 0;
    }

private:
    using Text = std::array<wchar_t, 1024>;

    HWND list_;
    tarnwatch::win::KernelHandle process_;
    LVITEMW* item_ = nullptr;
};

bool IsUp(const std::wstring& windowClass) {
    const HWND window = ::FindWindowW(windowClass.c_str(), nullptr);
    return window != nullptr && ::IsWindowVisible(window);
}

// The newest row shows the URL; prints how long that took from the start.
int WaitForUrl(HWND window, const std::wstring& url, long timeoutMs, Clock::time_point start) {
    const RemoteListView list(window);
    const auto shown = [&] {
        const int count = list.RowCount();
        return count > 0 && list.Cell(count - 1, 3) == url;
    };
    if (WaitFor(timeoutMs, milliseconds(1), shown, L"no row with " + url + L" appeared") != 0) {
        return 1;
    }
    std::printf("%lld\n", static_cast<long long>(
                              std::chrono::duration_cast<milliseconds>(Clock::now() - start).count()));
    return 0;
}

// Runs a command whose second word is the class of its window.
int Run(const std::vector<std::wstring>& args) {
    const std::wstring& command = args[0];
    const std::wstring& windowClass = args[1];
    const std::size_t count = args.size();
    const long timeoutMs = std::wcstol(args.back().c_str(), nullptr, 10);
    if (command == L"wait-class" && count == 3) {
        return WaitFor(
            timeoutMs, milliseconds(20), [&] { return IsUp(windowClass); },
            L"no window of class " + windowClass + L" appeared");
    }
    const HWND window = ::FindWindowW(windowClass.c_str(), nullptr);
    if (window == nullptr) {
        std::fwprintf(stderr, L"no window of class %ls\n", windowClass.c_str());
        return 1;
    }
    const HWND control =
        count > 2 ? ::GetDlgItem(window, std::wcstol(args[2].c_str(), nullptr, 10)) : nullptr;
    if (command == L"caption" && count == 2) {
        std::fwprintf(stdout, L"%ls\n", tarnwatch::ui::WindowText(window).c_str());
    } else if (command == L"shown" && count == 2) {
        std::printf("%d\n", ::IsWindowVisible(window) ? 1 : 0);
    } else if (command == L"class-rows" && count == 2) {
        return RemoteListView(window).Print() ? 0 : 1;
    } else if (command == L"set-text" && count == 4 && control != nullptr) {
        return ::SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[3].c_str()),
                                     SMTO_NORMAL, AnswerTimeoutMs, nullptr) != 0
                   ? 0
                   : 1;
    } else if (command == L"click" && count == 3 && control != nullptr) {
        // Posted: a click may open a box that waits for the user.
        return ::PostMessageW(control, BM_CLICK, 0, 0) ? 0 : 1;
    } else if (command == L"close-class" && count == 3) {
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        return WaitFor(
            timeoutMs, milliseconds(20), [window] { return !::IsWindow(window); },
            windowClass + L" did not close");
    } else if ((command == L"wait-url" || command == L"tick-wait-url") && count == 4) {
        // The wait counts from here, and the list is asked as fast as the program answers.
        const auto start = Clock::now();
        if (command == L"tick-wait-url") {
            ::PostMessageW(window, WM_TIMER, tarnwatch::ui::FrmMain::UpdateTimerId, 0);
        }
        return WaitForUrl(window, args[2], timeoutMs, start);
    } else {
        return 2;
    }
    return 0;
}

} // namespace

int wmain(int argc, wchar_t* argv[]) {
    std::vector<std::wstring> args(argv + 1, argv + argc);
    // The main window's commands are those for any window, with its class filled in.
    static const std::map<std::wstring, std::wstring> mainCommands{{L"wait-window", L"wait-class"},
                                                                   {L"caption", L"caption"},
                                                                   {L"shown", L"shown"},
                                                                   {L"rows", L"class-rows"},
                                                                   {L"close", L"close-class"},
                                                                   {L"wait-url", L"wait-url"},
                                                                   {L"tick-wait-url", L"tick-wait-url"}};
    if (!args.empty() && mainCommands.contains(args[0])) {
        args[0] = mainCommands.at(args[0]);
        args.insert(args.begin() + 1, tarnwatch::ui::FrmMain::ClassName);
    }
    const int result = args.size() > 1 ? Run(args) : 2;
    if (result == 2) {
        std::fwprintf(stderr,
                      L"usage: listview_reader wait-window MS | caption | shown | rows | close MS | "
                      L"wait-url URL MS | tick-wait-url URL MS | wait-class CLASS MS | caption CLASS | "
                      L"shown CLASS | class-rows CLASS | set-text CLASS ID TEXT | click CLASS ID | "
                      L"close-class CLASS MS\n");
    }
    return result;
}
