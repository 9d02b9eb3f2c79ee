// Writes a day's worth of realistic IIS W3C extended log lines, for timing read passes.
#pragma once

#include <cstdint>
#include <filesystem>

namespace tarnwatch::bench {

// One request in ten comes from 127.0.0.1 (a local health check), the address the benchmark filters.
// The same line count always gives the same bytes.
void WriteIisLog(const std::filesystem::path& file, std::int64_t requestLines);

} // namespace tarnwatch::bench
