// Latin-1 as the ANSI code page: every byte is one UTF-16 unit. It stands in for the system's code page
// where there is no Windows to ask: build tools, benchmarks and tests.
#pragma once

#include "engine/ports.h"

namespace tarnwatch {

class Latin1CodePage final : public AnsiCodePage {
public:
    void ToWide(std::string_view ansi, std::wstring& wide) override {
        wide.assign(ansi.size(), L'\0');
        for (std::size_t i = 0; i < ansi.size(); ++i) {
            wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(ansi[i]));
        }
    }
    // Characters beyond Latin-1 have no byte, as with any single-byte code page.
    std::string ToAnsi(std::wstring_view wide) override {
        std::string ansi(wide.size(), '\0');
        for (std::size_t i = 0; i < wide.size(); ++i) {
            ansi[i] = wide[i] < 256 ? static_cast<char>(wide[i]) : '?';
        }
        return ansi;
    }
};

} // namespace tarnwatch
