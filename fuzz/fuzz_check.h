// A property that does not hold is a finding: the target aborts, so libFuzzer keeps the input as a crash and
// the corpus replay fails.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace tarnwatch::fuzz {

[[noreturn]] inline void PropertyFailed(const char* property, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property does not hold: %s\n", file, line, property);
    std::abort();
}

} // namespace tarnwatch::fuzz

#define FUZZ_CHECK(property)                                                                                 \
    ((property) ? void() : ::tarnwatch::fuzz::PropertyFailed(#property, __FILE__, __LINE__))
