// param.dat loading on any bytes at all: it must never crash or throw, a refusal names the file, and what it
// loads survives a save and a second load unchanged.
#include "engine/latin1_code_page.h"
#include "engine/settings.h"
#include "engine/std_file_system.h"
#include "fuzz/fuzz_check.h"
#include "tests/support/fakes.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/temp_folder.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <variant>

using namespace tarnwatch;
using namespace tarnwatch::fuzz;

namespace {

std::variant<Settings, SettingsRefusal> Load(const std::filesystem::path& file, FileSystem& files) {
    Latin1CodePage codePage;
    try {
        return LoadSettings(file, files, codePage);
    } catch (...) {
        PropertyFailed("LoadSettings does not throw", __FILE__, __LINE__);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path given = "param.dat";
    testing::MemoryFileSystem files;
    files.Create(given.wstring(), std::string(reinterpret_cast<const char*>(data), size));
    const auto loaded = Load(given, files);
    if (const auto* refusal = std::get_if<SettingsRefusal>(&loaded)) {
        FUZZ_CHECK(refusal->Text.find(given.wstring()) != std::wstring::npos);
        return 0;
    }
    const Settings& first = std::get<Settings>(loaded);
    testing::ScriptedBoxes boxes;

    // Saving needs a real file; one folder serves every run of the process and goes with it.
    static const testing::TempFolder folder;
    const std::filesystem::path saved = folder.Path() / "param.dat";
    Latin1CodePage codePage;
    const bool written = SaveSettings(first, saved, codePage, boxes);
    FUZZ_CHECK(written);
    StdFileSystem disk;
    const auto reloaded = Load(saved, disk);
    FUZZ_CHECK(std::holds_alternative<Settings>(reloaded));
    FUZZ_CHECK(std::get<Settings>(reloaded) == first);
    return 0;
}
