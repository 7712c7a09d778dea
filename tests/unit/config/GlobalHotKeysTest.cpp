// The hot-key component on the simulated machine: the key-number table, the modifier set, the
// active switch, refused combinations and the presses that reach its handler.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "ServiceFixture.h"
#include "config/TGlobalHotKeys.h"

namespace kxp::test {
namespace {

struct KeyCase {
    std::uint32_t number;
    std::uint8_t code;
};

class HotKeyTableTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(HotKeyTableTest, KeyNumberSelectsItsVirtualKeyCode) {
    EXPECT_EQ(HotKeyCode(GetParam().number), GetParam().code);
}

// The first and last key of every row, Home and End in their order, and numbers beyond the table.
INSTANTIATE_TEST_SUITE_P(
    Rows, HotKeyTableTest,
    ::testing::Values(KeyCase{0, 0x08}, KeyCase{1, 0x09}, KeyCase{2, 0x0D}, KeyCase{3, 0x13},
                      KeyCase{4, 0x14}, KeyCase{5, 0x1B}, KeyCase{6, 0x20}, KeyCase{7, 0x21},
                      KeyCase{8, 0x22}, KeyCase{9, 0x24}, KeyCase{10, 0x23}, KeyCase{11, 0x25},
                      KeyCase{14, 0x28}, KeyCase{15, 0x2C}, KeyCase{17, 0x2E}, KeyCase{18, 0x30},
                      KeyCase{27, 0x39}, KeyCase{28, 0x41}, KeyCase{45, 0x52}, KeyCase{53, 0x5A},
                      KeyCase{54, 0x60}, KeyCase{63, 0x69}, KeyCase{64, 0x6A}, KeyCase{65, 0x6B},
                      KeyCase{66, 0x6D}, KeyCase{67, 0x6E}, KeyCase{68, 0x6F}, KeyCase{69, 0x70},
                      KeyCase{92, 0x87}, KeyCase{93, 0x90}, KeyCase{94, 0x91}, KeyCase{95, 0},
                      KeyCase{255, 0}, KeyCase{301, 0}, KeyCase{65535, 0}),
    [](const auto& info) { return "Key" + std::to_string(info.param.number); });

std::vector<std::pair<std::int32_t, std::uint32_t>> IdsAndModifiers(
    const std::vector<sim::SimHotKey>& hotKeys) {
    std::vector<std::pair<std::int32_t, std::uint32_t>> found;
    for (const auto& hotKey : hotKeys) found.emplace_back(hotKey.id, hotKey.modifiers);
    return found;
}

struct ModifierCase {
    std::uint8_t set;
    std::uint32_t system;
};

class HotKeyModifierTest : public ServiceTest,
                           public ::testing::WithParamInterface<ModifierCase> {};

TEST_P(HotKeyModifierTest, ModifierSetBecomesTheSystemModifiers) {
    TGlobalHotKeys keys(Platform().windows);
    keys.SetActive(true);
    keys.Add(45, GetParam().set);
    EXPECT_EQ(IdsAndModifiers(sim.HotKeys()),
              (std::vector<std::pair<std::int32_t, std::uint32_t>>{{0, GetParam().system}}));
}

INSTANTIATE_TEST_SUITE_P(Sets, HotKeyModifierTest,
                         ::testing::Values(ModifierCase{kHotKeyShift, platform::kModShift},
                                           ModifierCase{kHotKeyCtrl, platform::kModControl},
                                           ModifierCase{kHotKeyAlt, platform::kModAlt},
                                           ModifierCase{kHotKeyWin, platform::kModWin},
                                           ModifierCase{kHotKeyCtrl | kHotKeyAlt, 3},
                                           ModifierCase{0x0F, 0x0F}, ModifierCase{0, 0}));

TEST_F(ServiceTest, InactiveComponentRegistersOnlyWhenSwitchedOn) {
    TGlobalHotKeys keys(Platform().windows);
    keys.Add(45, kHotKeyCtrl | kHotKeyAlt);
    keys.Add(10, kHotKeyCtrl | kHotKeyAlt);
    EXPECT_TRUE(sim.HotKeys().empty());

    keys.SetActive(true);
    const auto registered = sim.HotKeys();
    ASSERT_EQ(registered.size(), 2u);
    EXPECT_EQ(registered[0].id, 0);
    EXPECT_EQ(registered[0].keyCode, 0x52u);
    EXPECT_EQ(registered[1].id, 1);
    EXPECT_EQ(registered[1].keyCode, 0x23u);
    EXPECT_EQ(registered[0].window, registered[1].window);

    keys.SetActive(true);  // no second registration of the same entries
    EXPECT_EQ(sim.HotKeys().size(), 2u);
    keys.SetActive(false);
    EXPECT_TRUE(sim.HotKeys().empty());
    EXPECT_EQ(keys.Entries().size(), 2u);
    EXPECT_EQ(keys.Entries()[0].Registered, 0);
}

TEST_F(ServiceTest, RefusedCombinationLeavesTheOtherEntryRegistered) {
    sim.TakeHotKey(platform::kModControl | platform::kModAlt, 0x52);
    {
        TGlobalHotKeys keys(Platform().windows);
        keys.SetActive(true);
        keys.Add(45, kHotKeyCtrl | kHotKeyAlt);
        keys.Add(45, kHotKeyCtrl | kHotKeyAlt | kHotKeyShift);
        ASSERT_EQ(keys.Entries().size(), 2u);
        EXPECT_EQ(keys.Entries()[0].Registered, 0);
        EXPECT_EQ(keys.Entries()[1].Registered, 1);
        EXPECT_EQ(sim.HotKeys().size(), 2u);  // the other program's and entry 1
    }
    // Destroyed: only what it held is given back.
    const auto left = sim.HotKeys();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].window, 0u);
}

TEST_F(ServiceTest, PressReachesTheHandlerWithTheEntrysId) {
    TGlobalHotKeys keys(Platform().windows);
    std::vector<int> pressed;
    keys.SetOnHotKey([&](TGlobalHotKeys& sender, int index) {
        EXPECT_EQ(&sender, &keys);
        pressed.push_back(index);
    });
    keys.SetActive(true);
    keys.Add(45, kHotKeyCtrl | kHotKeyAlt);
    keys.Add(10, kHotKeyCtrl | kHotKeyAlt);
    EXPECT_TRUE(sim.PressHotKey(platform::kModControl | platform::kModAlt, 0x23));
    EXPECT_TRUE(sim.PressHotKey(platform::kModControl | platform::kModAlt, 0x52));
    EXPECT_FALSE(sim.PressHotKey(platform::kModControl, 0x52));
    Platform().windows.PumpThreadMessages();
    EXPECT_EQ(pressed, (std::vector<int>{1, 0}));
}

TEST_F(ServiceTest, HotKeyMessageWithAnUnknownIdIsIgnored) {
    TGlobalHotKeys keys(Platform().windows);
    int pressed = 0;
    keys.SetOnHotKey([&](TGlobalHotKeys&, int) { ++pressed; });
    keys.Add(10, kHotKeyCtrl | kHotKeyAlt);  // inactive: not registered
    keys.SetActive(true);
    keys.SetActive(false);
    const platform::Handle window = keys.Window().Window();
    for (std::uintptr_t id : {0u, 1u, 7u, 0xFFFFu}) {
        EXPECT_TRUE(Platform().windows.PostMessageA(window, platform::kWmHotKey, id, 0));
    }
    Platform().windows.PumpThreadMessages();
    EXPECT_EQ(pressed, 0);
}

TEST_F(ServiceTest, ClearUnregistersAndDropsTheEntries) {
    TGlobalHotKeys keys(Platform().windows);
    keys.SetActive(true);
    keys.Add(9, kHotKeyAlt);
    keys.Add(65535, kHotKeyAlt);
    const auto registered = sim.HotKeys();
    ASSERT_EQ(registered.size(), 2u);
    EXPECT_EQ(registered[0].keyCode, 0x24u);
    EXPECT_EQ(registered[1].keyCode, 0u);
    keys.Clear();
    EXPECT_TRUE(keys.Entries().empty());
    EXPECT_TRUE(sim.HotKeys().empty());
    EXPECT_TRUE(keys.Active());  // a later entry registers at once
    keys.Add(10, kHotKeyAlt);
    EXPECT_EQ(sim.HotKeys().size(), 1u);
}

}  // namespace
}  // namespace kxp::test
