#include "window_frame.h"

namespace tarnwatch::win {

namespace {

using AdjustForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

// AdjustWindowRectExForDpi exists from Windows 10 1607 on; before it every window has the system DPI.
AdjustForDpiFunction FindAdjustForDpi() {
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<AdjustForDpiFunction>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "AdjustWindowRectExForDpi")));
}

} // namespace

SIZE OuterSizeForClient(SIZE client, DWORD style, DWORD exStyle, bool hasMenu, int dpi) {
    static const AdjustForDpiFunction adjustForDpi = FindAdjustForDpi();
    RECT frame{0, 0, client.cx, client.cy};
    if (adjustForDpi != nullptr) {
        adjustForDpi(&frame, style, hasMenu, exStyle, static_cast<UINT>(dpi));
    } else {
        ::AdjustWindowRectEx(&frame, style, hasMenu, exStyle);
    }
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

} // namespace tarnwatch::win
