#include "engine/record_fields.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tarnwatch {

namespace {

// The date is always ten bytes, so the date and the space after it are skipped by position.
constexpr std::size_t FirstCountedByte = 11;

// Fields are numbered from 1 (the time); every space from the first counted byte on opens the next one.
// Reaching field 10, the user agent, completes a record, so nine spaces are needed.
constexpr std::size_t SpacesInRecord = 9;
constexpr std::size_t RemoteIpField = 2;
constexpr std::size_t UrlField = 7;
constexpr std::size_t StatusField = 9;

// Request lines hold dozens of bytes between their spaces, which a byte-by-byte scan would pay for: spaces
// are mapped sixteen bytes at a time instead.
constexpr std::size_t WordBytes = 8;
constexpr std::size_t StepBytes = 16;
constexpr std::size_t BlockBytes = 64;

// Eight bytes of 0 or 1 times this gather into the highest byte, the first byte's bit lowest; no two
// products overlap.
constexpr std::uint64_t GatherBytes = 0x0102040810204080ull;

constexpr std::uint64_t EveryByte(std::uint8_t byte) {
    return 0x0101010101010101ull * byte;
}

// Eight bytes with the first one in the lowest bits, whatever the machine's byte order.
std::uint64_t LoadWord(const char* bytes) {
    std::uint64_t word = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&word, bytes, sizeof word);
    } else {
        for (std::size_t i = WordBytes; i-- > 0;) {
            word = word << 8 | static_cast<unsigned char>(bytes[i]);
        }
    }
    return word;
}

// Bit 8k + 7 set where byte k of the eight is a space, every other bit clear.
std::uint64_t SpaceTopBits(const char* bytes) {
    // A byte of x is zero exactly where the byte was a space; adding 0x7F to its low seven bits carries
    // into bit 7 for every other byte, and no carry crosses a byte.
    const std::uint64_t x = LoadWord(bytes) ^ EveryByte(' ');
    return ~(((x & EveryByte(0x7F)) + EveryByte(0x7F)) | x | EveryByte(0x7F));
}

// Bit k set where byte k of the sixteen is a space.
#if defined(__GNUC__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
// As vectors the sixteen bytes are compared in one instruction wherever the processor has 16-byte
// registers, and the compiler lowers them to plain code where it has none.
using StepVector = unsigned char __attribute__((vector_size(StepBytes)));
using WordVector = std::uint64_t __attribute__((vector_size(StepBytes)));

std::uint64_t StepSpaces(const char* bytes) {
    StepVector step;
    std::memcpy(&step, bytes, sizeof step);
    // A comparison that holds gives a byte of all ones; its lowest bit is kept.
    const auto words = reinterpret_cast<WordVector>(reinterpret_cast<StepVector>(step == ' ') & 1);
    return (words[0] * GatherBytes) >> 56 | ((words[1] * GatherBytes) >> 56) << WordBytes;
}
#else
std::uint64_t StepSpaces(const char* bytes) {
    const auto wordSpaces = [](const char* word) { return ((SpaceTopBits(word) >> 7) * GatherBytes) >> 56; };
    return wordSpaces(bytes) | wordSpaces(bytes + WordBytes) << WordBytes;
}
#endif

// Bit k set where byte k of the 64 is a space.
std::uint64_t BlockSpaces(const char* block) {
    std::uint64_t map = 0;
    for (std::size_t step = 0; step < BlockBytes / StepBytes; ++step) {
        map |= StepSpaces(block + step * StepBytes) << (step * StepBytes);
    }
    return map;
}

// Bit k set where line[from + k] is a space, for the 64 bytes from `from` on; bytes past the end are no
// spaces.
std::uint64_t SpaceMap(std::string_view line, std::size_t from) {
    if (line.size() < BlockBytes) {
        std::array<char, BlockBytes> padded{};
        std::copy(line.begin() + static_cast<std::ptrdiff_t>(from), line.end(), padded.begin());
        return BlockSpaces(padded.data());
    }
    // Near the end of the line the block is its last 64 bytes, less those before `from`.
    const std::size_t start = std::min(from, line.size() - BlockBytes);
    return BlockSpaces(line.data() + start) >> (from - start);
}

// The first space at or after from, or npos.
std::size_t FindSpace(std::string_view line, std::size_t from) {
    for (; from + WordBytes <= line.size(); from += WordBytes) {
        if (const std::uint64_t bits = SpaceTopBits(line.data() + from); bits != 0) {
            return from + static_cast<std::size_t>(std::countr_zero(bits)) / 8;
        }
    }
    return line.find(' ', from);
}

} // namespace

std::optional<RecordFields> SplitRecordFields(std::string_view line) {
    if (line.size() <= FirstCountedByte || line.front() == '#') {
        return std::nullopt;
    }
    // The nine spaces of a request nearly always lie in the 128 bytes from the first counted byte on; taking
    // them lowest bit first from two maps costs a few instructions per space. A position past those bytes
    // marks a space still to be found.
    constexpr std::size_t NotMapped = FirstCountedByte + 2 * BlockBytes;
    std::uint64_t low = SpaceMap(line, FirstCountedByte);
    std::uint64_t high =
        line.size() > FirstCountedByte + BlockBytes ? SpaceMap(line, FirstCountedByte + BlockBytes) : 0;
    // spaces[k] is where field k + 2 begins; field n lies between spaces[n - 2] and spaces[n - 1].
    std::array<std::size_t, SpacesInRecord> spaces{};
    for (auto& space : spaces) {
        const bool inLow = low != 0;
        const std::uint64_t bits = inLow ? low : high;
        space =
            FirstCountedByte + (inLow ? 0 : BlockBytes) + static_cast<std::size_t>(std::countr_zero(bits));
        const std::uint64_t rest = bits & (bits - 1);
        low = inLow ? rest : low;
        high = inLow ? high : rest;
    }
    if (spaces.back() >= NotMapped) {
        std::size_t from = std::min(NotMapped, line.size());
        for (auto& space : spaces) {
            if (space < NotMapped) {
                continue;
            }
            space = FindSpace(line, from);
            if (space == std::string_view::npos) {
                return std::nullopt;
            }
            from = space + 1;
        }
    }
    const auto field = [&](std::size_t number) {
        const std::size_t begin = spaces[number - 2] + 1;
        return line.substr(begin, spaces[number - 1] - begin);
    };
    return RecordFields{field(RemoteIpField), field(UrlField), field(StatusField)};
}

} // namespace tarnwatch
