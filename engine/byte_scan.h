// Finding bytes in a run of text eight bytes at a time, in plain C++: the C library's memchr is fast on some
// systems and byte by byte on others, and a line end is either of two bytes, which memchr would look for
// in two scans.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace tarnwatch {

namespace byte_scan_detail {

constexpr std::uint64_t Ones = 0x0101010101010101ull;
constexpr std::uint64_t Highs = 0x8080808080808080ull;

inline std::uint64_t Load(const char* bytes) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// The high bit of the first byte of the word that equals the byte repeated in pattern is set, and no bit
// below it; bits above it may be set as well.
inline std::uint64_t Matches(std::uint64_t word, std::uint64_t pattern) {
    const std::uint64_t difference = word ^ pattern;
    return (difference - Ones) & ~difference & Highs;
}

// The first match in memory order among the bytes of a word flagged by Matches.
inline const char* FirstFlagged(const char* at, std::uint64_t flags) {
    if constexpr (std::endian::native == std::endian::little) {
        return at + std::countr_zero(flags) / 8;
    } else {
        for (int byte = 0;; ++byte) {
            if (((flags >> (8 * (7 - byte))) & 0x80) != 0) {
                return at + byte;
            }
        }
    }
}

constexpr std::ptrdiff_t BlockBytes = 64;

// Whether any of the 64 bytes at the pointer is first or second: a quick look that lets long runs without
// either go by a block at a time.
#if defined(__GNUC__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
// As vectors sixteen bytes are compared in one instruction wherever the processor has 16-byte registers,
// and the compiler lowers them to plain code where it has none.
using Bytes16 = unsigned char __attribute__((vector_size(16)));
using Words16 = std::uint64_t __attribute__((vector_size(16)));

inline bool BlockHolds(const char* at, unsigned char first, unsigned char second) {
    Bytes16 hits{};
    for (int part = 0; part < 4; ++part) {
        Bytes16 bytes;
        std::memcpy(&bytes, at + 16 * part, sizeof bytes);
        hits |= reinterpret_cast<Bytes16>((bytes == first) | (bytes == second));
    }
    const auto words = reinterpret_cast<Words16>(hits);
    return (words[0] | words[1]) != 0;
}
#else
inline bool BlockHolds(const char* at, unsigned char first, unsigned char second) {
    std::uint64_t flags = 0;
    for (int word = 0; word < 8; ++word) {
        flags |= Matches(Load(at + 8 * word), Ones * first) | Matches(Load(at + 8 * word), Ones * second);
    }
    return flags != 0;
}
#endif

template <typename IsWanted, typename Flags>
const char* Find(const char* begin, const char* end, unsigned char first, unsigned char second,
                 IsWanted isWanted, Flags flags) {
    const char* at = begin;
    while (end - at >= BlockBytes && !BlockHolds(at, first, second)) {
        at += BlockBytes;
    }
    for (; end - at >= 16; at += 16) {
        const std::uint64_t low = flags(Load(at));
        const std::uint64_t high = flags(Load(at + 8));
        if ((low | high) != 0) {
            return low != 0 ? FirstFlagged(at, low) : FirstFlagged(at + 8, high);
        }
    }
    for (; at < end; ++at) {
        if (isWanted(*at)) {
            return at;
        }
    }
    return nullptr;
}

} // namespace byte_scan_detail

// The first CR or LF in [begin, end), or null.
inline const char* FindLineEnd(const char* begin, const char* end) {
    using namespace byte_scan_detail;
    return Find(
        begin, end, '\r', '\n', [](char byte) { return byte == '\r' || byte == '\n'; },
        [](std::uint64_t word) { return Matches(word, Ones * '\r') | Matches(word, Ones * '\n'); });
}

// The first occurrence of the byte in [begin, end), or null.
inline const char* FindByte(const char* begin, const char* end, char wanted) {
    using namespace byte_scan_detail;
    const auto unsignedWanted = static_cast<unsigned char>(wanted);
    const std::uint64_t pattern = Ones * unsignedWanted;
    return Find(
        begin, end, unsignedWanted, unsignedWanted, [wanted](char byte) { return byte == wanted; },
        [pattern](std::uint64_t word) { return Matches(word, pattern); });
}

} // namespace tarnwatch
