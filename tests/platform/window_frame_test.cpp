#include "platform/window_frame.h"

#include "platform/dpi.h"
#include "platform/handles.h"

#include <gtest/gtest.h>

namespace tarnwatch::win {
namespace {

TEST(WindowFrameTest, AWindowWithMenuOfTheOuterSizeHasTheWantedClientArea) {
    const DWORD style = WS_OVERLAPPEDWINDOW & ~WS_MAXIMIZEBOX;
    MenuHandle menu(::CreateMenu());
    ::AppendMenuW(menu.Get(), MF_STRING, 1, L"&File");
    const SIZE outer = OuterSizeForClient(SIZE{332, 400}, style, 0, true, WindowDpi(nullptr));

    const WindowHandle window(::CreateWindowExW(0, L"STATIC", L"frame", style, 0, 0, outer.cx, outer.cy,
                                                nullptr, menu.Release(), ::GetModuleHandleW(nullptr),
                                                nullptr));
    ASSERT_TRUE(window);
    RECT client{};
    ::GetClientRect(window.Get(), &client);
    EXPECT_EQ(client.right, 332);
    EXPECT_EQ(client.bottom, 400);
}

} // namespace
} // namespace tarnwatch::win
