// Looks at the running program from outside its process, as a user sees it:
//   listview_reader wait-window MS       waits until the main window is up
//   listview_reader caption              prints the main window's caption
//   listview_reader rows                 prints the monitor list, one row per line, cells split by tabs
//   listview_reader wait-url URL MS      waits until the newest row shows URL; prints the wait in ms
//   listview_reader tick-wait-url URL MS posts a tick of the program's timer, then waits as wait-url
//   listview_reader close MS             closes the main window and waits until it is gone
// Exits 0 on success, 1 when the window is missing or the wait timed out, 2 on a usage error.
#include "platform/handles.h"
#include "ui/main/frm_main.h"

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// How long one question may wait for a program that is busy between two rounds of its messages.
constexpr UINT AnswerTimeoutMs = 10'000;
constexpr int CellChars = 1024;

void PrintUtf8(const std::wstring& text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr,
                                           0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size,
                          nullptr, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

HWND MainWindow() {
    return ::FindWindowW(tarnwatch::ui::FrmMain::ClassName, nullptr);
}

HWND MonitorList(HWND main) {
    return ::FindWindowExW(main, nullptr, WC_LISTVIEWW, nullptr);
}

// The list's items live in the program's memory: questions and answers travel through a buffer placed there.
class RemoteListView {
public:
    explicit RemoteListView(HWND list) : list_(list) {
        DWORD processId = 0;
        ::GetWindowThreadProcessId(list, &processId);
        process_.Reset(
            ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
        if (process_) {
            buffer_ = ::VirtualAllocEx(process_.Get(), nullptr, BufferBytes, MEM_COMMIT | MEM_RESERVE,
                                       PAGE_READWRITE);
        }
    }
    ~RemoteListView() {
        if (buffer_ != nullptr) {
            ::VirtualFreeEx(process_.Get(), buffer_, 0, MEM_RELEASE);
        }
    }
    RemoteListView(const RemoteListView&) = delete;
    RemoteListView& operator=(const RemoteListView&) = delete;

    bool Usable() const { return buffer_ != nullptr; }

    // -1 when the program did not answer.
    int RowCount() const {
        DWORD_PTR count = 0;
        if (!::SendMessageTimeoutW(list_, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, AnswerTimeoutMs, &count)) {
            return -1;
        }
        return static_cast<int>(count);
    }

    std::wstring Cell(int row, int column) const {
        LVITEMW item{};
        item.iSubItem = column;
        item.cchTextMax = CellChars;
        item.pszText = reinterpret_cast<LPWSTR>(RemoteText());
        SIZE_T moved = 0;
        std::array<wchar_t, CellChars> text{};
        if (!::WriteProcessMemory(process_.Get(), buffer_, &item, sizeof(item), &moved) ||
            !::SendMessageTimeoutW(list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                   reinterpret_cast<LPARAM>(buffer_), SMTO_NORMAL, AnswerTimeoutMs,
                                   nullptr) ||
            !::ReadProcessMemory(process_.Get(), RemoteText(), text.data(), sizeof(text), &moved)) {
            return {};
        }
        text.back() = L'\0';
        return text.data();
    }

private:
    static constexpr SIZE_T BufferBytes = sizeof(LVITEMW) + CellChars * sizeof(wchar_t);

    char* RemoteText() const { return static_cast<char*>(buffer_) + sizeof(LVITEMW); }

    HWND list_;
    tarnwatch::win::KernelHandle process_;
    void* buffer_ = nullptr;
};

int WaitWindow(long timeoutMs) {
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < end) {
        const HWND main = MainWindow();
        if (main != nullptr && ::IsWindowVisible(main)) {
            return 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::fwprintf(stderr, L"the main window did not appear\n");
    return 1;
}

int Caption(HWND main) {
    std::array<wchar_t, 512> caption{};
    ::GetWindowTextW(main, caption.data(), static_cast<int>(caption.size()));
    PrintUtf8(std::wstring(caption.data()) + L"\n");
    return 0;
}

int Rows(HWND main) {
    const RemoteListView list(MonitorList(main));
    if (!list.Usable()) {
        return 1;
    }
    const int count = list.RowCount();
    for (int row = 0; row < count; ++row) {
        std::wstring line;
        for (int column = 0; column < 4; ++column) {
            line += (column == 0 ? L"" : L"\t") + list.Cell(row, column);
        }
        PrintUtf8(line + L"\n");
    }
    return count < 0 ? 1 : 0;
}

// Polls as fast as the program answers; the wait counts from the start of the call.
int WaitUrl(HWND main, const std::wstring& url, long timeoutMs, bool tickFirst) {
    const RemoteListView list(MonitorList(main));
    if (!list.Usable()) {
        return 1;
    }
    const auto start = Clock::now();
    if (tickFirst) {
        ::PostMessageW(main, WM_TIMER, tarnwatch::ui::FrmMain::UpdateTimerId, 0);
    }
    const auto end = start + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < end) {
        const int count = list.RowCount();
        if (count > 0 && list.Cell(count - 1, 3) == url) {
            const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
            std::printf("%lld\n", static_cast<long long>(waited.count()));
            return 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::fwprintf(stderr, L"no row with %ls appeared\n", url.c_str());
    return 1;
}

int Close(HWND main, long timeoutMs) {
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < end) {
        if (!::IsWindow(main)) {
            return 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::fwprintf(stderr, L"the main window did not close\n");
    return 1;
}

} // namespace

int wmain(int argc, wchar_t* argv[]) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"wait-window" && argc == 3) {
        return WaitWindow(std::wcstol(argv[2], nullptr, 10));
    }
    const HWND main = MainWindow();
    if (main == nullptr) {
        std::fwprintf(stderr, L"the main window is not there\n");
        return 1;
    }
    if (command == L"caption" && argc == 2) {
        return Caption(main);
    }
    if (command == L"rows" && argc == 2) {
        return Rows(main);
    }
    if ((command == L"wait-url" || command == L"tick-wait-url") && argc == 4) {
        return WaitUrl(main, argv[2], std::wcstol(argv[3], nullptr, 10), command == L"tick-wait-url");
    }
    if (command == L"close" && argc == 3) {
        return Close(main, std::wcstol(argv[2], nullptr, 10));
    }
    std::fwprintf(stderr, L"usage: listview_reader wait-window MS | caption | rows | wait-url URL MS | "
                          L"tick-wait-url URL MS | close MS\n");
    return 2;
}
