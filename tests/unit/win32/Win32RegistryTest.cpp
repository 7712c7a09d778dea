#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Registry.h"

namespace kxp::win32 {
namespace {

using platform::RegistryRoot;

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

// Each test works in a key of its own under HKEY_CURRENT_USER, removed afterwards.
class Win32RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = "Software\\KorvanelXPTest\\" + std::to_string(::GetCurrentProcessId()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
    }
    void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str()); }

    platform::Handle Create() {
        return registry_.OpenKey(RegistryRoot::CurrentUser, path_, true, true);
    }

    Win32Registry registry_;
    std::string path_;
};

TEST_F(Win32RegistryTest, OpenKey_MissingKeyWithoutCreateGivesZero) {
    EXPECT_EQ(registry_.OpenKey(RegistryRoot::CurrentUser, path_, false, false), 0u);
    EXPECT_EQ(registry_.OpenKey(RegistryRoot::CurrentUser, path_, true, false), 0u);
}

TEST_F(Win32RegistryTest, OpenKey_CreateMakesAKeyThatOpensAfterwards) {
    const platform::Handle created = Create();
    ASSERT_NE(created, 0u);
    registry_.CloseKey(created);

    const platform::Handle opened =
        registry_.OpenKey(RegistryRoot::CurrentUser, path_, false, false);
    EXPECT_NE(opened, 0u);
    registry_.CloseKey(opened);
}

TEST_F(Win32RegistryTest, OpenKey_IgnoresOneLeadingBackslash) {
    const platform::Handle created =
        registry_.OpenKey(RegistryRoot::CurrentUser, "\\" + path_, true, true);
    ASSERT_NE(created, 0u);
    registry_.CloseKey(created);

    HKEY key = nullptr;
    EXPECT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    UniqueRegistryKey direct(key);
}

struct RootCase {
    RegistryRoot root;
    const char* path;
};

void PrintTo(const RootCase& root, std::ostream* out) {
    *out << "root " << static_cast<int>(root.root) << " " << root.path;
}

class Win32RegistryRootTest : public ::testing::TestWithParam<RootCase> {};

TEST_P(Win32RegistryRootTest, OpenKey_ReadsAnExistingKeyUnderEachRoot) {
    Win32Registry registry;
    const platform::Handle key = registry.OpenKey(GetParam().root, GetParam().path, false, false);
    EXPECT_NE(key, 0u);
    if (key != 0) registry.CloseKey(key);
}

INSTANTIATE_TEST_SUITE_P(Roots, Win32RegistryRootTest,
                         ::testing::Values(RootCase{RegistryRoot::LocalMachine, "\\Software"},
                                           RootCase{RegistryRoot::Users, ".DEFAULT"},
                                           RootCase{RegistryRoot::CurrentUser, "\\Software"}));

struct ValueCase {
    const char* name;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
};

void PrintTo(const ValueCase& value, std::ostream* out) {
    *out << "type " << value.type << ", " << value.data.size() << " bytes";
}

class Win32RegistryValueTest : public Win32RegistryTest,
                               public ::testing::WithParamInterface<ValueCase> {};

TEST_P(Win32RegistryValueTest, SetValue_ReadsBackWithItsTypeAndBytes) {
    const platform::Handle key = Create();
    ASSERT_NE(key, 0u);
    const ValueCase& value = GetParam();
    EXPECT_TRUE(registry_.SetValue(key, value.name, value.type, value.data));

    std::uint32_t type = platform::kRegNone;
    std::vector<std::uint8_t> data{0xEE};
    EXPECT_TRUE(registry_.QueryValue(key, value.name, type, data));
    EXPECT_EQ(type, value.type);
    EXPECT_EQ(data, value.data);
    registry_.CloseKey(key);
}

INSTANTIATE_TEST_SUITE_P(
    Types, Win32RegistryValueTest,
    ::testing::Values(ValueCase{"Text", platform::kRegSz, Bytes(std::string("explorer.exe", 13))},
                      ValueCase{"Path", platform::kRegExpandSz, Bytes(std::string("%x%\\a", 6))},
                      ValueCase{"Number", platform::kRegDword, {0x2A, 0, 0, 1}},
                      ValueCase{"Empty", platform::kRegBinary, {}},
                      ValueCase{"Large", platform::kRegBinary,
                                std::vector<std::uint8_t>(100000, 0x5A)},
                      ValueCase{"", platform::kRegSz, Bytes(std::string("default", 8))}));

TEST_F(Win32RegistryTest, QueryValue_MissingValueIsFalseAndLeavesTheOutputs) {
    const platform::Handle key = Create();
    ASSERT_NE(key, 0u);
    std::uint32_t type = platform::kRegBinary;
    std::vector<std::uint8_t> data{1, 2};
    EXPECT_FALSE(registry_.QueryValue(key, "Missing", type, data));
    EXPECT_EQ(type, platform::kRegBinary);
    EXPECT_EQ(data, (std::vector<std::uint8_t>{1, 2}));
    registry_.CloseKey(key);
}

TEST_F(Win32RegistryTest, DeleteValue_RemovesTheValueOnce) {
    const platform::Handle key = Create();
    ASSERT_NE(key, 0u);
    ASSERT_TRUE(registry_.SetValue(key, "Gone", platform::kRegDword, {1, 0, 0, 0}));

    EXPECT_TRUE(registry_.DeleteValue(key, "Gone"));
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    EXPECT_FALSE(registry_.QueryValue(key, "Gone", type, data));
    EXPECT_FALSE(registry_.DeleteValue(key, "Gone"));
    registry_.CloseKey(key);
}

TEST_F(Win32RegistryTest, SetValue_ThroughAKeyOpenedForReadingFails) {
    registry_.CloseKey(Create());
    const platform::Handle key = registry_.OpenKey(RegistryRoot::CurrentUser, path_, false, false);
    ASSERT_NE(key, 0u);
    EXPECT_FALSE(registry_.SetValue(key, "Denied", platform::kRegDword, {1, 0, 0, 0}));
    registry_.CloseKey(key);
}

}  // namespace
}  // namespace kxp::win32
