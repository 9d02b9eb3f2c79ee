// frmAbout: who made the program and how to reach them.
#pragma once

#include "engine/ports.h"
#include "ui/base/window.h"

#include <windows.h>

namespace tarnwatch::ui {

class FrmAbout final : public Window {
public:
    static constexpr const wchar_t* ClassName = L"TarnwatchAbout";
    // The controls' ids, for tools that find them as a user's tools do.
    enum class Id : int { Image1 = 101, Label1, Label2, Command1 };

    explicit FrmAbout(MessageBoxes& boxes) : Window(boxes) {}

    // Shows the box modally with no owner and returns once it has closed.
    void Show(HINSTANCE instance);

private:
    bool OnCreate() override;
    void OnCommand(int id, int code, HWND control) override;
    void DpiChanged() override;
    void Form_Load();
    void Command1_Click();

    HWND Image1 = nullptr;
    HWND Label1 = nullptr;
    HWND Label2 = nullptr;
    HWND Command1 = nullptr;
};

} // namespace tarnwatch::ui
