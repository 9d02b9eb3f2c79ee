#include "ui/base/window.h"

#include "platform/dpi.h"
#include "platform/handles.h"
#include "tests/support/fakes.h"
#include "tests/ui/scripted_user.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarnwatch::ui {
namespace {

// Thrown as a standard exception, or with a wParam of 1 as one of any other type.
constexpr UINT ThrowError = WM_APP;
enum class Id : int { Edit = 10, Ok };

// A window of the base's own: a text box and a bold button on a client area of two inches by one.
class TestWindow final : public Window {
public:
    static constexpr const wchar_t* ClassName = L"TarnwatchTestWindow";
    explicit TestWindow(MessageBoxes& boxes) : Window(boxes) {}
    bool Create() {
        return Window::Create(::GetModuleHandleW(nullptr),
                              {ClassName, L"test", WS_CAPTION | WS_SYSMENU, 0, 2880, 1440});
    }
    using Window::RunModal;
    bool FailCreation = false;

private:
    bool OnCreate() override {
        if (FailCreation) {
            throw std::runtime_error("no controls");
        }
        constexpr DWORD Style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
        AddControl({static_cast<int>(Id::Edit), WC_EDITW, L"", Style, 0, {120, 240, 1440, 360}});
        AddControl({static_cast<int>(Id::Ok), WC_BUTTONW, L"OK", Style, 0, {120, 720, 960, 360}, true});
        return true;
    }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == ThrowError && wParam == 1) {
            throw 42;
        }
        if (message == ThrowError) {
            throw std::runtime_error("disk on fire");
        }
        return Window::HandleMessage(message, wParam, lParam);
    }
};

// Records the boxes. While one is open, messages keep running under it, and here one of them fails again.
class BoxesUnderFire final : public MessageBoxes {
public:
    testing::ScriptedBoxes Record;

    BoxAnswer Show(const std::wstring& text, const std::wstring& title, BoxButtons buttons,
                   BoxIcon icon) override {
        ::SendMessageW(::FindWindowW(TestWindow::ClassName, nullptr), ThrowError, 0, 0);
        return Record.Show(text, title, buttons, icon);
    }
};

class WindowBaseTest : public ::testing::Test {
protected:
    BoxesUnderFire boxes;
    TestWindow window{boxes};
    const std::vector<testing::ShownBox>& shown = boxes.Record.Shown;
};

TEST_F(WindowBaseTest, AnExceptionInAHandlerIsReportedInOneBoxAndTheWindowGoesOnUnlessItWasBeingCreated) {
    TestWindow failing(boxes);
    failing.FailCreation = true;
    EXPECT_FALSE(failing.Create());
    EXPECT_EQ(::FindWindowW(TestWindow::ClassName, nullptr), nullptr) << "a failed creation leaves no window";
    ASSERT_TRUE(window.Create());
    ::SendMessageW(window.Handle(), ThrowError, 0, 0);
    ASSERT_EQ(shown.size(), 2u) << "one box for each; failures while a box is open add none";
    EXPECT_NE(shown[1].Text.find(L"disk on fire"), std::wstring::npos) << shown[1].Text;
    ::SendMessageW(window.Handle(), ThrowError, 1, 0);
    EXPECT_EQ(shown.size(), 3u) << "an exception of any type";
    EXPECT_EQ(::SendMessageW(window.Handle(), WM_GETTEXTLENGTH, 0, 0), 4) << "still handles its messages";
}

// 1,440 twips to the inch, and the window's DPI pixels to the inch.
TEST_F(WindowBaseTest, TheClientAreaControlsAndFontsAreLaidOutInTwipsAtTheWindowsDpi) {
    ASSERT_TRUE(window.Create());
    const auto font = [&](Id id) {
        LOGFONTW font{};
        const LRESULT handle = ::SendMessageW(Item(window.Handle(), id), WM_GETFONT, 0, 0);
        ::GetObjectW(reinterpret_cast<HFONT>(handle), sizeof(font), &font);
        return font;
    };
    const int startingFont = std::abs(font(Id::Edit).lfHeight);
    RECT suggested{40, 30, 400, 300};
    for (const int dpi : {win::WindowDpi(window.Handle()), 144}) {
        SCOPED_TRACE(dpi);
        if (dpi == 144) {
            ::SendMessageW(window.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                           reinterpret_cast<LPARAM>(&suggested));
        }
        EXPECT_EQ(ClientArea(window.Handle()).right, 2 * dpi);
        EXPECT_EQ(ClientArea(window.Handle()).bottom, dpi);
        EXPECT_EQ(Bounds(Item(window.Handle(), Id::Edit)).left, dpi / 12);
        EXPECT_EQ(Bounds(Item(window.Handle(), Id::Edit)).bottom, dpi * 5 / 12);
        EXPECT_EQ(font(Id::Ok).lfWeight, FW_BOLD);
    }
    EXPECT_GT(std::abs(font(Id::Edit).lfHeight), startingFont);
    EXPECT_EQ(Bounds(window.Handle()).left, suggested.left) << "at the suggested place";
    EXPECT_EQ(Bounds(window.Handle()).top, suggested.top) << "at the suggested place";
}

int otherWindowTicks = 0;

TEST_F(WindowBaseTest, AModalRunDisablesTheOtherWindowsKeepsTheirTimersAndGivesTheFocusBack) {
    const auto create = [](DWORD style, HWND parent) {
        return ::CreateWindowExW(0, WC_EDITW, L"", style, 0, 0, 200, 100, parent, nullptr, nullptr, nullptr);
    };
    const win::WindowHandle other(create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr));
    const win::WindowHandle alreadyDisabled(create(WS_OVERLAPPEDWINDOW | WS_DISABLED, nullptr));
    // A control that activating its window alone would not give the focus to.
    const HWND field = create(WS_CHILD | WS_VISIBLE, other.Get());
    ::SetActiveWindow(other.Get());
    ::SetFocus(field);
    ::SetTimer(other.Get(), 1, 10, [](HWND, UINT, UINT_PTR, DWORD) { ++otherWindowTicks; });
    ASSERT_TRUE(window.Create());
    int ticksWhenOpened = 0;
    const Step idle = [](HWND) {};
    Play(TestWindow::ClassName,
         {[&](HWND) {
              EXPECT_FALSE(::IsWindowEnabled(other.Get()));
              ticksWhenOpened = otherWindowTicks;
          },
          idle, idle, idle, [&](HWND) { EXPECT_GT(otherWindowTicks, ticksWhenOpened); }, CloseBox()},
         [&] { window.RunModal(); });
    ::KillTimer(other.Get(), 1);
    EXPECT_EQ(window.Handle(), nullptr) << "destroyed at the end of the run";
    EXPECT_TRUE(::IsWindowEnabled(other.Get()));
    EXPECT_FALSE(::IsWindowEnabled(alreadyDisabled.Get()));
    EXPECT_EQ(::GetFocus(), field) << "the focus is back where it was";
}

} // namespace
} // namespace tarnwatch::ui
