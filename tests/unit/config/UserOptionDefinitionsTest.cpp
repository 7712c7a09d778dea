// The one table of user options: its defaults against the records the service starts from, the
// names per icon and set, a write of every option read back for both icons and both sets, and a
// read that stops at a bad value with what came before it kept.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "StoredValues.h"
#include "config/UserOptionDefinitions.h"
#include "config/UserOptionValues.h"
#include "platform/RegistryKey.h"
#include "platform/sim/SimMachine.h"

namespace kxp {
namespace {

using test::Dword;
using test::Text;

using platform::RegistryRoot;

constexpr const char* kUserKey = "\\S-1-5-21-1-2-3-1001\\Software\\KorvanelXP";

class UserOptionStore : public ::testing::Test {
  protected:
    RegistryKey Key(bool write) {
        return write
                   ? RegistryKey::OpenWrite(sim.platform().registry, RegistryRoot::Users, kUserKey,
                                            true)
                   : RegistryKey::OpenRead(sim.platform().registry, RegistryRoot::Users, kUserKey);
    }
    TConfig Read(int icon, std::int32_t& version) {
        TConfig config;
        SetUserDefaults(config, icon);
        ReadUserOptionPass(Key(false), icon, config, version, {});
        return config;
    }
    void SetText(const std::string& name, const std::string& text) {
        sim.SetString(RegistryRoot::Users, kUserKey, name, text);
    }
    void SetDword(const std::string& name, std::uint32_t value) {
        sim.SetDword(RegistryRoot::Users, kUserKey, name, value);
    }

    sim::SimMachine sim;
};

TEST(UserOptionTable, DefaultsAreThoseOfTheRecordsTheServiceStartsFrom) {
    for (int icon : {1, 2}) {
        TConfig fromTable;
        SetDistinct(UserOptionDefinitions().front(), fromTable, 3);
        SetUserDefaults(fromTable, icon);
        const TConfig expected = icon == 1 ? DefaultIcon1Config() : DefaultIcon2Config();
        for (const auto& option : UserOptionDefinitions()) {
            EXPECT_EQ(FieldText(option, fromTable), FieldText(option, expected))
                << option.name << " of icon " << icon;
        }
    }
}

struct AlternateCase {
    int icon;
    std::int32_t display1, display2;
    TColor fore;
};

class AlternateDefaults : public ::testing::TestWithParam<AlternateCase> {};

TEST_P(AlternateDefaults, FiveValuesDifferFromThePrimarySet) {
    TConfig config;
    SetUserDefaults(config, GetParam().icon);
    config.Transparent = true;
    config.BackColor = 0x123456;
    config.X1 = 9;
    SetAlternateDefaults(config, GetParam().icon);
    EXPECT_EQ(config.Display1, GetParam().display1);
    EXPECT_EQ(config.Display2, GetParam().display2);
    EXPECT_EQ(config.ForeColor, GetParam().fore);
    EXPECT_EQ(config.BackColor, 0u);
    EXPECT_FALSE(config.Transparent);
    EXPECT_EQ(config.X1, 9);  // not one of the five
    EXPECT_EQ(config.Suffix, "_2");
}

INSTANTIATE_TEST_SUITE_P(Icons, AlternateDefaults,
                         ::testing::Values(AlternateCase{1, 1, 12, 0x8000FF},
                                           AlternateCase{2, 1, 3, 0x8000FF}));

struct NameCase {
    const char* option;
    int icon;
    const char* suffix;
    const char* stored;
};

class UserValueNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(UserValueNames, PrefixAndSuffixOnlyOnPerIconValues) {
    const auto* option = FindUserOption(GetParam().option);
    ASSERT_NE(option, nullptr);
    EXPECT_EQ(UserValueName(*option, ValuePrefix(GetParam().icon), GetParam().suffix),
              GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Names, UserValueNames,
                         ::testing::Values(NameCase{"Display1", 1, "", "Display1"},
                                           NameCase{"Font1", 1, "_2", "Font1_2"},
                                           NameCase{"Display1", 2, "_2", "t2_Display1_2"},
                                           NameCase{"Refresh", 2, "", "t2_Refresh"},
                                           NameCase{"HotKey1", 2, "_2", "HotKey1"},
                                           NameCase{"NoSecondTray", 1, "_2", "NoSecondTray"},
                                           NameCase{"Language", 1, "_2", "Language"}));

struct RoundTripCase {
    const char* name;
    int icon;
    bool alternate;
};

class UserOptionRoundTrip : public UserOptionStore,
                            public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(UserOptionRoundTrip, EveryOptionWrittenIsReadBack) {
    const int icon = GetParam().icon;
    TConfig written;
    SetUserDefaults(written, icon);
    if (GetParam().alternate) SetAlternateDefaults(written, icon);
    int seed = icon * 100 + (GetParam().alternate ? 50 : 0);
    for (const auto& option : UserOptionDefinitions()) SetDistinct(option, written, ++seed);
    {
        auto key = Key(true);
        ASSERT_TRUE(WriteUserOptions(key, icon, written));
    }
    std::int32_t version = 0;  // icon 2's pass takes icon 1's figure as given
    if (icon == 2) version = kUserOptionsVersion;
    const TConfig read = Read(icon, version);
    EXPECT_EQ(version, kUserOptionsVersion);
    EXPECT_EQ(read.Suffix, written.Suffix);
    const TConfig defaults = [icon] {
        TConfig config;
        SetUserDefaults(config, icon);
        return config;
    }();
    for (const auto& option : UserOptionDefinitions()) {
        // Icon 2's pass reads no user-wide value: those keep their defaults.
        const bool read2 = option.scope == UserOptionScope::PerIcon || icon == 1;
        EXPECT_EQ(FieldText(option, read), FieldText(option, read2 ? written : defaults))
            << option.name;
    }
}

INSTANTIATE_TEST_SUITE_P(IconsAndSets, UserOptionRoundTrip,
                         ::testing::Values(RoundTripCase{"Icon1Primary", 1, false},
                                           RoundTripCase{"Icon1Alternate", 1, true},
                                           RoundTripCase{"Icon2Primary", 2, false},
                                           RoundTripCase{"Icon2Alternate", 2, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UserOptionStore, ColoursAreStoredAsDollarHexTexts) {
    TConfig config;
    SetUserDefaults(config, 1);
    config.ForeColor = 0x8000FF;
    config.Font3.Color = 0x80000008;
    auto key = Key(true);
    ASSERT_TRUE(WriteUserOption(key, *FindUserOption("ForeColor"), 1, config));
    ASSERT_TRUE(WriteUserOption(key, *FindUserOption("Font3Color"), 1, config));
    EXPECT_EQ(key.ReadString("ForeColor"), "$008000FF");
    EXPECT_EQ(key.ReadString("Font3Color"), "$80000008");
}

struct StopCase {
    const char* name;
    const char* option;
    sim::SimRegistryValue value;
};

class UserOptionReadStops : public UserOptionStore,
                            public ::testing::WithParamInterface<StopCase> {};

TEST_P(UserOptionReadStops, AtTheBadValueWithWhatCameBeforeKept) {
    SetDword("Display1", 3);
    SetText("Language", "German");  // the last option of the pass
    sim.SetValue(RegistryRoot::Users, kUserKey, GetParam().option, GetParam().value);
    TConfig config;
    SetUserDefaults(config, 1);
    std::int32_t version = 0;
    EXPECT_THROW(ReadUserOptionPass(Key(false), 1, config, version, {}), RegistryError);
    EXPECT_EQ(config.Display1, 3);
    EXPECT_EQ(config.Language, "Automatic");
}

INSTANTIATE_TEST_SUITE_P(
    BadValues, UserOptionReadStops,
    ::testing::Values(StopCase{"NumberAsText", "Font1Size", Text("12")},
                      StopCase{"TextAsNumber", "Font1", Dword(5)},
                      StopCase{"UnknownColourName", "ForeColor", Text("clPink")},
                      StopCase{"ColourAsNumber", "ForeColor", Dword(255)},
                      StopCase{"EmptyColour", "Font2Color", Text("")},
                      StopCase{"HugeColourText", "Font2Color", Text(std::string(65536, 'A'))},
                      StopCase{"ShortDword", "Y3", {platform::kRegDword, {1, 0}}},
                      StopCase{"BinaryBoolean", "Hotkey2Enabled", {platform::kRegBinary, {1}}},
                      StopCase{"TextAsBoolean", "Autohide", Text("1")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UserOptionStore, ValuesThatFitTheirTypeAreTakenWhateverTheirSize) {
    SetDword("Refresh", 0);
    SetDword("X1", 0x7FFFFFFF);
    SetDword("Y1", 0xFFFFFFFF);
    SetDword("HotKey1", 0x10041);  // kept in 16 bits
    SetText("Font1", std::string(65536, 'F'));
    SetText("Font2", "");
    std::int32_t version = 0;
    const TConfig config = Read(1, version);
    EXPECT_EQ(config.Refresh, 0);
    EXPECT_EQ(config.X1, 0x7FFFFFFF);
    EXPECT_EQ(config.Y1, -1);
    EXPECT_EQ(config.HotKey1, 0x41);
    EXPECT_EQ(config.Font1.Name.size(), 65536u);
    EXPECT_EQ(config.Font2.Name, "");
}

}  // namespace
}  // namespace kxp
