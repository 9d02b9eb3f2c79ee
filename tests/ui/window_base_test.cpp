#include "ui/base/window.h"

#include "platform/dpi.h"
#include "platform/handles.h"
#include "platform/twips.h"
#include "tests/engine/fakes.h"
#include "tests/ui/scripted_user.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

namespace tarnwatch::ui {
namespace {

using testing::ScriptedBoxes;
using win::TwipsToPixels;

constexpr UINT ThrowError = WM_APP;
constexpr UINT ThrowAnything = WM_APP + 1;
constexpr int EditId = 10;

// A window of the base's own: a text box and a bold button on a fixed client area.
class TestWindow final : public Window {
public:
    static constexpr const wchar_t* ClassName = L"TarnwatchTestWindow";

    explicit TestWindow(MessageBoxes& boxes, bool failCreation = false)
        : Window(boxes), failCreation_(failCreation) {}

    bool Create() {
        return Window::Create(::GetModuleHandleW(nullptr),
                              {ClassName, L"test", WS_CAPTION | WS_SYSMENU, 0, 2880, 1440});
    }
    using Window::EndModal;
    using Window::RunModal;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_CREATE:
            if (failCreation_) {
                throw std::runtime_error("no controls");
            }
            AddControl({EditId, WC_EDITW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, {120, 240, 1440, 360}});
            AddControl({EditId + 1,
                        WC_BUTTONW,
                        L"OK",
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                        0,
                        {120, 720, 960, 360},
                        true});
            return 0;
        case ThrowError:
            throw std::runtime_error("disk on fire");
        case ThrowAnything:
            throw 42;
        case WM_COMMAND:
            if (LOWORD(wParam) == EditId + 1) {
                EndModal();
            }
            return 0;
        default:
            return DefaultHandling(message, wParam, lParam);
        }
    }

    bool failCreation_;
};

RECT ClientRectOf(HWND window, HWND control) {
    RECT bounds{};
    ::GetWindowRect(control, &bounds);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&bounds), 2);
    return bounds;
}

LONG FontHeight(HWND control) {
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font), &font);
    return font.lfHeight;
}

TEST(WindowBaseTest, AnExceptionInAHandlerIsReportedOnceAndTheWindowGoesOn) {
    ScriptedBoxes boxes;
    TestWindow window(boxes);
    ASSERT_TRUE(window.Create());

    ::SendMessageW(window.Handle(), ThrowError, 0, 0);
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_NE(boxes.Shown[0].Text.find(L"disk on fire"), std::wstring::npos) << boxes.Shown[0].Text;
    EXPECT_NE(boxes.Shown[0].Text.find(L"unexpected error"), std::wstring::npos) << boxes.Shown[0].Text;
    EXPECT_EQ(boxes.Shown[0].Icon, BoxIcon::Critical);
    EXPECT_TRUE(::IsWindow(window.Handle()));

    ::SendMessageW(window.Handle(), ThrowAnything, 0, 0);
    EXPECT_EQ(boxes.Shown.size(), 2u);
    EXPECT_EQ(::SendMessageW(window.Handle(), WM_GETTEXTLENGTH, 0, 0), 4) << "still handles its messages";
}

// While the box is open, messages keep running under it; those that fail again are not stacked up.
class BoxThatSeesAnotherFailure final : public MessageBoxes {
public:
    HWND Window = nullptr;
    int Shown = 0;
    BoxAnswer Show(const std::wstring&, const std::wstring&, BoxButtons, BoxIcon) override {
        ++Shown;
        ::SendMessageW(Window, ThrowError, 0, 0);
        return BoxAnswer::Ok;
    }
};

TEST(WindowBaseTest, FailuresWhileTheErrorBoxIsOpenAddNoFurtherBox) {
    BoxThatSeesAnotherFailure boxes;
    TestWindow window(boxes);
    ASSERT_TRUE(window.Create());
    boxes.Window = window.Handle();
    ::SendMessageW(window.Handle(), ThrowError, 0, 0);
    EXPECT_EQ(boxes.Shown, 1);
}

TEST(WindowBaseTest, AWindowWhoseCreationFailsIsNotCreated) {
    ScriptedBoxes boxes;
    TestWindow window(boxes, true);
    EXPECT_FALSE(window.Create());
    EXPECT_EQ(window.Handle(), nullptr);
    EXPECT_EQ(::FindWindowW(TestWindow::ClassName, nullptr), nullptr);
    ASSERT_EQ(boxes.Shown.size(), 1u);
    EXPECT_NE(boxes.Shown[0].Text.find(L"no controls"), std::wstring::npos);
}

TEST(WindowBaseTest, ClientAreaControlsAndFontsFollowTheWindowsDpi) {
    ScriptedBoxes boxes;
    TestWindow window(boxes);
    ASSERT_TRUE(window.Create());
    const HWND edit = ::GetDlgItem(window.Handle(), EditId);
    for (const int dpi : {win::WindowDpi(window.Handle()), 144, 192}) {
        SCOPED_TRACE(dpi);
        if (dpi != window.Dpi()) {
            RECT suggested{40, 30, 400, 300};
            ::SendMessageW(window.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                           reinterpret_cast<LPARAM>(&suggested));
            RECT placed{};
            ::GetWindowRect(window.Handle(), &placed);
            EXPECT_EQ(placed.left, 40);
            EXPECT_EQ(placed.top, 30);
        }
        RECT client{};
        ::GetClientRect(window.Handle(), &client);
        EXPECT_EQ(client.right, TwipsToPixels(2880, dpi));
        EXPECT_EQ(client.bottom, TwipsToPixels(1440, dpi));
        const RECT bounds = ClientRectOf(window.Handle(), edit);
        EXPECT_EQ(bounds.left, TwipsToPixels(120, dpi));
        EXPECT_EQ(bounds.bottom, TwipsToPixels(600, dpi));
        EXPECT_EQ(FontHeight(edit), win::PointsToFontHeight(9.75, dpi));
        LOGFONTW bold{};
        ::GetObjectW(
            reinterpret_cast<HFONT>(::SendDlgItemMessageW(window.Handle(), EditId + 1, WM_GETFONT, 0, 0)),
            sizeof(bold), &bold);
        EXPECT_EQ(bold.lfWeight, FW_BOLD);
    }
}

int otherWindowTicks = 0;

TEST(WindowBaseTest, AModalRunDisablesTheOtherWindowsKeepsTheirTimersAndGivesTheFocusBack) {
    const auto create = [](DWORD style) {
        return win::WindowHandle(::CreateWindowExW(0, WC_EDITW, L"", WS_OVERLAPPEDWINDOW | style, 0, 0, 200,
                                                   100, nullptr, nullptr, nullptr, nullptr));
    };
    const win::WindowHandle other = create(WS_VISIBLE);
    const win::WindowHandle alreadyDisabled = create(WS_DISABLED);
    ::SetActiveWindow(other.Get());
    ::SetFocus(other.Get());
    otherWindowTicks = 0;
    ::SetTimer(other.Get(), 1, 10, [](HWND, UINT, UINT_PTR, DWORD) { ++otherWindowTicks; });

    ScriptedBoxes boxes;
    TestWindow window(boxes);
    ASSERT_TRUE(window.Create());
    int ticksWhenOpened = 0;
    const ScriptedUser user(TestWindow::ClassName,
                            {[&](HWND modal) {
                                 EXPECT_FALSE(::IsWindowEnabled(other.Get()));
                                 EXPECT_EQ(::GetFocus(), ::GetDlgItem(modal, EditId)) << "first control";
                                 ticksWhenOpened = otherWindowTicks;
                             },
                             [](HWND) {}, [](HWND) {}, [](HWND) {},
                             [&](HWND) { EXPECT_GT(otherWindowTicks, ticksWhenOpened); }, PressKey(VK_RETURN),
                             PressKey(VK_ESCAPE), [](HWND modal) { EXPECT_TRUE(::IsWindowVisible(modal)); },
                             Click(EditId + 1)});
    window.RunModal();
    ::KillTimer(other.Get(), 1);
    EXPECT_EQ(user.StepsLeft(), 0u);
    EXPECT_EQ(window.Handle(), nullptr);
    EXPECT_TRUE(::IsWindowEnabled(other.Get()));
    EXPECT_FALSE(::IsWindowEnabled(alreadyDisabled.Get()));
    EXPECT_EQ(::GetFocus(), other.Get());
}

} // namespace
} // namespace tarnwatch::ui
