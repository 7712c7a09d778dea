#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "platform/sim/SimMachine.h"
#include "tray/DisplayModel.h"

namespace kxp::test {
namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;

struct MetricCase {
    std::int32_t metric;
    std::optional<IconFigure> expected;
};

class MetricFigureTest : public ::testing::TestWithParam<MetricCase> {
  protected:
    MetricFigureTest() : sampler(sim.platform()) {
        // 3,999,999,999 bytes free of 8 GiB; 3 GiB commit limit.
        sim.SetMemory(8192 * kMiB, 3999999999, 3072 * kMiB, 1024 * kMiB);
        sampler.UpdateMemory();
        sampler.PageFileInUse = 700 * kMiB + kMiB - 1;
        sampler.CpuIdleAll = 40;
        sampler.CpuIdleCore1 = 100;
        sampler.CpuIdleCore2 = 0;
        sampler.CpuIdleCore3 = -1;
        sampler.CpuIdleCore4 = 103;  // a counter's rounding overshoot
    }

    sim::SimMachine sim;
    TSystemData sampler;
};

TEST_P(MetricFigureTest, MetricGivesValueAndMaximumOrNothing) {
    EXPECT_EQ(MetricFigure(GetParam().metric, sampler), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    MetricTable, MetricFigureTest,
    ::testing::Values(MetricCase{0, IconFigure{3814, 8192}},  // RAM Free
                      MetricCase{1, IconFigure{4377, 8192}},  // RAM Usage
                      MetricCase{2, IconFigure{40, 100}},     // CPU Idle Time - All
                      MetricCase{3, IconFigure{60, 100}},     // CPU Usage - All
                      MetricCase{4, IconFigure{100, 100}},    // idle 100
                      MetricCase{5, IconFigure{0, 100}},      // usage at idle 100
                      MetricCase{6, IconFigure{0, 100}},      // idle 0
                      MetricCase{7, IconFigure{100, 100}},    // usage at idle 0
                      MetricCase{8, std::nullopt},            // no sample yet (-1)
                      MetricCase{9, std::nullopt},
                      MetricCase{10, IconFigure{100, 100}},   // idle above 100 taken at 100
                      MetricCase{11, IconFigure{0, 100}},     // and its usage at 0, not wrapped
                      MetricCase{12, IconFigure{700, 3072}},  // Paging File Usage
                      MetricCase{13, std::nullopt}, MetricCase{-1, std::nullopt}),
    [](const auto& info) {
        const auto metric = info.param.metric;
        return metric < 0 ? std::string("Negative") : "Metric" + std::to_string(metric);
    });

struct CodeCase {
    std::int32_t display1;
    std::int32_t display2;
    std::optional<DisplayCode> expected;
    const char* menuItem1;
    const char* menuItem2;
};

class DisplayCodeTest : public ::testing::TestWithParam<CodeCase> {};

TEST_P(DisplayCodeTest, CodesDecodeToTheTableOrToNothing) {
    const CodeCase& c = GetParam();
    const std::optional<DisplayCode> code = DecodeDisplay(c.display1, c.display2);
    ASSERT_EQ(code, c.expected);
    if (code) {
        EXPECT_EQ(DisplayMenuItem(1, *code), c.menuItem1);
        EXPECT_EQ(DisplayMenuItem(2, *code), c.menuItem2);
    }
}

INSTANTIATE_TEST_SUITE_P(
    CodeTable, DisplayCodeTest,
    ::testing::Values(CodeCase{0, 7, DisplayCode{dkIcon, dmRamFree}, "miD_Icon",
                               "mi2D_Icon"},  // 2 not read
                      CodeCase{0, -5, DisplayCode{dkIcon, dmRamFree}, "miD_Icon", "mi2D_Icon"},
                      CodeCase{1, 0, DisplayCode{dkNumeric, dmRamFree}, "miD_Numeric_RamFree",
                               "mi2D_Numeric_RamFree"},
                      CodeCase{2, 3, DisplayCode{dkGraph, dmCpuUsageAll}, "miD_Graph_CpuUsageAll",
                               "mi2D_Graph_CpuUsageAll"},
                      CodeCase{3, 12, DisplayCode{dkBlock, dmPF}, "miD_Block_PF", "mi2D_Block_PF"},
                      CodeCase{2, 11, DisplayCode{dkGraph, dmCpuUsageCore4},
                               "miD_Graph_CpuUsageCore4", "mi2D_Graph_CpuUsageCore4"},
                      CodeCase{1, 13, std::nullopt, "", ""}, CodeCase{3, -1, std::nullopt, "", ""},
                      CodeCase{4, 0, std::nullopt, "", ""}, CodeCase{-1, 0, std::nullopt, "", ""},
                      CodeCase{2147483647, 0, std::nullopt, "", ""}));

struct LevelCase {
    std::uint32_t value;
    std::uint32_t maximum;
    std::uint8_t row;
};

class FigureRowTest : public ::testing::TestWithParam<LevelCase> {};

TEST_P(FigureRowTest, RowIsFifteenMinusTheRoundedLevel) {
    EXPECT_EQ(FigureRow(GetParam().value, GetParam().maximum), GetParam().row);
}

INSTANTIATE_TEST_SUITE_P(
    LevelTable, FigureRowTest,
    ::testing::Values(LevelCase{0, 100, 15}, LevelCase{50, 100, 7},  // 7.5000008 rounds to 8
                      LevelCase{100, 100, 0},
                      // 6.666666 rather than 20/3: 1/3 is 5.0000005, level 5.
                      LevelCase{1, 3, 10},
                      LevelCase{3, 0, 12},  // a maximum of 0: the value is the level
                      LevelCase{16, 0, 255}, LevelCase{107, 100, 255},  // above 15: wraps
                      LevelCase{4294967295u, 1, 244}));

}  // namespace
}  // namespace kxp::test
