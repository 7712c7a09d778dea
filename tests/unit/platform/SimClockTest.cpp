#include <gtest/gtest.h>

#include <vector>

#include "platform/sim/SimMachine.h"

namespace kxp::sim {
namespace {

TEST(SimClock, SleepAdvancesVirtualTime) {
    SimMachine machine;
    platform::Clock& clock = machine.platform().clock;
    EXPECT_EQ(clock.GetTickCount(), 0u);
    clock.Sleep(1000);
    clock.Sleep(250);
    EXPECT_EQ(clock.GetTickCount(), 1250u);
    EXPECT_EQ(machine.Now(), 1250u);
    EXPECT_EQ(machine.TotalSleptMs(), 1250u);
}

TEST(SimClock, TickCountWrapsAt32Bits) {
    SimMachine machine;
    machine.SetNow(0xFFFFFFF0);
    machine.platform().clock.Sleep(0x20);
    EXPECT_EQ(machine.platform().clock.GetTickCount(), 0x10u);
}

TEST(SimClock, ActionsRunInTickOrderAtTheirTick) {
    SimMachine machine;
    std::vector<std::pair<int, std::uint32_t>> runs;
    auto record = [&](int id) { return [&, id] { runs.emplace_back(id, machine.Now()); }; };
    machine.At(300, record(3));
    machine.At(100, record(1));
    machine.At(200, record(2));
    machine.At(200, record(22));  // same tick: in the order scheduled
    machine.At(1001, record(4));

    machine.platform().clock.Sleep(1000);
    EXPECT_EQ(runs, (std::vector<std::pair<int, std::uint32_t>>{
                        {1, 100}, {2, 200}, {22, 200}, {3, 300}}));
    EXPECT_EQ(machine.Now(), 1000u);

    machine.platform().clock.Sleep(1);
    EXPECT_EQ(runs.size(), 5u);
}

TEST(SimClock, ActionsMayCallBackAndScheduleMore) {
    SimMachine machine;
    std::vector<std::uint32_t> ticks;
    machine.At(100, [&] {
        ticks.push_back(machine.platform().clock.GetTickCount());
        machine.At(150, [&] { ticks.push_back(machine.Now()); });
        machine.SetProcessorCount(3);
    });
    machine.platform().clock.Sleep(200);
    EXPECT_EQ(ticks, (std::vector<std::uint32_t>{100, 150}));
    EXPECT_EQ(machine.platform().system.NumberOfProcessors(), 3u);
}

TEST(SimClock, PassedTickRunsAtTheNextSleep) {
    SimMachine machine;
    machine.SetNow(5000);
    bool ran = false;
    machine.At(4000, [&] { ran = true; });
    EXPECT_FALSE(ran);
    machine.platform().clock.Sleep(0);
    EXPECT_TRUE(ran);
    EXPECT_EQ(machine.Now(), 5000u);
}

TEST(SimClock, ActionsAcrossTheWrapRunInOrder) {
    SimMachine machine;
    machine.SetNow(0xFFFFFF00);
    std::vector<int> order;
    machine.At(0x10, [&] { order.push_back(2); });
    machine.At(0xFFFFFFF0, [&] { order.push_back(1); });
    machine.platform().clock.Sleep(0x200);
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

}  // namespace
}  // namespace kxp::sim
