#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "platform/sim/SimMachine.h"
#include "service/IconMetric.h"

namespace kxp::test {
namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;

struct MetricCase {
    std::int32_t metric;
    std::optional<IconFigure> expected;
};

class IconMetricTest : public ::testing::TestWithParam<MetricCase> {
  protected:
    IconMetricTest() : sampler(sim.platform()) {
        // 3,999,999,999 bytes free of 8 GiB; 3 GiB commit limit.
        sim.SetMemory(8192 * kMiB, 3999999999, 3072 * kMiB, 1024 * kMiB);
        sampler.UpdateMemory();
        sampler.PageFileInUse = 700 * kMiB + kMiB - 1;
        sampler.CpuIdleAll = 40;
        sampler.CpuIdleCore1 = 100;
        sampler.CpuIdleCore2 = 0;
        sampler.CpuIdleCore3 = -1;
        sampler.CpuIdleCore4 = -2;
    }

    sim::SimMachine sim;
    TSystemData sampler;
};

TEST_P(IconMetricTest, MetricGivesValueAndMaximumOrNothing) {
    EXPECT_EQ(MetricFigure(GetParam().metric, sampler), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    MetricTable, IconMetricTest,
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
                      MetricCase{10, std::nullopt},  // starting point only (-2)
                      MetricCase{11, std::nullopt},
                      MetricCase{12, IconFigure{700, 3072}},  // Paging File Usage
                      MetricCase{13, std::nullopt}, MetricCase{-1, std::nullopt}),
    [](const auto& info) {
        const auto metric = info.param.metric;
        return metric < 0 ? std::string("Negative") : "Metric" + std::to_string(metric);
    });

}  // namespace
}  // namespace kxp::test
