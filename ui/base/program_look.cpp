#include "ui/base/program_look.h"

#include "platform/dpi.h"
#include "resources/resource.h"

namespace tarnwatch::ui {

win::FontHandle CreateProgramFont(int dpi, bool bold) {
    return win::CreatePointFont(L"Tahoma", 9.75, dpi, bold);
}

HICON LoadProgramIcon(HINSTANCE instance, ProgramIcon icon, int sizePixels) {
    const int id = icon == ProgramIcon::Yellow ? IDI_TARNWATCH_YELLOW : IDI_TARNWATCH_BLUE;
    return static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, sizePixels, sizePixels, LR_SHARED));
}

} // namespace tarnwatch::ui
