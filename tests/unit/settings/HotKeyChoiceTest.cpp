#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "config/TGlobalHotKeys.h"
#include "settings/HotKeyChoice.h"

namespace kxp::settings {
namespace {

TEST(HotKeyChoiceTest, EveryKeyNumberComesBackFromItsCode) {
    for (std::uint16_t number = 0; number < kHotKeyCount; ++number) {
        EXPECT_EQ(KeyNumberOf(HotKeyCode(number)), number) << "key number " << number;
    }
}

struct StoreCase {
    const char* what;
    int hotKey;
    HotKeyChoice choice;
    bool stored;
    std::uint16_t keyNumber;  // expected stored key number
    bool enabled;
};

class StoreHotKeyTest : public ::testing::TestWithParam<StoreCase> {};

TEST_P(StoreHotKeyTest, StoresKeyNumberAndSwitches) {
    const StoreCase& c = GetParam();
    TConfig config;  // hot key 1: R (45), off; hot key 2: End (10), on
    const TConfig before = config;
    ASSERT_EQ(StoreHotKeyChoice(config, c.hotKey, c.choice), c.stored);
    const HotKeyChoice after = HotKeyChoiceOf(config, c.hotKey);
    EXPECT_EQ(c.hotKey == 1 ? config.HotKey1 : config.HotKey2, c.keyNumber);
    EXPECT_EQ(after.enabled, c.enabled);
    if (c.stored && c.choice.virtualKey != 0) {
        EXPECT_EQ(after.ctrl, c.choice.ctrl);
        EXPECT_EQ(after.alt, c.choice.alt);
        EXPECT_EQ(after.shift, c.choice.shift);
    }
    // The other hot key is never touched.
    const int other = c.hotKey == 1 ? 2 : 1;
    EXPECT_EQ(HotKeyChoiceOf(config, other).virtualKey, HotKeyChoiceOf(before, other).virtualKey);
    EXPECT_EQ(HotKeyChoiceOf(config, other).enabled, HotKeyChoiceOf(before, other).enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, StoreHotKeyTest,
    ::testing::Values(
        StoreCase{"Ctrl+Shift+F5 as hot key 1", 1, {true, 0x74, true, false, true}, true, 73, true},
        StoreCase{"Alt+Home as hot key 2", 2, {true, 0x24, false, true, false}, true, 9, true},
        StoreCase{"End as hot key 2", 2, {true, 0x23, true, true, false}, true, 10, true},
        StoreCase{"a key outside the table", 1, {true, 0xBA, true, true, false}, false, 45, false},
        StoreCase{"no key but switched on", 2, {true, 0, true, true, false}, false, 10, true},
        StoreCase{
            "switched off without a key", 2, {false, 0, false, false, false}, true, 10, false}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        }
        return name;
    });

}  // namespace
}  // namespace kxp::settings
