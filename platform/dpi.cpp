#include "platform/dpi.h"

#include "platform/twips.h"
#include "platform/user32_lookup.h"

namespace tarnwatch::win {

namespace {

// GetDpiForWindow and GetSystemMetricsForDpi exist from Windows 10 1607 on; older systems have one DPI for
// the whole screen.
using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);

int ScreenDpi() {
    const HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

} // namespace

int WindowDpi(HWND window) {
    static const auto getDpiForWindow = FindUser32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (window != nullptr && getDpiForWindow != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0) {
            return static_cast<int>(dpi);
        }
    }
    return ScreenDpi();
}

int SystemMetricForDpi(int index, int dpi) {
    static const auto forDpi = FindUser32Function<GetSystemMetricsForDpiFunction>("GetSystemMetricsForDpi");
    return forDpi != nullptr ? forDpi(index, static_cast<UINT>(dpi)) : ::GetSystemMetrics(index);
}

MonitorAreas WindowMonitor(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        return {screen, screen};
    }
    return {monitor.rcMonitor, monitor.rcWork};
}

FontHandle CreatePointFont(const wchar_t* face, double points, int dpi, bool bold) {
    LOGFONTW font{};
    font.lfHeight = PointsToFontHeight(points, dpi);
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    return FontHandle(::CreateFontIndirectW(&font));
}

} // namespace tarnwatch::win
