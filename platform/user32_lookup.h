// Entry points newer than the oldest Windows the program runs on are looked up when first needed.
#pragma once

#include <windows.h>

namespace tarnwatch::win {

// Null when this Windows has no such function in user32.
template <typename Function> Function FindUser32Function(const char* name) {
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name)));
}

} // namespace tarnwatch::win
