// param.dat loading on any bytes at all: it must never crash or throw, it refuses with exactly one box or
// loads with none, and what it loads survives a save and a second load unchanged.
#include "engine/latin1_code_page.h"
#include "engine/settings.h"
#include "engine/std_file_system.h"
#include "fuzz/fuzz_check.h"
#include "tests/support/memory_file_system.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

using namespace tarnwatch;
using namespace tarnwatch::fuzz;

namespace {

class CountingBoxes final : public MessageBoxes {
public:
    int Shown = 0;
    BoxAnswer Show(const std::wstring&, const std::wstring&, BoxButtons, BoxIcon) override {
        ++Shown;
        return BoxAnswer::Ok;
    }
};

class RecordingTimer final : public PollTimer {
public:
    std::int64_t IntervalMs = -1;
    void SetIntervalMs(std::int64_t intervalMs) override { IntervalMs = intervalMs; }
    void SetEnabled(bool) override {}
};

// Saving needs a real file; one folder serves every run of the process and goes with it.
class SaveFolder {
public:
    SaveFolder() {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() / ("tarnwatch-fuzz-" + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~SaveFolder() {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    SaveFolder(const SaveFolder&) = delete;
    SaveFolder& operator=(const SaveFolder&) = delete;

    std::filesystem::path SettingsFile() const { return path_ / "param.dat"; }

private:
    std::filesystem::path path_;
};

LoadResult Load(SharedState& state, const std::filesystem::path& file, FileSystem& files,
                RecordingTimer& timer, CountingBoxes& boxes) {
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
    RecordingTimer timer;
    CountingBoxes boxes;
    const LoadResult result = Load(first, given, files, timer, boxes);
    if (result != LoadResult::Loaded) {
        FUZZ_CHECK(boxes.Shown == 1);
        return 0;
    }
    FUZZ_CHECK(boxes.Shown == 0);
    FUZZ_CHECK(timer.IntervalMs == TimerIntervalMs(first.UpdateSeconds));

    static const SaveFolder folder;
    const std::filesystem::path saved = folder.SettingsFile();
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
