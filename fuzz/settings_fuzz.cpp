// param.dat loading on any bytes at all: it must never crash or throw, it refuses with exactly one box or
// loads with none, and what it loads survives a save and a second load unchanged.
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

using namespace tarnwatch;
using namespace tarnwatch::fuzz;

namespace {

LoadResult Load(SharedState& state, const std::filesystem::path& file, FileSystem& files,
                testing::RecordingTimer& timer, testing::ScriptedBoxes& boxes) {
    Latin1CodePage codePage;
    try {
        return LoadSettings(state, file, files, codePage, timer, boxes);
    } catch (...) {
        PropertyFailed("LoadSettings does not throw", __FILE__, __LINE__);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path given = "param.dat";
    testing::MemoryFileSystem files;
    files.Create(given.wstring(), std::string(reinterpret_cast<const char*>(data), size));
    SharedState first;
    testing::RecordingTimer timer;
    // Set by the load only.
    timer.IntervalMs = -1;
    testing::ScriptedBoxes boxes;
    const LoadResult result = Load(first, given, files, timer, boxes);
    if (result != LoadResult::Loaded) {
        FUZZ_CHECK(boxes.Shown.size() == 1);
        return 0;
    }
    FUZZ_CHECK(boxes.Shown.empty());
    FUZZ_CHECK(timer.IntervalMs == TimerIntervalMs(first.UpdateSeconds));

    // Saving needs a real file; one folder serves every run of the process and goes with it.
    static const testing::TempFolder folder;
    const std::filesystem::path saved = folder.Path() / "param.dat";
    Latin1CodePage codePage;
    const bool written = SaveSettings(first, saved, codePage, boxes);
    FUZZ_CHECK(written);
    StdFileSystem disk;
    SharedState second;
    const LoadResult reloaded = Load(second, saved, disk, timer, boxes);
    FUZZ_CHECK(reloaded == LoadResult::Loaded);
    FUZZ_CHECK(second.RowLimit == first.RowLimit);
    FUZZ_CHECK(second.UpdateSeconds == first.UpdateSeconds);
    FUZZ_CHECK(second.LogFolder == first.LogFolder);
    FUZZ_CHECK(second.FilterIps == first.FilterIps);
    return 0;
}
