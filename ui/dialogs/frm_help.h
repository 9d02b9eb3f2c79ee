// frmhelp: the list of HTTP status codes and their texts, beside the main window.
#pragma once

#include "engine/ports.h"
#include "ui/base/window.h"

#include <windows.h>

#include <functional>

namespace tarnwatch::ui {

class FrmHelp final : public Window {
public:
    static constexpr const wchar_t* ClassName = L"TarnwatchHelp";
    // The controls' ids, for tools that find them as a user's tools do.
    enum class Id : int { lvwHelp = 1 };

    // closed runs when the window has closed.
    FrmHelp(MessageBoxes& boxes, std::function<void()> closed) : Window(boxes), closed_(std::move(closed)) {}

    // Loads the window at the top-left corner of the screen when it is not open; otherwise brings it to the
    // front as it is.
    void Show(HINSTANCE instance);
    bool IsOpen() const { return Handle() != nullptr; }

private:
    bool OnCreate() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DpiChanged() override { Form_Resize(SIZE_RESTORED); }
    void Destroyed() override;
    void Form_Load();
    void Form_Resize(WPARAM sizeKind);

    std::function<void()> closed_;
    HWND lvwHelp = nullptr;
};

} // namespace tarnwatch::ui
