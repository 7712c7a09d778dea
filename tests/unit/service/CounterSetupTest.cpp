#include <array>
#include <string>
#include <vector>

#include "ServiceFixture.h"
#include "platform/sim/SimPerformanceData.h"

namespace kxp::test {
namespace {

using platform::RegistryRoot;

constexpr const char* kDisableValue = "Disable Performance Counters";
constexpr std::array<const char*, 4> kCounterKeys = {
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib",
    "SYSTEM\\CurrentControlSet\\Services\\PerfOS\\Performance",
    "SYSTEM\\CurrentControlSet\\Services\\PerfProc\\Performance",
    "SYSTEM\\CurrentControlSet\\Services\\PerfDisk\\Performance",
};

// A "Processor" object of two instances, read at the given second.
std::vector<std::uint8_t> TwoProcessors(std::int64_t idle0, std::int64_t idle1,
                                        std::uint16_t second) {
    sim::SimPerformanceBlock block;
    block.objects[0].idleCounters = {idle0, idle1};
    block.systemTime[6] = second;
    return sim::PerformanceBlockBytes(block);
}

struct EnableCase {
    const char* name;
    std::vector<int> keysPresent;  // 0-based indices into kCounterKeys
    std::vector<int> valuesPresent;
    std::optional<std::uint32_t> noCounters;
    std::vector<int> valuesLeft;
    std::vector<std::string> expectedTraces;
};

class EnableCountersTest : public ServiceTest, public ::testing::WithParamInterface<EnableCase> {};

TEST_P(EnableCountersTest, DisableSwitchesAreRemovedFromTheKeysThatExist) {
    const EnableCase& c = GetParam();
    for (int key : c.keysPresent) sim.CreateKey(RegistryRoot::LocalMachine, kCounterKeys[key]);
    for (int key : c.valuesPresent) {
        sim.SetDword(RegistryRoot::LocalMachine, kCounterKeys[key], kDisableValue, 1);
    }
    if (c.noCounters) {
        sim.SetDword(RegistryRoot::LocalMachine, "Software\\KorvanelXP", "NoCounters",
                     *c.noCounters);
    }
    QuitAfterPass(1);
    Run();

    for (int key = 0; key < 4; ++key) {
        const bool present =
            std::find(c.keysPresent.begin(), c.keysPresent.end(), key) != c.keysPresent.end();
        EXPECT_EQ(sim.KeyExists(RegistryRoot::LocalMachine, kCounterKeys[key]), present) << key;
        const bool left =
            std::find(c.valuesLeft.begin(), c.valuesLeft.end(), key) != c.valuesLeft.end();
        EXPECT_EQ(
            sim.GetValue(RegistryRoot::LocalMachine, kCounterKeys[key], kDisableValue).has_value(),
            left)
            << key;
    }
    const auto traces = Traces();
    auto from = std::find(traces.begin(), traces.end(), "!!!!!!!!!!!!!!!EnableCounters");
    ASSERT_NE(from, traces.end());
    std::vector<std::string> step;
    for (auto at = from; at != traces.end(); ++at) {
        step.push_back(*at);
        if (*at == "+EnableCounters !!!!!!!!!!!!!!" || *at == "NoCounters") break;
    }
    EXPECT_EQ(step, c.expectedTraces);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, EnableCountersTest,
    ::testing::Values(
        EnableCase{"AllKeysWithTheSwitch",
                   {0, 1, 2, 3},
                   {0, 1, 2, 3},
                   std::nullopt,
                   {},
                   {"!!!!!!!!!!!!!!!EnableCounters", "key1 opened", "value written", "key2 opened",
                    "value written", "key3 opened", "value written", "key4 opened", "value written",
                    "+EnableCounters !!!!!!!!!!!!!!"}},
        EnableCase{"MissingKeysAreNotCreatedAndKeysWithoutTheValueKeptAsTheyAre",
                   {1, 3},
                   {3},
                   0,
                   {},
                   {"!!!!!!!!!!!!!!!EnableCounters", "key2 opened", "value written", "key4 opened",
                    "value written", "+EnableCounters !!!!!!!!!!!!!!"}},
        EnableCase{"NoCountersTouchesNothing",
                   {0, 1, 2, 3},
                   {0, 2},
                   1,
                   {0, 2},
                   {"!!!!!!!!!!!!!!!EnableCounters", "NoCounters"}},
        EnableCase{"WrongTypedNoCountersCountsAsFalse",
                   {0},
                   {0},
                   std::nullopt,
                   {},
                   {"!!!!!!!!!!!!!!!EnableCounters", "key1 opened", "value written",
                    "+EnableCounters !!!!!!!!!!!!!!"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ServiceTest, UnreadableCountersAtStartSwitchToTheNativeTimes) {
    QuitAfterPass(1);
    Run();
    EXPECT_TRUE(Traced("###### error2: Unable to locate the \"Processor\" performance object"));
    EXPECT_FALSE(service.PerCoreSampling);
}

TEST_F(ServiceTest, ReadableCountersKeepPerCoreSamplingAndGiveTheCores) {
    sim.SetProcessorCount(2);
    // A shell that stays the same: one scan per pass, so each pass takes one reading.
    sim.SetProcesses({{0, std::nullopt, 0, 0}, {100, u"explorer.exe", 0, 0}});
    sim.SetPerformanceData(TwoProcessors(0, 0, 20));
    sim.At(DuringPass(2),
           [&] { sim.SetPerformanceData(TwoProcessors(2'500'000, 10'000'000, 21)); });
    std::array<std::int32_t, 2> cores{};
    sim.At(DuringPass(3), [&] {
        cores = {service.SystemData->CpuIdleCore1, service.SystemData->CpuIdleCore2};
    });
    QuitAfterPass(3);
    Run();
    EXPECT_TRUE(service.PerCoreSampling);
    EXPECT_EQ(cores, (std::array<std::int32_t, 2>{25, 100}));
}

TEST_F(ServiceTest, CountersFailingLaterSwitchToTheNativeTimesAndTheServiceGoesOn) {
    sim.SetPerformanceData(TwoProcessors(0, 0, 20));
    sim.At(DuringPass(2), [&] { sim.SetPerformanceData({}); });
    QuitAfterPass(4);
    Run();
    EXPECT_EQ(Passes(), 4);
    EXPECT_FALSE(service.PerCoreSampling);
    EXPECT_EQ(TraceCount("###### error2: Unable to locate the \"Processor\" performance object"),
              1);
    EXPECT_TRUE(sim.EventLog().empty());
}

}  // namespace
}  // namespace kxp::test
