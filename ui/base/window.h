// The base of every window of the program. It registers the window class once, attaches the object to its
// window before the first message, stops exceptions at the window procedure, lays the controls out in twips
// at the window's own DPI (again whenever that changes), keeps the keyboard focus among the controls, and
// can run the window modally.
#pragma once

#include "engine/ports.h"
#include "platform/handles.h"

#include <windows.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace tarnwatch::ui {

// A rectangle of a design, in twips.
struct TwipsRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

// Controls inside a frame are designed in the frame's coordinates.
constexpr TwipsRect InFrame(const TwipsRect& frame, const TwipsRect& control) {
    return {frame.Left + control.Left, frame.Top + control.Top, control.Width, control.Height};
}

// The styles the program's controls are made with. Siblings clip each other, so that a frame created after
// the controls it holds never paints over them.
constexpr DWORD ChildStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD ButtonStyle = ChildStyle | WS_TABSTOP | BS_PUSHBUTTON;

// The number behind one of a window's named control ids.
template <typename ControlId> constexpr int IdOf(ControlId id) {
    return static_cast<int>(id);
}

struct ControlDesign {
    int Id = 0;
    const wchar_t* ClassName = nullptr;
    const wchar_t* Text = L"";
    DWORD Style = 0;
    DWORD ExStyle = 0;
    TwipsRect Rect;
    bool Bold = false;
};

struct WindowDesign {
    const wchar_t* ClassName = nullptr;
    const wchar_t* Caption = L"";
    DWORD Style = 0;
    DWORD ExStyle = 0;
    // The client area in twips, kept through DPI changes; zero leaves the size to the window.
    int ClientWidthTwips = 0;
    int ClientHeightTwips = 0;
};

// The text of a window or control.
std::wstring WindowText(HWND window);

// Runs the click handler of the push button whose command arrived, if it has one.
template <typename Self, typename ControlId>
void RunClick(Self& window, int id, int code,
              std::initializer_list<std::pair<ControlId, void (Self::*)()>> handlers) {
    if (code != BN_CLICKED) {
        return;
    }
    for (const auto& [control, click] : handlers) {
        if (IdOf(control) == id) {
            (window.*click)();
            return;
        }
    }
}

class Window {
public:
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return window_.Get(); }
    // The innermost window of the program that runs modally, or null.
    static HWND OpenModalWindow();

protected:
    explicit Window(MessageBoxes& boxes) : boxes_(boxes) {}
    // Destroys a window that is still there without running its handlers: that is not closing it.
    virtual ~Window();

    // Creates the window, hidden, where the system puts new windows. WM_CREATE runs inside; false when the
    // window's own handlers refused to be created or failed (which they have reported). Throws
    // win::WindowsError when the system cannot make the window.
    bool Create(HINSTANCE instance, const WindowDesign& design, HMENU menu = nullptr);
    void Destroy() { window_.Reset(); }

    // Creation order is the order in which Tab walks the controls. Throws win::WindowsError when the system
    // cannot make the control.
    HWND AddControl(const ControlDesign& design);
    // Keeps a control made elsewhere at a design rectangle and in the window's font.
    void PlaceControl(HWND control, const TwipsRect& rect, bool bold = false);

    HINSTANCE Instance() const;
    MessageBoxes& Boxes() const { return boxes_; }
    int Dpi() const { return dpi_; }
    // A design length in twips, in pixels at the window's DPI.
    int Pixels(int twips) const;

    // The messages every window handles, decoded: creation (false refuses it), a command from a menu, an
    // accelerator or a control (code is the control's notification; control is null for the others), and
    // a control's notification through WM_NOTIFY.
    virtual bool OnCreate() { return true; }
    virtual void OnCommand(int /*id*/, int /*code*/, HWND /*control*/) {}
    virtual LRESULT OnNotify(NMHDR& /*header*/) { return 0; }
    // A window's handlers for other messages; what it leaves alone goes on to the decoding above, and what
    // that leaves to DefaultHandling.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam);
    // Runs once the base has laid the window out for a new DPI.
    virtual void DpiChanged() {}
    // Runs once the window is gone, unless the object's destructor destroyed it.
    virtual void Destroyed() {}

    // Shows the window modally to the whole thread and returns once EndModal ran or the window is gone; the
    // window is then destroyed and the focus is back where it was. The close box ends it too.
    void RunModal();
    // Creates the window and runs it modally.
    void ShowModal(HINSTANCE instance, const WindowDesign& design);
    // Sets the outer height to the height of the window's monitor less the given twips, keeping place and
    // width.
    void SpanScreenHeightLess(int shortfallTwips);
    void EndModal() { modalDone_ = true; }

private:
    struct PlacedControl {
        HWND Control;
        TwipsRect Rect;
        bool Bold;
    };

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT BaseHandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnActivate(bool active);
    void MoveFocus(bool backwards);
    void OnDpiChanged(int dpi, const RECT& suggested);
    void SetIcons();
    void Place(const PlacedControl& placed);
    void SetDesignClientSize(POINT topLeft);
    HFONT Font(bool bold);

    MessageBoxes& boxes_;
    WindowDesign design_;
    win::FontHandle font_;
    win::FontHandle boldFont_;
    // Set while the window's own handlers refuse or fail its creation.
    bool creationRefused_ = false;
    std::vector<PlacedControl> controls_;
    // After the fonts, so that the window and its controls are gone before the fonts they use.
    win::WindowHandle window_;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    HWND focusWhenInactive_ = nullptr;
    bool modalRunning_ = false;
    bool modalDone_ = false;
};

} // namespace tarnwatch::ui
