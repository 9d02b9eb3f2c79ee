// Writes a param.dat with the program's own settings writer, so nobody has to scramble one by hand.
//   make_default_settings OUTPUT [--row-limit N] [--seconds N] [--log-folder TEXT] [--filter IP]...
// Arguments are taken byte for byte as ANSI text.

#include "engine/latin1_code_page.h"
#include "engine/settings.h"
#include "engine/text.h"

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {

class ConsoleBoxes final : public tarnwatch::MessageBoxes {
public:
    tarnwatch::BoxAnswer Show(const std::wstring& text, const std::wstring& title, tarnwatch::BoxButtons,
                              tarnwatch::BoxIcon) override {
        std::wcerr << title << L": " << text << L'\n';
        return tarnwatch::BoxAnswer::Ok;
    }
};

std::wstring Widen(const std::string& text) {
    std::wstring wide;
    tarnwatch::Latin1CodePage().ToWide(text, wide);
    return wide;
}

int Usage() {
    std::cerr << "usage: make_default_settings OUTPUT [--row-limit N] [--seconds N] [--log-folder TEXT] "
                 "[--filter IP]...\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return Usage();
    }
    tarnwatch::Settings settings;
    settings.RowLimit = 30;
    settings.UpdateSeconds = 5;
    settings.LogFolder = L"C:\\inetpub\\logs\\LogFiles\\W3SVC1\\";
    std::vector<std::wstring> filters;

    for (int i = 2; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) {
            return Usage();
        }
        const std::wstring value = Widen(argv[++i]);
        if (option == "--row-limit" || option == "--seconds") {
            const auto number = tarnwatch::ParseInt32(value);
            if (!number) {
                return Usage();
            }
            (option == "--row-limit" ? settings.RowLimit : settings.UpdateSeconds) = *number;
        } else if (option == "--log-folder") {
            settings.LogFolder = value;
        } else if (option == "--filter") {
            filters.push_back(value);
        } else {
            return Usage();
        }
    }
    settings.FilterIps = filters.empty() ? std::vector<std::wstring>{L"127.0.0.1"} : filters;

    tarnwatch::Latin1CodePage codePage;
    ConsoleBoxes boxes;
    return tarnwatch::SaveSettings(settings, argv[1], codePage, boxes) ? 0 : 1;
}
