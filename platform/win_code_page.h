// The system's ANSI code page through MultiByteToWideChar and WideCharToMultiByte.
#pragma once

#include "engine/ports.h"

namespace tarnwatch::win {

class WinAnsiCodePage final : public AnsiCodePage {
public:
    void ToWide(std::string_view ansi, std::wstring& wide) override;
    std::string ToAnsi(std::wstring_view wide) override;
};

} // namespace tarnwatch::win
