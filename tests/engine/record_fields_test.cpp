#include "engine/record_fields.h"
#include "tests/support/iis_log.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarnwatch {
namespace {

using Fields = std::vector<std::string_view>;

Fields Split(std::string_view line) {
    const auto fields = SplitRecordFields(line);
    return fields ? Fields{fields->RemoteIp, fields->Status, fields->Url} : Fields{};
}

TEST(SplitRecordFields, CountsSpacesFromTheTwelfthByte) {
    const std::pair<std::string, Fields> cases[] = {
        {"2003 09 05 10:15:32 1.2.3.4 - 5.6.7.8 80 GET /a - 200 UA", {"1.2.3.4", "200", "/a"}},
        {"2003-09-05  1.2.3.4 - 5.6.7.8 80 GET /a - 200 UA", {"1.2.3.4", "200", "/a"}},
        {"2003-09-05 10:15:32 1.2.3.4 -  5.6.7.8 80 GET /a q 200 UA", {"1.2.3.4", "q", "GET"}},
        {"2003-09-05 10:15:32 1.2.3.4 - 5.6.7.8 80 GET /a - 200\tUA", {}},
        {"#003-09-05 10:15:32 1.2.3.4 - 5.6.7.8 80 GET /a - 200 UA", {}},
        {"2003-09-05 ", {}},
    };
    for (const auto& [line, fields] : cases) {
        EXPECT_EQ(Split(line), fields) << line;
    }
}

// URLs of every length up to 200 move the last spaces across the 64-byte steps of the search; the record is
// complete with the space after the status.
TEST(SplitRecordFields, FindsTheFieldsWhereverTheSpacesFallAgainstItsBlocks) {
    for (std::size_t length = 1; length <= 200; ++length) {
        std::string url(length, 'u');
        url.front() = '/';
        const std::string line = testing::RequestLine("1.2.3.4", url);
        const std::string upToStatus = line.substr(0, line.rfind(' '));
        EXPECT_EQ(Split(upToStatus), Fields{}) << length;
        EXPECT_EQ(Split(upToStatus + " "), (Fields{"1.2.3.4", "200", url})) << length;
        EXPECT_EQ(Split(line), (Fields{"1.2.3.4", "200", url})) << length;
    }
}

} // namespace
} // namespace tarnwatch
