#include <vector>

#include "SamplerFixture.h"
#include "platform/sim/SimPerformanceData.h"

namespace kxp::testing {
namespace {

using platform::kSystemProcessInformation;
using platform::kSystemProcessorPerformanceInformation;

TEST_F(SamplerTest, FirstScanOnlyRecordsTheStartingPoint) {
    machine.SetProcesses({IdleProcess(5'000'000)});
    Sampler().ScanProcesses(false, false);

    EXPECT_EQ(Sampler().CpuIdleAll, -2);
    EXPECT_EQ(Sampler().CpuIdleCore1, 0);
    EXPECT_EQ(Sampler().CpuIdleCore4, 0);
    EXPECT_EQ(Sampler().ElapsedMs, kStartTick);
}

struct IdleCase {
    std::uint8_t processors;
    std::uint32_t elapsedMs;
    std::int64_t idleKernel;
    std::int64_t idleUser;
    std::int32_t expected;
};

void PrintTo(const IdleCase& c, std::ostream* out) {
    *out << int{c.processors} << " processors, " << c.elapsedMs << " ms, idle " << c.idleKernel
         << "+" << c.idleUser << " -> " << c.expected;
}

class IdleFormulaTest : public SamplerTest, public ::testing::WithParamInterface<IdleCase> {};

TEST_P(IdleFormulaTest, SecondScanGivesTheIdlePercentage) {
    const IdleCase& c = GetParam();
    machine.SetProcessorCount(c.processors);
    ScanTwice(c.elapsedMs, c.idleKernel, c.idleUser);

    EXPECT_EQ(Sampler().CpuIdleAll, c.expected);
    EXPECT_EQ(Sampler().ElapsedMs, c.elapsedMs);
}

INSTANTIATE_TEST_SUITE_P(
    Figures, IdleFormulaTest,
    ::testing::Values(IdleCase{1, 1000, 1000 * kIdleUnitsPerMs, 0, 100},
                      IdleCase{2, 1000, 1500 * kIdleUnitsPerMs, 0, 75},
                      IdleCase{2, 1000, 1000 * kIdleUnitsPerMs, 500 * kIdleUnitsPerMs, 75},
                      IdleCase{4, 2000, 0, 4000 * kIdleUnitsPerMs, 50},
                      IdleCase{1, 1000, 1000 * kIdleUnitsPerMs - 1, 0, 99},  // truncates
                      IdleCase{1, 1000, 0, 0, 0},
                      IdleCase{1, 500, 1000 * kIdleUnitsPerMs, 0, 200}));  // not clamped

TEST_F(SamplerTest, ScansLessThan500MsApartReturnBeforeQuerying) {
    ScanTwice(1000, 1000 * kIdleUnitsPerMs, 0);
    const int queries = machine.QueryCount(kSystemProcessInformation);

    machine.platform().clock.Sleep(499);
    machine.SetProcesses({IdleProcess(1000 * kIdleUnitsPerMs)});
    Sampler().ScanProcesses(false, false);
    EXPECT_EQ(machine.QueryCount(kSystemProcessInformation), queries);
    EXPECT_EQ(Sampler().CpuIdleAll, 100);

    machine.platform().clock.Sleep(1);
    Sampler().ScanProcesses(false, false);
    EXPECT_EQ(machine.QueryCount(kSystemProcessInformation), queries + 1);
    EXPECT_EQ(Sampler().CpuIdleAll, 0);
    EXPECT_EQ(Sampler().ElapsedMs, 500u);
}

TEST_F(SamplerTest, CpuIdleExeCountsAsIdleTimeIgnoringCase) {
    machine.SetProcesses({IdleProcess(0), NamedProcess(8, u"CpuIdle.EXE")});
    Sampler().ScanProcesses(false, false);
    machine.platform().clock.Sleep(1000);
    machine.SetProcesses(
        {IdleProcess(600 * kIdleUnitsPerMs),
         NamedProcess(8, u"CpuIdle.EXE", 200 * kIdleUnitsPerMs, 100 * kIdleUnitsPerMs),
         NamedProcess(9, u"busy.exe", 900 * kIdleUnitsPerMs)});
    Sampler().ScanProcesses(false, false);

    EXPECT_EQ(Sampler().CpuIdleAll, 90);
}

TEST_F(SamplerTest, WithoutAnIdleRecordTheProcessorIdleTimesStandIn) {
    machine.SetProcessorCount(2);
    machine.SetProcesses({NamedProcess(4, u"services.exe")});
    machine.SetProcessorIdleTimes({0, 0});
    Sampler().ScanProcesses(false, false);
    machine.platform().clock.Sleep(1000);
    machine.SetProcessorIdleTimes({800 * kIdleUnitsPerMs, 600 * kIdleUnitsPerMs});
    Sampler().ScanProcesses(false, false);

    EXPECT_EQ(Sampler().CpuIdleAll, 70);
    EXPECT_EQ(machine.QueryCount(kSystemProcessorPerformanceInformation), 2);
}

TEST_F(SamplerTest, CpuIdleExeAddsToTheProcessorIdleTimes) {
    machine.SetProcesses({NamedProcess(8, u"cpuidle.exe")});
    machine.SetProcessorIdleTimes({0});
    Sampler().ScanProcesses(false, false);
    machine.platform().clock.Sleep(1000);
    machine.SetProcesses({NamedProcess(8, u"cpuidle.exe", 100 * kIdleUnitsPerMs)});
    machine.SetProcessorIdleTimes({300 * kIdleUnitsPerMs});
    Sampler().ScanProcesses(false, false);

    EXPECT_EQ(Sampler().CpuIdleAll, 40);
}

TEST_F(SamplerTest, AnIdleRecordAndCountersMeanTheProcessorTimesAreNotAsked) {
    machine.SetProcessorIdleTimes({1'000'000 * kIdleUnitsPerMs});
    machine.SetPerformanceData(sim::PerformanceBlockBytes({}));
    ScanTwice(1000, 250 * kIdleUnitsPerMs, 0, true);

    EXPECT_EQ(Sampler().CpuIdleAll, 25);
    EXPECT_EQ(machine.QueryCount(kSystemProcessorPerformanceInformation), 0);
}

TEST_F(SamplerTest, IdleTimeDifferencesSurviveThe32BitWrap) {
    const std::int64_t start = 0xFFFFFFFFLL - 1000;
    machine.SetProcesses({IdleProcess(start)});
    Sampler().ScanProcesses(false, false);
    machine.platform().clock.Sleep(1000);
    machine.SetProcesses({IdleProcess(start + 400 * kIdleUnitsPerMs)});
    Sampler().ScanProcesses(false, false);

    EXPECT_EQ(Sampler().CpuIdleAll, 40);
}

TEST_F(SamplerTest, ElapsedTimeSurvivesTheTickCountWrap) {
    machine.SetNow(0xFFFFFF00);
    ScanTwice(1000, 1000 * kIdleUnitsPerMs, 0);

    EXPECT_EQ(Sampler().ElapsedMs, 1000u);
    EXPECT_EQ(Sampler().CpuIdleAll, 100);
}

TEST_F(SamplerTest, ProcessBufferGrowsIn8192ByteStepsAndKeepsItsSize) {
    std::vector<sim::SimProcess> processes;
    for (std::uint32_t pid = 1; pid <= 200; ++pid) {
        processes.push_back(NamedProcess(pid * 4, u"process-with-a-longer-name.exe"));
    }
    const auto needed = sim::SimMachine::ProcessBufferImage(processes).bytes.size();
    ASSERT_GT(needed, 57344u);
    ASSERT_LE(needed, 65536u);
    machine.SetProcesses(processes);

    Sampler().ScanProcesses(false, false);
    EXPECT_EQ(machine.QueryLengths(kSystemProcessInformation),
              (std::vector<std::uint32_t>{32768, 40960, 49152, 57344, 65536}));
    EXPECT_EQ(Sampler().ProcessBufferSize(), 65536u);
    EXPECT_EQ(Sampler().CpuIdleAll, -2);

    machine.platform().clock.Sleep(1000);
    Sampler().ScanProcesses(false, false);
    EXPECT_EQ(machine.QueryLengths(kSystemProcessInformation).size(), 6u);
    EXPECT_EQ(machine.QueryLengths(kSystemProcessInformation).back(), 65536u);
}

TEST_F(SamplerTest, FailedProcessQueryKeepsTheFiguresButClearsTheIds) {
    ScanTwice(1000, 500 * kIdleUnitsPerMs, 0);
    Sampler().ShellProcessId = 12;
    Sampler().InstallerProcessId = 13;

    machine.FailQuery(kSystemProcessInformation, 0xC0000001);
    machine.platform().clock.Sleep(1000);
    Sampler().ScanProcesses(false, false);
    EXPECT_EQ(Sampler().CpuIdleAll, 50);
    EXPECT_EQ(Sampler().ElapsedMs, 1000u);
    EXPECT_EQ(Sampler().ShellProcessId, 0);
    EXPECT_EQ(Sampler().InstallerProcessId, 0);

    // The next good scan measures from the last good one.
    machine.FailQuery(kSystemProcessInformation, platform::kStatusSuccess);
    machine.platform().clock.Sleep(1000);
    machine.SetProcesses({IdleProcess(1500 * kIdleUnitsPerMs)});
    Sampler().ScanProcesses(false, false);
    EXPECT_EQ(Sampler().ElapsedMs, 2000u);
    EXPECT_EQ(Sampler().CpuIdleAll, 50);
}

TEST_F(SamplerTest, EndlessLengthMismatchIsAbandonedAtTheCap) {
    ScanTwice(1000, 300 * kIdleUnitsPerMs, 0);
    const int before = machine.QueryCount(kSystemProcessInformation);

    machine.FailQuery(kSystemProcessInformation, platform::kStatusInfoLengthMismatch);
    machine.platform().clock.Sleep(1000);
    Sampler().ScanProcesses(false, false);

    const int growthSteps = ((64 << 20) - 32768) / 8192;
    EXPECT_EQ(machine.QueryCount(kSystemProcessInformation), before + 1 + growthSteps);
    EXPECT_EQ(Sampler().ProcessBufferSize(), 32768u);
    EXPECT_EQ(Sampler().CpuIdleAll, 30);
}

TEST_F(SamplerTest, ResetSamplerStartsTheCpuFiguresAfresh) {
    ScanTwice(1000, 800 * kIdleUnitsPerMs, 0);
    Sampler().PageFileInUse = 4096;
    Sampler().FullScreen = true;
    Sampler().ShellProcessId = 7;

    Sampler().ResetSampler();
    EXPECT_EQ(Sampler().CpuIdleAll, -1);
    EXPECT_EQ(Sampler().CpuIdleCore1, -1);
    EXPECT_EQ(Sampler().CpuIdleCore4, -1);
    EXPECT_EQ(Sampler().ElapsedMs, 1000u);
    EXPECT_EQ(Sampler().PageFileInUse, 0u);
    EXPECT_FALSE(Sampler().FullScreen);
    EXPECT_EQ(Sampler().ShellProcessId, 7);

    // The first scan after a reset records a starting point, the second a figure.
    machine.platform().clock.Sleep(1000);
    machine.SetProcesses({IdleProcess(1200 * kIdleUnitsPerMs)});
    Sampler().ScanProcesses(false, false);
    EXPECT_EQ(Sampler().CpuIdleAll, -2);
    machine.platform().clock.Sleep(1000);
    machine.SetProcesses({IdleProcess(1300 * kIdleUnitsPerMs)});
    Sampler().ScanProcesses(false, false);
    EXPECT_EQ(Sampler().CpuIdleAll, 10);
}

struct ProcessorCountCase {
    std::uint32_t reported;
    std::uint8_t expected;
};

void PrintTo(const ProcessorCountCase& c, std::ostream* out) {
    *out << c.reported << " reported -> " << int{c.expected};
}

class ProcessorCountTest : public SamplerTest,
                           public ::testing::WithParamInterface<ProcessorCountCase> {};

TEST_P(ProcessorCountTest, ProcessorCountIsTheLowByteAndAtLeastOne) {
    machine.SetProcessorCount(GetParam().reported);
    EXPECT_EQ(Sampler().ProcessorCount, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Counts, ProcessorCountTest,
                         ::testing::Values(ProcessorCountCase{0, 1}, ProcessorCountCase{1, 1},
                                           ProcessorCountCase{8, 8}, ProcessorCountCase{256, 1},
                                           ProcessorCountCase{300, 44}));

}  // namespace
}  // namespace kxp::testing
