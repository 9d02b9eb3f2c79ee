#include "platform/window_frame.h"

#include "platform/user32_lookup.h"

namespace tarnwatch::win {

namespace {

// AdjustWindowRectExForDpi exists from Windows 10 1607 on; before it every window has the system DPI.
using AdjustForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

} // namespace

SIZE OuterSizeForClient(SIZE client, DWORD style, DWORD exStyle, bool hasMenu, int dpi) {
    static const auto adjustForDpi = FindUser32Function<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, client.cx, client.cy};
    if (adjustForDpi != nullptr) {
        adjustForDpi(&frame, style, hasMenu, exStyle, static_cast<UINT>(dpi));
    } else {
        ::AdjustWindowRectEx(&frame, style, hasMenu, exStyle);
    }
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

} // namespace tarnwatch::win
