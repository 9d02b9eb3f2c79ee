#include "ui/base/program_look.h"

#include "platform/dpi.h"
#include "resources/resource.h"

#include <map>
#include <tuple>

namespace tarnwatch::ui {

win::FontHandle CreateProgramFont(int dpi, bool bold) {
    return win::CreatePointFont(L"Tahoma", 9.75, dpi, bold);
}

HICON LoadProgramIcon(HINSTANCE instance, ProgramIcon icon, int sizePixels) {
    static std::map<std::tuple<HINSTANCE, ProgramIcon, int>, win::IconHandle> loaded;
    win::IconHandle& kept = loaded[{instance, icon, sizePixels}];
    if (!kept) {
        const int id = icon == ProgramIcon::Yellow ? IDI_TARNWATCH_YELLOW : IDI_TARNWATCH_BLUE;
        kept.Reset(static_cast<HICON>(
            ::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, sizePixels, sizePixels, 0)));
    }
    return kept.Get();
}

} // namespace tarnwatch::ui
