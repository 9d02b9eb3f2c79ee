// Takes the fuzz input apart front to back. Past its end every byte reads as zero and every stretch as empty,
// so a target never has to check how much is left before asking.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tarnwatch::fuzz {

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}

    bool Empty() const { return rest_.empty(); }

    std::uint8_t Byte() {
        if (rest_.empty()) {
            return 0;
        }
        const auto byte = static_cast<std::uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return byte;
    }

    // Up to count bytes; fewer at the end of the input.
    std::string_view Bytes(std::size_t count) {
        const std::string_view taken = rest_.substr(0, std::min(count, rest_.size()));
        rest_.remove_prefix(taken.size());
        return taken;
    }

private:
    std::string_view rest_;
};

} // namespace tarnwatch::fuzz
