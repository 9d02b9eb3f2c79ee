// Looks at the running program from outside its process, as a user sees it. A command names a window by its
// class, or else means the main window:
//   wait-window [CLASS] MS   waits until the window is up
//   caption, shown           print its caption, or 1 while it is visible, else 0
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
using tarnwatch::ui::FrmMain;

// The answer, or -1 when the program did not answer within a time long enough for one busy between two
// rounds of its messages.
LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, const void* lParam = nullptr) {
    DWORD_PTR answer = 0;
    return ::SendMessageTimeoutW(window, message, wParam, reinterpret_cast<LPARAM>(lParam), SMTO_NORMAL,
                                 10'000, &answer) != 0
               ? static_cast<LRESULT>(answer)
               : -1;
}

// Asks until the answer is yes (exit code 0) or the time is up (1, saying what was missed).
int WaitFor(const std::wstring& timeoutMs, milliseconds pause, const std::function<bool()>& done,
            const std::wstring& missed) {
    const auto end = Clock::now() + milliseconds(_wtoi(timeoutMs.c_str()));
    for (; Clock::now() < end; std::this_thread::sleep_for(pause)) {
        if (done()) {
            return 0;
        }
    }
    std::fwprintf(stderr, L"%ls\n", missed.c_str());
    return 1;
}

// The list's items live in the program's memory: a cell's text travels through a buffer placed there, an
// item followed by room for the text.
class RemoteList {
public:
    explicit RemoteList(HWND window) : list_(::FindWindowExW(window, nullptr, WC_LISTVIEWW, nullptr)) {
        DWORD processId = 0;
        ::GetWindowThreadProcessId(list_, &processId);
        process_.Reset(
            ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
        item_ =
            static_cast<LVITEMW*>(::VirtualAllocEx(process_.Get(), nullptr, sizeof(LVITEMW) + sizeof(Text),
                                                   MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    ~RemoteList() { ::VirtualFreeEx(process_.Get(), item_, 0, MEM_RELEASE); }

    // -1 when the program cannot be read.
    int Rows() const { return item_ == nullptr ? -1 : static_cast<int>(Ask(list_, LVM_GETITEMCOUNT)); }
    int Columns() const { return static_cast<int>(Ask(ListView_GetHeader(list_), HDM_GETITEMCOUNT)); }

    std::wstring Cell(int row, int column) const {
        LVITEMW item{};
        item.iSubItem = column;
        item.cchTextMax = static_cast<int>(Text().size());
        item.pszText = reinterpret_cast<wchar_t*>(item_ + 1);
        Text text{};
        if (!::WriteProcessMemory(process_.Get(), item_, &item, sizeof(item), nullptr) ||
            Ask(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), item_) < 0 ||
            !::ReadProcessMemory(process_.Get(), item.pszText, text.data(), sizeof(text), nullptr)) {
            return {};
        }
        text.back() = L'\0';
        return text.data();
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
    const std::wstring& windowClass = args[1];
    const auto find = [&] { return ::FindWindowW(windowClass.c_str(), nullptr); };
    if (command == L"wait-window") {
        return WaitFor(
            args[2], milliseconds(20), [&] { return ::IsWindowVisible(find()) != FALSE; },
            L"no window of class " + windowClass + L" appeared");
    }
    const HWND window = find();
    if (window == nullptr) {
        std::fwprintf(stderr, L"no window of class %ls\n", windowClass.c_str());
        return 1;
    }
    const HWND control = args.size() > 2 ? ::GetDlgItem(window, _wtoi(args[2].c_str())) : nullptr;
    if (command == L"caption") {
        std::fwprintf(stdout, L"%ls\n", tarnwatch::ui::WindowText(window).c_str());
    } else if (command == L"shown") {
        std::printf("%d\n", ::IsWindowVisible(window) ? 1 : 0);
    } else if (command == L"rows") {
        const RemoteList list(window);
        const int rows = list.Rows();
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < list.Columns(); ++column) {
                std::fwprintf(stdout, L"%ls%ls", column > 0 ? L"\t" : L"", list.Cell(row, column).c_str());
            }
            std::fwprintf(stdout, L"\n");
        }
        return rows >= 0 ? 0 : 1;
    } else if (command == L"close") {
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        return WaitFor(
            args[2], milliseconds(20), [window] { return !::IsWindow(window); },
            windowClass + L" did not close");
    } else if (command == L"set-text") {
        return Ask(control, WM_SETTEXT, 0, args[3].c_str()) >= 0 ? 0 : 1;
    } else if (command == L"click") {
        // Posted: a click may open a box that waits for the user.
        return control != nullptr && ::PostMessageW(control, BM_CLICK, 0, 0) ? 0 : 1;
    } else {
        // The wait counts from here, and the list is asked as fast as the program answers.
        const auto start = Clock::now();
        if (command == L"tick-wait-url") {
            ::PostMessageW(window, WM_TIMER, FrmMain::UpdateTimerId, 0);
        }
        const RemoteList list(window);
        const auto newest = [&] {
            const int rows = list.Rows();
            return rows > 0 && list.Cell(rows - 1, 3) == args[2];
        };
        if (WaitFor(args[3], milliseconds(1), newest, L"no row with " + args[2] + L" appeared") != 0) {
            return 1;
        }
        std::printf("%lld\n", static_cast<long long>((Clock::now() - start) / milliseconds(1)));
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
        args.insert(args.begin() + 1, FrmMain::ClassName);
    }
    if (command == words.end() || args.size() != command->second) {
        std::fwprintf(stderr,
                      L"usage: listview_reader COMMAND [CLASS] ..., as listed at the head of its source\n");
        return 2;
    }
    return Run(args);
}
