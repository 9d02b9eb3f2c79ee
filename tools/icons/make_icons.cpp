// Writes the program's icons, tarnwatch_yellow.ico and tarnwatch_blue.ico, into the given folder.
//   make_icons FOLDER

#include "tools/icons/program_icons.h"

#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

bool WriteFile(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
    std::ofstream stream(file, std::ios::binary | std::ios::trunc);
    stream.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    stream.close();
    if (!stream) {
        std::cerr << "make_icons: cannot write " << file << '\n';
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_icons FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const bool written = WriteFile(folder / "tarnwatch_yellow.ico", tarnwatch::icons::YellowIconFile()) &&
                         WriteFile(folder / "tarnwatch_blue.ico", tarnwatch::icons::BlueIconFile());
    return written ? 0 : 1;
}
