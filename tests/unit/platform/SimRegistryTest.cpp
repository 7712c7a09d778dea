#include <gtest/gtest.h>

#include "platform/sim/SimMachine.h"

namespace kxp::sim {
namespace {

using platform::RegistryRoot;

class SimRegistryTest : public ::testing::Test {
  protected:
    platform::Registry& registry() { return machine.platform().registry; }
    SimMachine machine;
};

TEST_F(SimRegistryTest, ReadingAMissingKeyFailsAndCreatingMakesIt) {
    EXPECT_EQ(registry().OpenKey(RegistryRoot::LocalMachine, "Software\\Test", false, false), 0u);
    EXPECT_EQ(registry().OpenKey(RegistryRoot::LocalMachine, "Software\\Test", true, false), 0u);
    EXPECT_FALSE(machine.KeyExists(RegistryRoot::LocalMachine, "Software\\Test"));

    const auto key = registry().OpenKey(RegistryRoot::LocalMachine, "Software\\Test", true, true);
    EXPECT_NE(key, 0u);
    EXPECT_TRUE(machine.KeyExists(RegistryRoot::LocalMachine, "Software\\Test"));
    EXPECT_TRUE(machine.KeyExists(RegistryRoot::LocalMachine, "Software"));
    EXPECT_FALSE(machine.KeyExists(RegistryRoot::Users, "Software\\Test"));
    registry().CloseKey(key);
}

TEST_F(SimRegistryTest, PathsIgnoreCaseAndALeadingBackslash) {
    machine.SetDword(RegistryRoot::LocalMachine, "\\SOFTWARE\\KorvanelXP", "Refresh", 5);
    const auto key =
        registry().OpenKey(RegistryRoot::LocalMachine, "software\\korvanelxp", false, false);
    ASSERT_NE(key, 0u);
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    EXPECT_TRUE(registry().QueryValue(key, "REFRESH", type, data));
    EXPECT_EQ(type, platform::kRegDword);
    EXPECT_EQ(data, (std::vector<std::uint8_t>{5, 0, 0, 0}));
    registry().CloseKey(key);
}

TEST_F(SimRegistryTest, ValuesKeepTheirTypeAndBytes) {
    const auto key = registry().OpenKey(RegistryRoot::Users, "S-1-5-21\\Software", true, true);
    ASSERT_TRUE(registry().SetValue(key, "Blob", platform::kRegBinary, {1, 2, 3}));
    ASSERT_TRUE(registry().SetValue(key, "Text", platform::kRegExpandSz, {'a', 0}));

    const auto blob = machine.GetValue(RegistryRoot::Users, "s-1-5-21\\software", "blob");
    ASSERT_TRUE(blob.has_value());
    EXPECT_EQ(blob->type, platform::kRegBinary);
    EXPECT_EQ(blob->data, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(machine.GetValue(RegistryRoot::Users, "S-1-5-21\\Software", "Text")->type,
              platform::kRegExpandSz);
    EXPECT_FALSE(machine.GetValue(RegistryRoot::Users, "S-1-5-21\\Software", "None").has_value());
    registry().CloseKey(key);
}

TEST_F(SimRegistryTest, ReadOnlyKeyRefusesWritesAndDeletes) {
    machine.SetString(RegistryRoot::LocalMachine, "Software\\A", "Name", "value");
    const auto key = registry().OpenKey(RegistryRoot::LocalMachine, "Software\\A", false, false);
    EXPECT_FALSE(registry().SetValue(key, "Name", platform::kRegSz, {'x', 0}));
    EXPECT_FALSE(registry().DeleteValue(key, "Name"));
    EXPECT_TRUE(machine.GetValue(RegistryRoot::LocalMachine, "Software\\A", "Name").has_value());
    registry().CloseKey(key);
}

TEST_F(SimRegistryTest, DeleteValueRemovesOnlyAnExistingValue) {
    machine.SetDword(RegistryRoot::LocalMachine, "Software\\A", "Gone", 1);
    const auto key = registry().OpenKey(RegistryRoot::LocalMachine, "Software\\A", true, false);
    EXPECT_TRUE(registry().DeleteValue(key, "gone"));
    EXPECT_FALSE(registry().DeleteValue(key, "gone"));
    EXPECT_FALSE(machine.GetValue(RegistryRoot::LocalMachine, "Software\\A", "Gone").has_value());
    registry().CloseKey(key);
}

TEST_F(SimRegistryTest, HandlesAreDistinctAndCountedUntilClosed) {
    machine.CreateKey(RegistryRoot::LocalMachine, "Software\\A");
    const auto first = registry().OpenKey(RegistryRoot::LocalMachine, "Software\\A", false, false);
    const auto second = registry().OpenKey(RegistryRoot::LocalMachine, "Software\\A", false, false);
    EXPECT_NE(first, second);
    EXPECT_EQ(machine.OpenKeyCount(), 2);

    registry().CloseKey(first);
    EXPECT_EQ(machine.OpenKeyCount(), 1);
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    machine.SetDword(RegistryRoot::LocalMachine, "Software\\A", "V", 1);
    EXPECT_FALSE(registry().QueryValue(first, "V", type, data));
    EXPECT_TRUE(registry().QueryValue(second, "V", type, data));
    registry().CloseKey(second);
    EXPECT_EQ(machine.OpenKeyCount(), 0);
}

TEST_F(SimRegistryTest, SetStringStoresTheTerminator) {
    machine.SetString(RegistryRoot::LocalMachine, "K", "S", "ab");
    const auto value = machine.GetValue(RegistryRoot::LocalMachine, "K", "S");
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->type, platform::kRegSz);
    EXPECT_EQ(value->data, (std::vector<std::uint8_t>{'a', 'b', 0}));
}

}  // namespace
}  // namespace kxp::sim
