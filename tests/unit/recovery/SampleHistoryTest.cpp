// The three histories the service keeps, as the auto-recovery and the graphs find them.
#include <gtest/gtest.h>

#include <array>

#include "ServiceFixture.h"

namespace kxp::test {
namespace {

TEST_F(ServiceTest, GraphHistoriesStartAt15AndTheCpuHistoryAt0) {
    std::uint32_t graph1 = 0, graph2 = 0, cpu = 99;
    bool cpuBusyAtStart = true;
    AtSessionCheck(0, [&] {
        graph1 = service.IconDrawState(1).History->InitialValue;
        graph2 = service.IconDrawState(2).History->InitialValue;
        cpu = service.CpuBusyHistory->InitialValue;
        cpuBusyAtStart = service.CpuBusyHistory->AnyAbove(0);
    });
    RunPasses(1);
    EXPECT_EQ(graph1, 15u);
    EXPECT_EQ(graph2, 15u);
    EXPECT_EQ(cpu, 0u);
    EXPECT_FALSE(cpuBusyAtStart);  // no postponement before the first figures come in
}

TEST_F(ServiceTest, CpuHistoryKeepsItsSamplesAcrossARecovery) {
    SetMemory(8, 3);
    sim.SetHeapLimit(64 * kMiB);
    SetOption("Recover", 0);
    LogOn();
    service.onSessionCheck = [this](int) { service.SystemData->CpuIdleAll = 40; };
    ControlAt(2, RECOVER);
    std::array<std::uint16_t, 16> slots{};
    AtSessionCheck(4, [&] { slots = service.CpuBusyHistory->Slots; });
    RunPasses(4);
    ASSERT_EQ(PassesOf(kRecoveryBanner), std::vector<int>{3});
    EXPECT_EQ(slots[12], 0);
    EXPECT_EQ(slots[13], 60);
    EXPECT_EQ(slots[14], 60);
    EXPECT_EQ(slots[15], 60);
}

}  // namespace
}  // namespace kxp::test
