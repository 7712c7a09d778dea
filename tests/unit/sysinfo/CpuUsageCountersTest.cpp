#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/SimMachine.h"
#include "platform/sim/SimPerformanceData.h"
#include "sysinfo/CpuUsageCounters.h"

namespace kxp::testing {
namespace {

using platform::RegistryRoot;
using sim::SimPerformanceBlock;
using sim::SimPerformanceObject;

// One second of the block's time stamp, in the 100 ns units of the counters.
constexpr std::int64_t kSecond = 10'000'000;

SimPerformanceBlock Processors(std::vector<std::int64_t> idle, std::uint16_t second = 20) {
    SimPerformanceBlock block;
    block.objects[0].idleCounters = std::move(idle);
    block.systemTime[6] = second;
    return block;
}

class CpuUsageCountersTest : public ::testing::Test {
  protected:
    CpuUsageCountersTest() { counters.StartCounterUnit(); }

    void Serve(const SimPerformanceBlock& block) {
        machine.SetPerformanceData(sim::PerformanceBlockBytes(block));
    }
    // Two readings a second apart.
    void ReadTwice(std::vector<std::int64_t> first, std::vector<std::int64_t> second) {
        Serve(Processors(std::move(first), 20));
        counters.SampleProcessorCounters();
        Serve(Processors(std::move(second), 21));
        counters.SampleProcessorCounters();
    }

    sim::SimMachine machine;
    CpuUsageCounters counters{machine.platform().registry, machine.platform().system};
};

TEST_F(CpuUsageCountersTest, BufferGrowsIn4096ByteStepsUntilTheBlockFits) {
    SimPerformanceBlock block = Processors({0, 0});
    block.objects.insert(block.objects.begin(),
                         SimPerformanceObject{230, {6}, {1}, std::nullopt, 12000});
    const auto bytes = sim::PerformanceBlockBytes(block);
    ASSERT_GT(bytes.size(), 12288u);
    ASSERT_LE(bytes.size(), 16384u);
    machine.SetPerformanceData(bytes);

    EXPECT_EQ(counters.QueryProcessorCount(), 2);
    const std::vector<std::pair<std::string, std::uint32_t>> expected{
        {"238", 8192}, {"238", 12288}, {"238", 16384}};
    EXPECT_EQ(machine.PerformanceDataQueries(), expected);
    EXPECT_EQ(counters.PerfBufferSize(), 16384u);
}

struct BadBlockCase {
    const char* name;
    std::function<std::vector<std::uint8_t>()> bytes;
    std::uint32_t error;
    const char* expected;
};

std::vector<std::uint8_t> Bytes(const SimPerformanceBlock& block) {
    return sim::PerformanceBlockBytes(block);
}

// A block of one object.
std::vector<std::uint8_t> OneObject(std::uint32_t index, std::vector<std::uint32_t> counters,
                                    std::vector<std::int64_t> idle,
                                    std::optional<std::int32_t> declared = std::nullopt) {
    SimPerformanceBlock block;
    block.objects[0] = {index, std::move(counters), std::move(idle), declared, 0};
    return Bytes(block);
}

void PrintTo(const BadBlockCase& c, std::ostream* out) {
    *out << c.name;
}

class BadBlockTest : public CpuUsageCountersTest,
                     public ::testing::WithParamInterface<BadBlockCase> {};

TEST_P(BadBlockTest, ReadingRaisesTheReadersError) {
    machine.SetPerformanceData(GetParam().bytes(), GetParam().error);
    try {
        counters.QueryProcessorCount();
        ADD_FAILURE() << "no error raised";
    } catch (const CounterError& error) {
        EXPECT_STREQ(error.what(), GetParam().expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, BadBlockTest,
    ::testing::Values(BadBlockCase{"EmptyAsUnderWine", [] { return std::vector<std::uint8_t>{}; },
                                   0, texts::kNoProcessorObject},
                      BadBlockCase{"NoObjects",
                                   [] {
                                       SimPerformanceBlock block;
                                       block.objects.clear();
                                       return Bytes(block);
                                   },
                                   0, texts::kNoProcessorObject},
                      BadBlockCase{"ObjectMissing", [] { return OneObject(230, {6}, {1}); }, 0,
                                   texts::kNoProcessorObject},
                      BadBlockCase{"CounterMissing",
                                   [] {
                                       return OneObject(238, {240, 142}, {1});
                                   },
                                   0, texts::kNoProcessorTimeCounter},
                      BadBlockCase{"InstancesBeyondTheBlock",
                                   [] {
                                       return OneObject(238, {6}, {1, 2}, 3);
                                   },
                                   0, texts::kNoProcessorObject},
                      BadBlockCase{"NoInstances", [] { return OneObject(238, {6}, {}, -1); }, 0,
                                   texts::kNoProcessorObject},
                      BadBlockCase{"TimeStampInvalid",
                                   [] {
                                       SimPerformanceBlock block = Processors({1});
                                       block.systemTime[1] = 13;
                                       return Bytes(block);
                                   },
                                   0, texts::kNoProcessorObject},
                      BadBlockCase{"HeaderCutShort",
                                   [] { return std::vector<std::uint8_t>(40, 0); }, 0,
                                   texts::kNoProcessorObject},
                      BadBlockCase{"QueryFailed", [] { return Bytes(Processors({1})); }, 5,
                                   texts::kNoProcessorObject}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CpuUsageCountersTest, InstanceCountIsFixedAtTheFirstReading) {
    ReadTwice({0, 0}, {kSecond / 2, kSecond / 4, 0, 0});
    EXPECT_EQ(counters.QueryProcessorCount(), 2);
    EXPECT_DOUBLE_EQ(counters.QueryProcessorUsage(0), 0.5);
    EXPECT_DOUBLE_EQ(counters.QueryProcessorUsage(1), 0.75);
    EXPECT_EQ(counters.QueryProcessorUsage(2), 0.0);
}

struct UsageCase {
    const char* name;
    std::vector<std::int64_t> first;
    std::vector<std::int64_t> second;
    std::uint16_t secondTime;  // seconds field of the second block; 20 is the first's
    std::int32_t index;
    double expected;
};

class UsageTest : public CpuUsageCountersTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(UsageTest, UsageIsTheBusyShareBetweenTheLastTwoReadings) {
    const UsageCase& c = GetParam();
    Serve(Processors(c.first, 20));
    counters.SampleProcessorCounters();
    Serve(Processors(c.second, c.secondTime));
    counters.SampleProcessorCounters();
    EXPECT_DOUBLE_EQ(counters.QueryProcessorUsage(c.index), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Readings, UsageTest,
    ::testing::Values(UsageCase{"QuarterIdle", {100, 0}, {100 + kSecond / 4, 0}, 21, 0, 0.75},
                      UsageCase{"SecondInstance", {0, 0}, {0, kSecond}, 21, 1, 0.0},
                      UsageCase{"OverTwoSeconds", {0}, {kSecond / 2}, 22, 0, 0.75},
                      UsageCase{"IndexEqualToTheCount", {0, 0}, {0, 0}, 21, 2, 0.0},
                      UsageCase{"NegativeIndex", {0}, {0}, 21, -1, 0.0},
                      UsageCase{"SameTimeStamp", {0}, {kSecond / 2}, 20, 0, 0.0},
                      UsageCase{"AboveOneNotClamped", {kSecond}, {kSecond / 2}, 21, 0, 1.5}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CpuUsageCountersTest, OneReadingGivesNoUsageYet) {
    Serve(Processors({kSecond}));
    EXPECT_EQ(counters.QueryProcessorUsage(0), 0.0);
    EXPECT_EQ(machine.PerformanceDataQueries().size(), 1u);
}

TEST_F(CpuUsageCountersTest, RefusedBlockKeepsTheLastTwoReadings) {
    ReadTwice({0}, {kSecond / 4});
    machine.SetPerformanceData({});
    EXPECT_THROW(counters.SampleProcessorCounters(), CounterError);
    EXPECT_DOUBLE_EQ(counters.QueryProcessorUsage(0), 0.75);
}

TEST(CpuUsageCountersStartTest, FailedVersionQueryIsTheErrorOfEveryLaterCall) {
    sim::SimMachine machine;
    machine.FailVersionQuery(true);
    CpuUsageCounters counters{machine.platform().registry, machine.platform().system};
    for (const auto& call : std::vector<std::function<void()>>{
             [&] { counters.StartCounterUnit(); }, [&] { counters.QueryProcessorCount(); },
             [&] { counters.QueryProcessorUsage(0); }}) {
        try {
            call();
            ADD_FAILURE() << "no error raised";
        } catch (const CounterError& error) {
            EXPECT_STREQ(error.what(), texts::kNoWindowsVersion);
        }
    }
}

// The non-NT family keeps its statistics under HKEY_DYN_DATA.
class NonNtCountersTest : public ::testing::Test {
  protected:
    NonNtCountersTest() {
        machine.SetPlatformId(1);
        counters.StartCounterUnit();
    }
    void Statistics(const char* key, std::uint32_t percent) {
        machine.SetValue(RegistryRoot::DynData, key, "KERNEL\\CPUUsage",
                         {platform::kRegBinary, {static_cast<std::uint8_t>(percent), 0, 0, 0}});
    }
    std::string ErrorOf(const std::function<void()>& call) {
        try {
            call();
        } catch (const CounterError& error) {
            return error.what();
        }
        return "";
    }

    sim::SimMachine machine;
    CpuUsageCounters counters{machine.platform().registry, machine.platform().system};
};

TEST_F(NonNtCountersTest, OneProcessorWhoseUsageIsTheKernelPercentage) {
    EXPECT_EQ(counters.QueryProcessorCount(), 1);
    EXPECT_EQ(ErrorOf([&] { counters.SampleProcessorCounters(); }), texts::kCannotStartMonitoring);
    Statistics("PerfStats\\StartStat", 1);
    EXPECT_EQ(ErrorOf([&] { counters.SampleProcessorCounters(); }),
              texts::kCannotReadPerformanceData);

    Statistics("PerfStats\\StatData", 37);
    EXPECT_DOUBLE_EQ(counters.QueryProcessorUsage(0), 0.37);
    EXPECT_EQ(ErrorOf([&] { counters.QueryProcessorUsage(1); }), texts::kCpuIndexOutOfBounds);
    Statistics("PerfStats\\StatData", 80);
    counters.SampleProcessorCounters();
    EXPECT_DOUBLE_EQ(counters.QueryProcessorUsage(0), 0.8);
    EXPECT_TRUE(machine.PerformanceDataQueries().empty());

    EXPECT_EQ(machine.OpenKeyCount(), 1);  // the statistics key, kept open
    counters.StopCounterUnit();
    EXPECT_EQ(machine.OpenKeyCount(), 0);
}

}  // namespace
}  // namespace kxp::testing
