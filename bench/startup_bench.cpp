// The engine's part of start-up on one log: the checks of the field list, the start position, the field list
// in force there and the first pass. Prints the wall time of one start-up in milliseconds, so that a script
// can time it with a cold or a warm cache.
//
//   startup_bench LOG
#include "bench/quiet_windows.h"
#include "engine/latin1_code_page.h"
#include "engine/monitor.h"
#include "engine/monitor_rows.h"
#include "engine/startup.h"
#include "engine/std_file_system.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

namespace tarnwatch::bench {
namespace {

// A fixed day and a pump with nothing to do: start-up reads nothing new.
class StillClock final : public Clock, public MessagePump {
public:
    CivilDate Today() override { return {2003, 9, 5}; }
    std::int64_t SecondTick() override { return 0; }
    std::wstring TimeOfDayText() override { return L"10:15:32"; }
    std::int64_t SteadyMs() override { return 0; }
    void ProcessPendingMessages() override {}
};

} // namespace
} // namespace tarnwatch::bench

int main(int argc, char** argv) {
    using namespace tarnwatch;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s LOG\n", argv[0]);
        return 2;
    }
    const std::wstring log = std::filesystem::path(argv[1]).wstring();
    bench::QuietWindows quiet;
    bench::StillClock still;
    Latin1CodePage codePage;
    StdFileSystem files;
    MonitorRows rows;
    SharedState state;
    state.RowLimit = 50;
    Monitor monitor(state,
                    MonitorPorts{quiet, quiet, quiet, still, quiet, quiet, still, codePage, files, rows});

    const auto started = std::chrono::steady_clock::now();
    if (!HasRequiredFieldList(files, log)) {
        std::fprintf(stderr, "%s: not the field list the program reads\n", argv[1]);
        return 1;
    }
    const std::int64_t readOffset = std::max<std::int64_t>(FindStartOffset(files, log), 1);
    const bool fieldListRight = FieldListInForceAt(files, log, readOffset - 1).value_or(true);
    monitor.WatchLog(log, still.Today(), readOffset, fieldListRight);
    monitor.ReadNewLines();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - started;
    std::printf("%.2f\n", took.count());
    return monitor.CurrentLog().ReadOffset() == readOffset && rows.RowCount() == 0 ? 0 : 1;
}
