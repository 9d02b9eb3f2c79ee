#include "window_frame.h"

#include "dpi.h"
#include "handles.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace tarnwatch::win {
namespace {

TEST(WindowFrameTest, AWindowOfTheOuterSizeHasTheWantedClientArea) {
    const DWORD style = WS_OVERLAPPEDWINDOW & ~WS_MAXIMIZEBOX;
    MenuHandle menu(::CreateMenu());
    ::AppendMenuW(menu.Get(), MF_STRING, 1, L"&File");
    const int dpi = WindowDpi(nullptr);
    const SIZE outer = OuterSizeForClient(SIZE{332, 400}, style, 0, true, dpi);
    EXPECT_GT(outer.cx, 332);
    EXPECT_GT(outer.cy, 400);

    const WindowHandle window(::CreateWindowExW(0, L"STATIC", L"frame", style, 0, 0, outer.cx, outer.cy,
                                                nullptr, menu.Release(), ::GetModuleHandleW(nullptr),
                                                nullptr));
    ASSERT_TRUE(window);
    RECT client{};
    ::GetClientRect(window.Get(), &client);
    EXPECT_EQ(client.right, 332);
    EXPECT_EQ(client.bottom, 400);
}

TEST(WindowFrameTest, AMenuBarMakesTheFrameTaller) {
    const DWORD style = WS_OVERLAPPEDWINDOW;
    const int dpi = WindowDpi(nullptr);
    const SIZE withMenu = OuterSizeForClient(SIZE{300, 300}, style, 0, true, dpi);
    const SIZE withoutMenu = OuterSizeForClient(SIZE{300, 300}, style, 0, false, dpi);
    EXPECT_EQ(withMenu.cx, withoutMenu.cx);
    EXPECT_GT(withMenu.cy, withoutMenu.cy);
}

} // namespace
} // namespace tarnwatch::win
