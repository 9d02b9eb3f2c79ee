// Stands in for libFuzzer where there is none: feeds every file of the given folders (and any file given by
// name) to the fuzz target once, in name order, so that the committed corpus runs as an ordinary test.
// Finding nothing to feed is a failure, so that a moved corpus cannot pass unnoticed.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> Inputs(int argc, char** argv) {
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path given = argv[i];
        if (!std::filesystem::is_directory(given)) {
            inputs.push_back(given);
            continue;
        }
        for (const auto& entry : std::filesystem::directory_iterator(given)) {
            if (entry.is_regular_file()) {
                inputs.push_back(entry.path());
            }
        }
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

// Exactly as many bytes as the file holds, on the heap and never null, as libFuzzer hands them over: the
// address sanitizer then sees any read past them.
bool Replay(const std::filesystem::path& input) {
    std::ifstream stream(input, std::ios::binary);
    std::error_code error;
    const auto size = std::filesystem::file_size(input, error);
    if (!stream || error) {
        std::fprintf(stderr, "cannot read %s\n", input.string().c_str());
        return false;
    }
    const auto count = static_cast<std::size_t>(size);
    const auto bytes = std::make_unique<std::uint8_t[]>(count);
    stream.read(reinterpret_cast<char*>(bytes.get()), static_cast<std::streamsize>(count));
    if (!stream) {
        std::fprintf(stderr, "cannot read %s\n", input.string().c_str());
        return false;
    }
    std::fprintf(stderr, "replaying %s\n", input.string().c_str());
    LLVMFuzzerTestOneInput(bytes.get(), count);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::filesystem::path> inputs = Inputs(argc, argv);
    if (inputs.empty()) {
        std::fprintf(stderr, "no inputs to replay\n");
        return 1;
    }
    for (const std::filesystem::path& input : inputs) {
        if (!Replay(input)) {
            return 1;
        }
    }
    std::printf("replayed %zu inputs\n", inputs.size());
    return 0;
}
