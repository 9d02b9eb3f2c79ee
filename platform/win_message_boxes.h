// Message boxes through MessageBoxW.
#pragma once

#include "engine/ports.h"

#include <windows.h>

namespace tarnwatch::win {

class WinMessageBoxes final : public MessageBoxes {
public:
    explicit WinMessageBoxes(HWND owner = nullptr) : owner_(owner) {}

    // Boxes shown before the main window exists have no owner; afterwards they are modal to the window the
    // user is working in, or to this one when no window of the program is active.
    void SetOwner(HWND owner) { owner_ = owner; }

    BoxAnswer Show(const std::wstring& text, const std::wstring& title, BoxButtons buttons,
                   BoxIcon icon) override;

private:
    HWND Owner() const;

    HWND owner_;
};

} // namespace tarnwatch::win
