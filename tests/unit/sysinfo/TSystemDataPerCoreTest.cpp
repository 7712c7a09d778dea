#include <array>
#include <vector>

#include "SamplerFixture.h"
#include "platform/sim/SimPerformanceData.h"

namespace kxp::testing {
namespace {

using Cores = std::array<std::int32_t, 4>;

constexpr std::int64_t kSecond = 10'000'000;  // 100 ns units

Cores CoresOf(const TSystemData& sampler) {
    return {sampler.CpuIdleCore1, sampler.CpuIdleCore2, sampler.CpuIdleCore3, sampler.CpuIdleCore4};
}

class PerCoreTest : public SamplerTest {
  protected:
    void ServeCounters(std::vector<std::int64_t> idle, std::uint16_t second) {
        sim::SimPerformanceBlock block;
        block.objects[0].idleCounters = std::move(idle);
        block.systemTime[6] = second;
        machine.SetPerformanceData(sim::PerformanceBlockBytes(block));
    }
    void PresetCores(std::int32_t value) {
        Sampler().CpuIdleCore1 = Sampler().CpuIdleCore2 = value;
        Sampler().CpuIdleCore3 = Sampler().CpuIdleCore4 = value;
    }
};

struct CounterCase {
    const char* name;
    std::uint8_t processors;
    std::vector<std::int64_t> idleInTheSecond;  // per instance, of one second
    Cores expected;
};

class CounterCoresTest : public PerCoreTest, public ::testing::WithParamInterface<CounterCase> {};

TEST_P(CounterCoresTest, CoresAreHundredMinusTheRoundedUsage) {
    const CounterCase& c = GetParam();
    machine.SetProcessorCount(c.processors);
    PresetCores(7);
    ServeCounters(std::vector<std::int64_t>(c.idleInTheSecond.size(), 0), 20);
    Sampler().ScanProcesses(true, false);
    ServeCounters(c.idleInTheSecond, 21);
    Sampler().ScanProcesses(true, false);
    EXPECT_EQ(CoresOf(Sampler()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Usages, CounterCoresTest,
    ::testing::Values(
        // 12.5 rounds to 12 and 37.5 to 38: ties go to the even neighbour.
        CounterCase{
            "FourInstances", 4, {kSecond * 7 / 8, kSecond * 5 / 8, kSecond, 0}, {88, 62, 100, 0}},
        CounterCase{"OneProcessorLeavesCoresThreeAndFour", 1, {kSecond / 4}, {25, 100, 7, 7}},
        CounterCase{"MissingInstancesReadIdle", 4, {kSecond / 2, kSecond / 2}, {50, 50, 100, 100}},
        CounterCase{
            "UsageOutOfRangeReadsTheNearestBound", 2, {-kSecond, 2 * kSecond}, {0, 100, 100, 100}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PerCoreTest, CounterStepRunsAlsoOnScansCutShort) {
    machine.SetProcessorCount(2);
    ServeCounters({0, 0}, 20);
    Sampler().ScanProcesses(true, false);
    const std::int32_t all = Sampler().CpuIdleAll;
    machine.platform().clock.Sleep(100);
    ServeCounters({kSecond / 2, kSecond / 4}, 21);
    Sampler().ScanProcesses(true, false);
    EXPECT_EQ(Sampler().CpuIdleAll, all);
    EXPECT_EQ(CoresOf(Sampler()), (Cores{50, 25, 100, 100}));
}

TEST_F(PerCoreTest, CounterErrorEndsTheScanBeforeTheProcessQuery) {
    machine.SetPerformanceData({});
    EXPECT_THROW(Sampler().ScanProcesses(true, false), CounterError);
    EXPECT_EQ(machine.QueryCount(platform::kSystemProcessInformation), 0);
}

struct TimesCase {
    const char* name;
    std::uint8_t processors;
    std::vector<sim::SimProcessorTimes> after;  // from all zero, one second later
    Cores expected;
};

class NativeCoresTest : public PerCoreTest, public ::testing::WithParamInterface<TimesCase> {};

// Without counters each core's figure is its idle time against its kernel and user time.
TEST_P(NativeCoresTest, CoresComeFromThePerProcessorTimes) {
    const TimesCase& c = GetParam();
    machine.SetProcessorCount(c.processors);
    PresetCores(7);
    machine.SetProcessorTimes(std::vector<sim::SimProcessorTimes>(c.after.size()));
    ScanTwiceWithTimes(c.after);
    EXPECT_EQ(CoresOf(Sampler()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Times, NativeCoresTest,
    ::testing::Values(TimesCase{"OneBusyOneIdle",
                                2,
                                {{kSecond / 20, kSecond / 10, kSecond * 9 / 10},
                                 {kSecond, kSecond, 0}},
                                {5, 100, 100, 100}},
                      TimesCase{"FourCoresRoundingTiesToEven",
                                4,
                                {{kSecond * 5 / 8, kSecond * 7 / 8, kSecond / 8},
                                 {kSecond * 1 / 8, kSecond / 2, kSecond / 2},
                                 {0, kSecond / 2, kSecond / 2},
                                 {kSecond / 2, kSecond, 0}},
                                {62, 12, 0, 50}},
                      // A core that accounted no time since the last scan keeps its figure.
                      TimesCase{"StillCoreKeepsItsFigure",
                                2,
                                {{kSecond / 2, kSecond, 0}, {0, 0, 0}},
                                {50, 7, 100, 100}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PerCoreTest, WithoutPerProcessorTimesCoresShowTheMachinesFigure) {
    machine.SetProcessorCount(2);
    machine.FailQuery(platform::kSystemProcessorPerformanceInformation, 0xC0000001);
    ScanTwice(1000, 1500 * kIdleUnitsPerMs, 0);
    EXPECT_EQ(CoresOf(Sampler()), (Cores{75, 75, 75, 75}));
}

TEST_F(PerCoreTest, FirstScanLeavesTheCoresAlone) {
    machine.SetProcessorTimes({{kSecond, kSecond, 0}});
    Sampler().ScanProcesses(false, false);
    EXPECT_EQ(CoresOf(Sampler()), (Cores{0, 0, 0, 0}));
}

}  // namespace
}  // namespace kxp::testing
