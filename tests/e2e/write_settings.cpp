// Writes a param.dat the way the program itself writes it, for the end-to-end scripts:
//   write_settings OUTPUT ROW_LIMIT UPDATE_SECONDS LOG_FOLDER [FILTER_IP...]
#include "settings.h"
#include "win_code_page.h"

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

// Scripts run without anyone to click a message box away: failures go to the error stream.
class ErrorStreamBoxes final : public tarnwatch::MessageBoxes {
public:
    tarnwatch::BoxAnswer Show(const std::wstring& text, const std::wstring& title, tarnwatch::BoxButtons,
                              tarnwatch::BoxIcon) override {
        std::fwprintf(stderr, L"%ls: %ls\n", title.c_str(), text.c_str());
        return tarnwatch::BoxAnswer::Ok;
    }
};

} // namespace

int wmain(int argc, wchar_t* argv[]) {
    if (argc < 5) {
        std::fwprintf(stderr,
                      L"usage: write_settings OUTPUT ROW_LIMIT UPDATE_SECONDS LOG_FOLDER [FILTER_IP...]\n");
        return 2;
    }
    tarnwatch::SharedState state;
    state.RowLimit = static_cast<std::int32_t>(std::wcstol(argv[2], nullptr, 10));
    state.UpdateSeconds = static_cast<std::int32_t>(std::wcstol(argv[3], nullptr, 10));
    state.LogFolder = argv[4];
    for (int index = 5; index < argc; ++index) {
        state.FilterIps.emplace_back(argv[index]);
    }
    tarnwatch::win::WinAnsiCodePage codePage;
    ErrorStreamBoxes boxes;
    return tarnwatch::SaveSettings(state, argv[1], codePage, boxes) ? 0 : 1;
}
