#include <gtest/gtest.h>

#include "platform/RegistryKey.h"
#include "platform/sim/SimMachine.h"

namespace kxp {
namespace {

using platform::RegistryRoot;

constexpr const char* kPath = "\\Software\\KorvanelXP";

class RegistryKeyTest : public ::testing::Test {
  protected:
    RegistryKey OpenRead() {
        return RegistryKey::OpenRead(registry(), RegistryRoot::LocalMachine, kPath);
    }
    platform::Registry& registry() { return machine.platform().registry; }
    sim::SimMachine machine;
};

TEST_F(RegistryKeyTest, ReadsAnIntegerOfTheRightType) {
    machine.SetDword(RegistryRoot::LocalMachine, kPath, "Refresh", 0xFFFFFFFF);
    RegistryKey key = OpenRead();
    ASSERT_TRUE(key.IsOpen());
    EXPECT_EQ(key.ReadInteger("Refresh"), -1);
    EXPECT_TRUE(key.ReadBool("Refresh"));
}

struct WrongTypeCase {
    const char* what;
    sim::SimRegistryValue value;
    bool asInteger;  // else read as a string
};

void PrintTo(const WrongTypeCase& c, std::ostream* out) {
    *out << c.what;
}

class RegistryKeyWrongTypeTest : public RegistryKeyTest,
                                 public ::testing::WithParamInterface<WrongTypeCase> {};

TEST_P(RegistryKeyWrongTypeTest, ThrowsRegistryError) {
    machine.SetValue(RegistryRoot::LocalMachine, kPath, "V", GetParam().value);
    RegistryKey key = OpenRead();
    if (GetParam().asInteger) {
        EXPECT_THROW(key.ReadInteger("V"), RegistryError) << GetParam().what;
    } else {
        EXPECT_THROW(key.ReadString("V"), RegistryError) << GetParam().what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Types, RegistryKeyWrongTypeTest,
    ::testing::Values(
        WrongTypeCase{"string read as integer", {platform::kRegSz, {'1', 0}}, true},
        WrongTypeCase{"short dword", {platform::kRegDword, {1, 0}}, true},
        WrongTypeCase{"binary read as integer", {platform::kRegBinary, {1, 0, 0, 0}}, true},
        WrongTypeCase{"dword read as string", {platform::kRegDword, {1, 0, 0, 0}}, false},
        WrongTypeCase{"binary read as string", {platform::kRegBinary, {'a', 0}}, false}));

TEST_F(RegistryKeyTest, MissingValueThrowsRegistryError) {
    machine.CreateKey(RegistryRoot::LocalMachine, kPath);
    RegistryKey key = OpenRead();
    EXPECT_FALSE(key.ValueExists("Absent"));
    EXPECT_THROW(key.ReadInteger("Absent"), RegistryError);
    EXPECT_THROW(key.ReadString("Absent"), RegistryError);
}

struct StringCase {
    const char* what;
    sim::SimRegistryValue value;
    const char* expected;
};

void PrintTo(const StringCase& c, std::ostream* out) {
    *out << c.what;
}

class RegistryKeyStringTest : public RegistryKeyTest,
                              public ::testing::WithParamInterface<StringCase> {};

TEST_P(RegistryKeyStringTest, ReadsTheTextUpToTheFirstNul) {
    machine.SetValue(RegistryRoot::LocalMachine, kPath, "Shell", GetParam().value);
    EXPECT_EQ(OpenRead().ReadString("Shell"), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RegistryKeyStringTest,
    ::testing::Values(StringCase{"with terminator", {platform::kRegSz, {'a', 'b', 0}}, "ab"},
                      StringCase{"without terminator", {platform::kRegSz, {'a', 'b'}}, "ab"},
                      StringCase{"expandable", {platform::kRegExpandSz, {'%', 'x', '%', 0}}, "%x%"},
                      StringCase{"empty", {platform::kRegSz, {}}, ""},
                      StringCase{"double terminator", {platform::kRegSz, {'a', 0, 0}}, "a"}));

TEST_F(RegistryKeyTest, WritesAreStoredTyped) {
    RegistryKey key = RegistryKey::OpenWrite(registry(), RegistryRoot::LocalMachine, kPath, true);
    ASSERT_TRUE(key.IsOpen());
    EXPECT_TRUE(key.WriteInteger("Number", 258));
    EXPECT_TRUE(key.WriteString("Text", "hi"));
    EXPECT_TRUE(key.WriteBool("Flag", true));

    const auto number = machine.GetValue(RegistryRoot::LocalMachine, kPath, "Number");
    EXPECT_EQ(number->type, platform::kRegDword);
    EXPECT_EQ(number->data, (std::vector<std::uint8_t>{2, 1, 0, 0}));
    const auto text = machine.GetValue(RegistryRoot::LocalMachine, kPath, "Text");
    EXPECT_EQ(text->type, platform::kRegSz);
    EXPECT_EQ(text->data, (std::vector<std::uint8_t>{'h', 'i', 0}));
    EXPECT_EQ(key.ReadInteger("Flag"), 1);

    EXPECT_TRUE(key.DeleteValue("Text"));
    EXPECT_FALSE(key.ValueExists("Text"));
}

TEST_F(RegistryKeyTest, MissingKeyIsNotOpenAndRefusesEverything) {
    RegistryKey key = OpenRead();
    EXPECT_FALSE(key.IsOpen());
    EXPECT_FALSE(key.ValueExists("V"));
    EXPECT_THROW(key.ReadInteger("V"), RegistryError);
    EXPECT_FALSE(key.WriteInteger("V", 1));
    EXPECT_FALSE(key.DeleteValue("V"));
    EXPECT_FALSE(machine.KeyExists(RegistryRoot::LocalMachine, kPath));

    RegistryKey write =
        RegistryKey::OpenWrite(registry(), RegistryRoot::LocalMachine, kPath, false);
    EXPECT_FALSE(write.IsOpen());
    EXPECT_EQ(machine.OpenKeyCount(), 0);
}

TEST_F(RegistryKeyTest, ClosesItsKeyOnceWhateverTheRoute) {
    machine.CreateKey(RegistryRoot::LocalMachine, kPath);
    {
        RegistryKey key = OpenRead();
        EXPECT_EQ(machine.OpenKeyCount(), 1);
        RegistryKey moved = std::move(key);
        EXPECT_FALSE(key.IsOpen());
        EXPECT_TRUE(moved.IsOpen());
        EXPECT_EQ(machine.OpenKeyCount(), 1);

        RegistryKey other = OpenRead();
        EXPECT_EQ(machine.OpenKeyCount(), 2);
        other = std::move(moved);  // closes the key other held
        EXPECT_EQ(machine.OpenKeyCount(), 1);
        other.Close();
        EXPECT_EQ(machine.OpenKeyCount(), 0);
        other.Close();
    }
    { RegistryKey key = OpenRead(); }
    EXPECT_EQ(machine.OpenKeyCount(), 0);
}

}  // namespace
}  // namespace kxp
