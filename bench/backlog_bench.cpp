// One read pass over a whole day's backlog, with the real file layer, the real monitor rows and the
// filter and row limit a busy server is watched with.
//
//   tarnwatch_bench --generate=FILE [--lines=N]   writes a log of N request lines (default 1000000)
//   tarnwatch_bench --log=FILE [benchmark flags]  times read passes over FILE
//   tarnwatch_bench --pass=FILE                   one pass over FILE and nothing else, to be timed from
//                                                 outside like any other program; exits 1 if it fell short
#include "bench/iis_log_writer.h"
#include "bench/quiet_windows.h"
#include "engine/latin1_code_page.h"
#include "engine/monitor.h"
#include "engine/monitor_rows.h"
#include "engine/std_file_system.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

namespace tarnwatch::bench {
namespace {

// A seconds counter as cheap as the Windows tick count, asked for every shown row.
class SystemClock final : public Clock {
public:
    CivilDate Today() override { return {2003, 9, 5}; }
    std::int64_t SecondTick() override { return static_cast<std::int64_t>(std::time(nullptr)); }
    std::int64_t SteadyMs() override { return 0; }
    std::wstring TimeOfDayText() override {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        wchar_t text[16];
        std::wcsftime(text, 16, L"%H:%M:%S", &local);
        return text;
    }
};

class CountingPump final : public MessagePump {
public:
    std::int64_t Calls = 0;
    void ProcessPendingMessages() override { ++Calls; }
};

std::string logPath;

std::int64_t CountLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> block(1 << 20);
    std::int64_t lines = 0;
    while (in.read(block.data(), static_cast<std::streamsize>(block.size())) || in.gcount() > 0) {
        const char* cursor = block.data();
        const char* const end = cursor + in.gcount();
        while ((cursor = static_cast<const char*>(
                    std::memchr(cursor, '\r', static_cast<std::size_t>(end - cursor)))) != nullptr) {
            ++lines;
            ++cursor;
        }
    }
    return lines;
}

double PeakRssMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The monitor over one log, each pass from its first byte.
class BacklogReader {
public:
    explicit BacklogReader(const std::string& path)
        : path_(std::filesystem::path(path).wstring()),
          bytes_(static_cast<std::int64_t>(std::filesystem::file_size(path))),
          monitor_(state_, MonitorPorts{windows_, windows_, windows_, clock_, windows_, windows_, pump_,
                                        codePage_, files_, rows_}) {
        state_.RowLimit = RowLimit;
        state_.FilterIps = {L"127.0.0.1"};
    }

    void Pass() {
        monitor_.WatchLog(path_, clock_.Today(), 1, true);
        monitor_.ReadNewLines();
    }
    bool ReachedTheEnd() const {
        return monitor_.CurrentLog().ReadOffset() == bytes_ + 1 && rows_.RowCount() == RowLimit;
    }
    std::int64_t Bytes() const { return bytes_; }

private:
    static constexpr int RowLimit = 50;

    std::wstring path_;
    std::int64_t bytes_;
    QuietWindows windows_;
    SystemClock clock_;
    CountingPump pump_;
    Latin1CodePage codePage_;
    StdFileSystem files_;
    MonitorRows rows_;
    SharedState state_;
    Monitor monitor_;
};

void BacklogPass(benchmark::State& run) {
    const std::int64_t lines = CountLines(logPath);
    BacklogReader reader(logPath);
    for (auto _ : run) {
        reader.Pass();
    }
    if (!reader.ReachedTheEnd()) {
        run.SkipWithError("the pass did not reach the end of the log");
    }
    const std::int64_t bytes = reader.Bytes();
    run.counters["lines_per_second"] =
        benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsIterationInvariantRate);
    run.counters["MB_per_second"] =
        benchmark::Counter(static_cast<double>(bytes) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
    run.counters["peak_rss_MiB"] = PeakRssMiB();
}

BENCHMARK(BacklogPass)->Unit(benchmark::kMillisecond);

// Takes our own flags out of argv, leaving the benchmark library's.
std::string TakeFlag(int& argc, char** argv, const std::string& name) {
    const std::string prefix = "--" + name + "=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], prefix.c_str(), prefix.size()) == 0) {
            std::string value = argv[i] + prefix.size();
            std::copy(argv + i + 1, argv + argc, argv + i);
            --argc;
            return value;
        }
    }
    return {};
}

} // namespace
} // namespace tarnwatch::bench

int main(int argc, char** argv) {
    using namespace tarnwatch::bench;
    const std::string generate = TakeFlag(argc, argv, "generate");
    const std::string lines = TakeFlag(argc, argv, "lines");
    const std::string pass = TakeFlag(argc, argv, "pass");
    logPath = TakeFlag(argc, argv, "log");
    if (!generate.empty()) {
        WriteIisLog(generate, lines.empty() ? 1000000 : std::stoll(lines));
        return 0;
    }
    if (!pass.empty()) {
        BacklogReader reader(pass);
        reader.Pass();
        return reader.ReachedTheEnd() ? 0 : 1;
    }
    if (logPath.empty()) {
        std::fprintf(stderr,
                     "usage: %s --generate=FILE [--lines=N] | --log=FILE [benchmark flags] | --pass=FILE\n",
                     argv[0]);
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 2;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
