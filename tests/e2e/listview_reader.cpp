// Looks at the running program from outside its process, as a user sees it. wait-window MS waits until the
// main window is up; caption prints its caption; rows prints the monitor list, a row a line, cells split by
// tabs; wait-url URL MS waits until the newest row shows URL and prints the wait in ms; tick-wait-url URL MS
// first posts a tick of the program's timer; shown prints 1 while the main window is visible, else 0; close
// MS closes the main window and waits until it is gone. For the program's other windows, named by class:
// wait-class CLASS MS waits until one is up; class-rows CLASS prints the rows of its list; set-text CLASS ID
// TEXT types into a control; click CLASS ID presses a button; close-class CLASS MS closes it and waits until
// it is gone. Exits 0 on success, 1 when the window is missing or the wait timed out, 2 on a usage error.
#include "platform/handles.h"
#include "ui/main/frm_main.h"

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using tarnwatch::ui::FrmMain;

// How long one question may wait for a program that is busy between two rounds of its messages.
constexpr UINT AnswerTimeoutMs = 10'000;

void PrintUtf8(const std::wstring& text) {
    // UTF-8 takes at most three bytes for each UTF-16 unit.
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(static_cast<std::size_t>(
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(),
                              static_cast<int>(bytes.size()), nullptr, nullptr)));
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

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

    int ColumnCount() const {
        DWORD_PTR count = 0;
        const HWND header = reinterpret_cast<HWND>(::SendMessageW(list_, LVM_GETHEADER, 0, 0));
        ::SendMessageTimeoutW(header, HDM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, AnswerTimeoutMs, &count);
        return static_cast<int>(count);
    }

    // Every row, cells split by tabs; false when the program cannot be read.
    bool Print(int columns) const {
        const int count = RowCount();
        for (int row = 0; row < count; ++row) {
            std::wstring line;
            for (int column = 0; column < columns; ++column) {
                line += (column > 0 ? L"\t" : L"") + Cell(row, column);
            }
            PrintUtf8(line + L"\n");
        }
        return count >= 0;
    }

private:
    using Text = std::array<wchar_t, 1024>;

    HWND list_;
    tarnwatch::win::KernelHandle process_;
    LVITEMW* item_ = nullptr;
};

} // namespace

bool IsUp(HWND window) {
    return window != nullptr && ::IsWindowVisible(window);
}

// The program's other windows, named by their class.
int ClassCommand(const std::wstring& command, int argc, wchar_t* argv[], long timeoutMs) {
    const std::wstring windowClass = argv[2];
    const HWND window = ::FindWindowW(windowClass.c_str(), nullptr);
    if (command == L"wait-class" && argc == 4) {
        const auto up = [&] { return IsUp(::FindWindowW(windowClass.c_str(), nullptr)); };
        return WaitFor(timeoutMs, milliseconds(20), up, L"no window of class " + windowClass + L" appeared");
    }
    if (window == nullptr) {
        std::fwprintf(stderr, L"no window of class %ls\n", windowClass.c_str());
        return 1;
    }
    if (command == L"class-rows" && argc == 3) {
        const RemoteListView list(window);
        return list.Print(list.ColumnCount()) ? 0 : 1;
    }
    const HWND control = argc > 3 ? ::GetDlgItem(window, std::wcstol(argv[3], nullptr, 10)) : nullptr;
    if (command == L"set-text" && argc == 5 && control != nullptr) {
        return ::SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]), SMTO_NORMAL,
                                     AnswerTimeoutMs, nullptr) != 0
                   ? 0
                   : 1;
    }
    // Posted: a click may open a box that waits for the user.
    if (command == L"click" && argc == 4 && control != nullptr) {
        return ::PostMessageW(control, BM_CLICK, 0, 0) ? 0 : 1;
    }
    if (command == L"close-class" && argc == 4) {
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        return WaitFor(
            timeoutMs, milliseconds(20), [window] { return !::IsWindow(window); },
            windowClass + L" did not close");
    }
    return 2;
}

int wmain(int argc, wchar_t* argv[]) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    const long timeoutMs = std::wcstol(argv[argc - 1], nullptr, 10);
    const HWND main = ::FindWindowW(FrmMain::ClassName, nullptr);
    if (command == L"wait-window" && argc == 3) {
        const auto up = [] { return IsUp(::FindWindowW(FrmMain::ClassName, nullptr)); };
        return WaitFor(timeoutMs, milliseconds(20), up, L"the main window did not appear");
    }
    if (argc > 2 && (command == L"wait-class" || command == L"class-rows" || command == L"set-text" ||
                     command == L"click" || command == L"close-class")) {
        if (const int result = ClassCommand(command, argc, argv, timeoutMs); result != 2) {
            return result;
        }
    }
    if (main == nullptr) {
        std::fwprintf(stderr, L"the main window is not there\n");
        return 1;
    }
    if (command == L"caption" && argc == 2) {
        std::array<wchar_t, 512> caption{};
        ::GetWindowTextW(main, caption.data(), static_cast<int>(caption.size()));
        PrintUtf8(std::wstring(caption.data()) + L"\n");
        return 0;
    }
    if (command == L"rows" && argc == 2) {
        return RemoteListView(main).Print(4) ? 0 : 1;
    }
    if (command == L"shown" && argc == 2) {
        std::printf("%d\n", ::IsWindowVisible(main) ? 1 : 0);
        return 0;
    }
    if ((command == L"wait-url" || command == L"tick-wait-url") && argc == 4) {
        const RemoteListView list(main);
        const std::wstring url = argv[2];
        // The wait counts from here, and the list is asked as fast as the program answers.
        const auto start = Clock::now();
        if (command == L"tick-wait-url") {
            ::PostMessageW(main, WM_TIMER, FrmMain::UpdateTimerId, 0);
        }
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
    if (command == L"close" && argc == 3) {
        ::PostMessageW(main, WM_CLOSE, 0, 0);
        const auto gone = [main] { return !::IsWindow(main); };
        return WaitFor(timeoutMs, milliseconds(20), gone, L"the main window did not close");
    }
    std::fwprintf(stderr,
                  L"usage: listview_reader wait-window MS | caption | rows | wait-url URL MS | "
                  L"tick-wait-url URL MS | shown | close MS | wait-class CLASS MS | class-rows CLASS | "
                  L"set-text CLASS ID TEXT | click CLASS ID | close-class CLASS MS\n");
    return 2;
}
