#include "ui/base/key_filter.h"

#include "platform/callback_guard.h"

#include <commctrl.h>

#include <stdexcept>

namespace tarnwatch::ui {

namespace {

// The test travels as the subclass's id, the boxes as its data: nothing to allocate, nothing to free.
LRESULT CALLBACK KeyFilterProcedure(HWND textBox, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR test,
                                    DWORD_PTR boxes) {
    if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(textBox, &KeyFilterProcedure, test);
    }
    LRESULT result = 0;
    win::RunGuarded(*reinterpret_cast<MessageBoxes*>(boxes), [&] {
        if (message == WM_CHAR &&
            !reinterpret_cast<KeyTest>(test)(static_cast<wchar_t>(wParam),
                                             static_cast<std::size_t>(::GetWindowTextLengthW(textBox)))) {
            return;
        }
        result = ::DefSubclassProc(textBox, message, wParam, lParam);
    });
    return result;
}

} // namespace

void FilterTypedCharacters(HWND textBox, KeyTest test, MessageBoxes& boxes) {
    if (!::SetWindowSubclass(textBox, &KeyFilterProcedure, reinterpret_cast<UINT_PTR>(test),
                             reinterpret_cast<DWORD_PTR>(&boxes))) {
        throw std::runtime_error("Cannot filter the keys typed into a text box");
    }
}

} // namespace tarnwatch::ui
