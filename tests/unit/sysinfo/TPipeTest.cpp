#include <gtest/gtest.h>

#include "sysinfo/TPipe.h"

namespace kxp {
namespace {

TEST(TPipe, NewPipeHoldsTheInitialValueInEverySlot) {
    TPipe pipe(15);
    EXPECT_EQ(pipe.InitialValue, 15u);
    for (auto slot : pipe.Slots) EXPECT_EQ(slot, 15);
}

TEST(TPipe, AnyAboveIsStrict) {
    TPipe pipe(15);
    EXPECT_TRUE(pipe.AnyAbove(14));
    EXPECT_FALSE(pipe.AnyAbove(15));
}

TEST(TPipe, PushAppendsNewestAtTheEndAndDropsTheOldest) {
    TPipe pipe(0);
    for (std::uint16_t value = 1; value <= 16; ++value) pipe.Push(value);
    for (std::size_t i = 0; i < 16; ++i) EXPECT_EQ(pipe.Slots[i], i + 1);

    pipe.Push(17);
    EXPECT_EQ(pipe.Slots.front(), 2);
    EXPECT_EQ(pipe.Slots.back(), 17);
}

TEST(TPipe, SixteenPushesLeaveNoInitialValue) {
    TPipe pipe(15);
    for (int i = 0; i < 15; ++i) pipe.Push(3);
    EXPECT_EQ(pipe.Slots.front(), 15);
    pipe.Push(3);
    EXPECT_FALSE(pipe.AnyAbove(3));
}

TEST(TPipe, AnyAboveComparesUnsigned) {
    TPipe pipe(0);
    pipe.Push(static_cast<std::uint16_t>(-1));
    EXPECT_TRUE(pipe.AnyAbove(30));
    EXPECT_FALSE(pipe.AnyAbove(0xFFFF));
}

TEST(TPipe, ResetRefillsEverySlotWithTheInitialValue) {
    TPipe pipe(15);
    for (int i = 0; i < 20; ++i) pipe.Push(static_cast<std::uint16_t>(i));
    pipe.Reset();
    for (auto slot : pipe.Slots) EXPECT_EQ(slot, 15);
}

}  // namespace
}  // namespace kxp
