#include "ui/base/key_filter.h"

#include <commctrl.h>

namespace tarnwatch::ui {

namespace {

constexpr UINT_PTR KeyFilterId = 1;

LRESULT CALLBACK KeyFilterProcedure(HWND textBox, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR test) {
    switch (message) {
    case WM_CHAR:
        if (!reinterpret_cast<KeyTest>(test)(static_cast<wchar_t>(wParam),
                                             static_cast<std::size_t>(::GetWindowTextLengthW(textBox)))) {
            return 0;
        }
        break;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(textBox, &KeyFilterProcedure, KeyFilterId);
        break;
    default:
        break;
    }
    return ::DefSubclassProc(textBox, message, wParam, lParam);
}

} // namespace

void FilterTypedCharacters(HWND textBox, KeyTest test) {
    ::SetWindowSubclass(textBox, &KeyFilterProcedure, KeyFilterId, reinterpret_cast<DWORD_PTR>(test));
}

} // namespace tarnwatch::ui
