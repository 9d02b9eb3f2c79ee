#include "ui/base/program_look.h"

#include "platform/dpi.h"
#include "resources/resource.h"

namespace tarnwatch::ui {

win::FontHandle CreateProgramFont(int dpi, bool bold) {
    return win::CreatePointFont(L"Tahoma", 9.75, dpi, bold);
}

namespace {

HICON LoadIcon(HINSTANCE instance, ProgramIcon icon, int sizePixels, UINT flags) {
    const int id = icon == ProgramIcon::Yellow ? IDI_TARNWATCH_YELLOW : IDI_TARNWATCH_BLUE;
    return static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, sizePixels, sizePixels, flags));
}

} // namespace

HICON LoadProgramIcon(HINSTANCE instance, ProgramIcon icon, int sizePixels) {
    return LoadIcon(instance, icon, sizePixels, LR_SHARED);
}

win::IconHandle LoadProgramIconCopy(HINSTANCE instance, ProgramIcon icon, int sizePixels) {
    return win::IconHandle(LoadIcon(instance, icon, sizePixels, 0));
}

} // namespace tarnwatch::ui
