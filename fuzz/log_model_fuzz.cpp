// The monitor over a server's logs, driven by the model the engine's tests use, with every choice the model
// makes read from the input: which read window and longest line, when the server writes and how much, when a
// pass runs, which calls fail, when the file is replaced and how, when the date changes. The model's own
// check decides; what it finds is printed, one line each.
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "tests/support/log_model.h"

#include <cstdio>

using namespace tarnwatch;

namespace {

// Each choice takes as many bytes as its range needs, low byte first.
class InputChoices final : public testing::ModelChoices {
public:
    explicit InputChoices(fuzz::FuzzInput& input) : input_(input) {}

    std::size_t Between(std::size_t low, std::size_t high) override {
        std::size_t value = 0;
        for (std::size_t range = high - low, shift = 0; range != 0; range >>= 8, shift += 8) {
            value |= std::size_t{input_.Byte()} << shift;
        }
        return low + value % (high - low + 1);
    }
    bool Exhausted() const override { return input_.Empty(); }

private:
    fuzz::FuzzInput& input_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    InputChoices choices(input);
    const std::vector<std::string> faults = testing::ModelRun(choices).Run();
    for (const std::string& fault : faults) {
        std::fprintf(stderr, "%s\n", fault.c_str());
    }
    FUZZ_CHECK(faults.empty());
    return 0;
}
