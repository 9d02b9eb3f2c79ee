// The record parser against a byte-by-byte reading of the format, on any line at all.
#include "engine/record_fields.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/reference_fields.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

namespace {

using tarnwatch::fuzz::FieldPlace;

bool LiesInside(std::string_view field, std::string_view line) {
    const std::less_equal<const char*> notAfter;
    return notAfter(line.data(), field.data()) &&
           notAfter(field.data() + field.size(), line.data() + line.size());
}

void CheckField(std::string_view field, FieldPlace expected, std::string_view line) {
    FUZZ_CHECK(LiesInside(field, line));
    FUZZ_CHECK(field.find(' ') == std::string_view::npos);
    FUZZ_CHECK(static_cast<std::size_t>(field.data() - line.data()) == expected.Begin);
    FUZZ_CHECK(field.size() == expected.Size);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const auto fields = tarnwatch::SplitRecordFields(line);
    const auto expected = tarnwatch::fuzz::ReferenceRecordFields(line);
    FUZZ_CHECK(fields.has_value() == expected.has_value());
    if (fields && expected) {
        CheckField(fields->RemoteIp, expected->RemoteIp, line);
        CheckField(fields->Url, expected->Url, line);
        CheckField(fields->Status, expected->Status, line);
    }
    return 0;
}
