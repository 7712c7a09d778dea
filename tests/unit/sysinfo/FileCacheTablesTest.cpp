#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>

#include "sysinfo/FileCache.h"

namespace kxp {
namespace {

constexpr std::int64_t kMB = 1048576;

struct TableCase {
    const char* row;
    bool advanced;
    std::int64_t installed;
    std::int64_t available;
    std::int64_t minimum;
    std::int64_t maximum;
};

void PrintTo(const TableCase& c, std::ostream* out) {
    *out << c.row;
}

class AutomaticBounds : public ::testing::TestWithParam<TableCase> {};

TEST_P(AutomaticBounds, FirstMatchingRowGivesTheExactBytes) {
    const TableCase& c = GetParam();
    EXPECT_EQ(AutomaticFileCacheBounds(c.advanced, c.installed, c.available),
              (FileCacheBounds{c.minimum, c.maximum}));
}

constexpr std::int64_t k256 = 268435456;
constexpr std::int64_t k512 = 536870912;
constexpr std::int64_t kBig = 4096 * kMB;

// Each threshold is tried with one byte more (its row) and exactly (the row below).
INSTANTIATE_TEST_SUITE_P(
    Basic, AutomaticBounds,
    ::testing::Values(TableCase{"above 200", false, kBig, 200 * kMB + 1, 157286400, 188743680},
                      TableCase{"exactly 200", false, kBig, 200 * kMB, 83886080, 125829120},
                      TableCase{"above 100", false, kBig, 100 * kMB + 1, 83886080, 125829120},
                      TableCase{"exactly 100", false, kBig, 100 * kMB, 41943040, 73400320},
                      TableCase{"exactly 20", false, kBig, 20 * kMB, 41943040, 73400320},
                      TableCase{"under 20", false, kBig, 20 * kMB - 1, 4194304, 8388608},
                      TableCase{"nothing", false, kBig, 0, 4194304, 8388608},
                      TableCase{"installed does not matter", false, 64 * kMB, 250 * kMB, 157286400,
                                188743680}));

INSTANTIATE_TEST_SUITE_P(
    Small, AutomaticBounds,
    ::testing::Values(TableCase{"exactly 256 installed", true, k256, 121 * kMB, 73400320, 73400320},
                      TableCase{"exactly 120", true, k256, 120 * kMB, 52428800, 52428800},
                      TableCase{"above 60", true, k256, 60 * kMB + 1, 52428800, 52428800},
                      TableCase{"exactly 60", true, k256, 60 * kMB, 16777216, 41943040},
                      TableCase{"exactly 20", true, k256, 20 * kMB, 16777216, 41943040},
                      TableCase{"under 20", true, k256, 20 * kMB - 1, 4194304, 12582912},
                      TableCase{"tiny machine", true, 1, 0, 4194304, 12582912}));

INSTANTIATE_TEST_SUITE_P(
    Medium, AutomaticBounds,
    ::testing::Values(TableCase{"one byte above 256 installed", true, k256 + 1, 121 * kMB, 94371840,
                                94371840},
                      TableCase{"above 300", true, k512, 300 * kMB + 1, 146800640, 209715200},
                      TableCase{"exactly 300", true, k512, 300 * kMB, 115343360, 157286400},
                      TableCase{"250 of 512", true, k512, 250 * kMB, 115343360, 157286400},
                      TableCase{"exactly 200", true, k512, 200 * kMB, 94371840, 94371840},
                      TableCase{"above 100", true, k512, 100 * kMB + 1, 94371840, 94371840},
                      TableCase{"exactly 100", true, k512, 100 * kMB, 41943040, 73400320},
                      TableCase{"exactly 20", true, k512, 20 * kMB, 41943040, 73400320},
                      TableCase{"under 20", true, k512, 20 * kMB - 1, 4194304, 12582912}));

INSTANTIATE_TEST_SUITE_P(
    Large, AutomaticBounds,
    ::testing::Values(
        TableCase{"one byte above 512 installed", true, k512 + 1, 501 * kMB, 314572800, 419430400},
        TableCase{"exactly 500", true, kBig, 500 * kMB, 209715200, 314572800},
        TableCase{"above 400", true, kBig, 400 * kMB + 1, 209715200, 314572800},
        TableCase{"exactly 400", true, kBig, 400 * kMB, 157286400, 230686720},
        TableCase{"above 300", true, kBig, 300 * kMB + 1, 157286400, 230686720},
        TableCase{"exactly 300", true, kBig, 300 * kMB, 115343360, 157286400},
        TableCase{"above 200", true, kBig, 200 * kMB + 1, 115343360, 157286400},
        TableCase{"exactly 200", true, kBig, 200 * kMB, 94371840, 94371840},
        TableCase{"above 100", true, kBig, 100 * kMB + 1, 94371840, 94371840},
        TableCase{"exactly 100", true, kBig, 100 * kMB, 41943040, 73400320},
        TableCase{"exactly 20", true, kBig, 20 * kMB, 41943040, 73400320},
        TableCase{"under 20", true, kBig, 20 * kMB - 1, 4194304, 12582912},
        TableCase{"64 GB free", true, 65536 * kMB, 60000 * kMB, 314572800, 419430400}));

}  // namespace
}  // namespace kxp
