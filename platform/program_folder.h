// The folder that holds the running executable (param.dat lives beside it).
#pragma once

#include <filesystem>

namespace tarnwatch::win {

std::filesystem::path ProgramFolder();

} // namespace tarnwatch::win
