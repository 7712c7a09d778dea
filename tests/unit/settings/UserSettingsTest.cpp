// The settings program's user options against the service's own reader: what it saves the service
// reads back, what the service's names hold it loads, and its defaults are the service's.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "StoredValues.h"
#include "config/UserOptionDefinitions.h"
#include "config/UserOptionValues.h"
#include "platform/RegistryKey.h"
#include "platform/sim/SimMachine.h"
#include "settings/UserSettings.h"

namespace kxp::settings {
namespace {

using test::Dword;
using test::Text;

using platform::RegistryRoot;

constexpr const char* kUserKey = "\\Software\\KorvanelXP";

// The fields of one scope, for a comparison that names what differs; the per-icon ones with the
// record's set.
void ExpectSame(const TConfig& actual, const TConfig& expected, UserOptionScope scope,
                const std::string& where) {
    for (const auto& option : UserOptionDefinitions()) {
        if (option.scope != scope) continue;
        EXPECT_EQ(FieldText(option, actual), FieldText(option, expected))
            << option.name << " of " << where;
    }
    if (scope == UserOptionScope::PerIcon) {
        EXPECT_EQ(actual.Suffix, expected.Suffix) << where;
    }
}

void ExpectSameSettings(const UserSettings& actual, const UserSettings& expected) {
    for (const int icon : {1, 2}) {
        for (const int set : {0, 1}) {
            ExpectSame(actual.Set(icon, set), expected.Set(icon, set), UserOptionScope::PerIcon,
                       "icon " + std::to_string(icon) + " set " + std::to_string(set));
        }
    }
    ExpectSame(actual.UserWide(), expected.UserWide(), UserOptionScope::UserWide, "user");
    EXPECT_EQ(actual.alternate, expected.alternate);
}

class UserSettingsStore : public ::testing::Test {
  protected:
    // The service's read of one icon: its defaults, then its pass over the stored key.
    TConfig ServiceRead(int icon, std::int32_t& version) {
        TConfig config;
        SetUserDefaults(config, icon);
        const auto key =
            RegistryKey::OpenRead(sim.platform().registry, RegistryRoot::CurrentUser, kUserKey);
        if (key.IsOpen()) ReadUserOptionPass(key, icon, config, version, {});
        return config;
    }

    sim::SimMachine sim;
};

struct SelectorCase {
    const char* name;
    bool alternate1;
    bool alternate2;
};

class SavedSettings : public UserSettingsStore,
                      public ::testing::WithParamInterface<SelectorCase> {};

TEST_P(SavedSettings, AreWhatTheServiceReadsForTheSelectedSets) {
    UserSettings saved = DefaultUserSettings();
    int seed = 0;
    for (auto& icon : saved.sets) {
        for (auto& config : icon) {
            for (const auto& option : UserOptionDefinitions()) SetDistinct(option, config, ++seed);
        }
    }
    saved.alternate = {GetParam().alternate1, GetParam().alternate2};
    // Some of the older store that the save replaces: version and a value of another type.
    sim.SetDword(RegistryRoot::CurrentUser, kUserKey, "Version", 149);
    sim.SetDword(RegistryRoot::CurrentUser, kUserKey, "t2_Font1", 4);
    ASSERT_TRUE(SaveUserSettings(sim.platform().registry, saved));

    std::int32_t version = 0;
    const TConfig icon1 = ServiceRead(1, version);
    EXPECT_EQ(version, kUserOptionsVersion);
    const TConfig icon2 = ServiceRead(2, version);

    const TConfig& shown1 = saved.Set(1, GetParam().alternate1 ? 1 : 0);
    const TConfig& shown2 = saved.Set(2, GetParam().alternate2 ? 1 : 0);
    ExpectSame(icon1, shown1, UserOptionScope::PerIcon, "icon 1");
    ExpectSame(icon1, saved.UserWide(), UserOptionScope::UserWide, "icon 1");
    ExpectSame(icon2, shown2, UserOptionScope::PerIcon, "icon 2");
    // And the settings program reads its own save back whole.
    ExpectSameSettings(LoadUserSettings(sim.platform().registry), saved);
}

INSTANTIATE_TEST_SUITE_P(Selectors, SavedSettings,
                         ::testing::Values(SelectorCase{"BothPrimary", false, false},
                                           SelectorCase{"Icon1Alternate", true, false},
                                           SelectorCase{"Icon2Alternate", false, true},
                                           SelectorCase{"BothAlternate", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UserSettingsStore, SaveWithoutWriteAccessFails) {
    sim.RefuseRegistryWrites(true);
    EXPECT_FALSE(SaveUserSettings(sim.platform().registry, DefaultUserSettings()));
    EXPECT_FALSE(sim.KeyExists(RegistryRoot::CurrentUser, kUserKey));
}

struct StoredValue {
    const char* name;
    sim::SimRegistryValue value;
};

struct UserLoadCase {
    const char* name;
    std::vector<StoredValue> stored;
    // What the load gives over the defaults.
    void (*expect)(UserSettings&);
};

class LoadedSettings : public UserSettingsStore,
                       public ::testing::WithParamInterface<UserLoadCase> {};

TEST_P(LoadedSettings, HoldTheValuesTheServiceNames) {
    for (const auto& [name, value] : GetParam().stored) {
        sim.SetValue(RegistryRoot::CurrentUser, kUserKey, name, value);
    }
    UserSettings expected = DefaultUserSettings();
    GetParam().expect(expected);
    ExpectSameSettings(LoadUserSettings(sim.platform().registry), expected);
}

INSTANTIATE_TEST_SUITE_P(
    StoredValues, LoadedSettings,
    ::testing::Values(UserLoadCase{"Icon1Primary",
                                   {{"Display1", Dword(3)},
                                    {"Font2Bold", Dword(0)},
                                    {"ForeColor", Text("clRed")}},
                                   [](UserSettings& s) {
                                       s.Set(1, 0).Display1 = 3;
                                       s.Set(1, 0).Font2.Bold = false;
                                       s.Set(1, 0).ForeColor = 0x0000FF;
                                   }},
                      UserLoadCase{"BothSetsOfBothIconsWhateverTheSelectors",
                                   {{"Display2_2", Dword(5)},
                                    {"t2_Refresh", Dword(3000)},
                                    {"t2_Font3_2", Text("Tahoma")},
                                    {"t2_BackColor_2", Text("$00123456")}},
                                   [](UserSettings& s) {
                                       s.Set(1, 1).Display2 = 5;
                                       s.Set(2, 0).Refresh = 3000;
                                       s.Set(2, 1).Font3.Name = "Tahoma";
                                       s.Set(2, 1).BackColor = 0x123456;
                                   }},
                      UserLoadCase{"SelectorsAreOneOnly",
                                   {{"alternate", Dword(1)}, {"t2_Alternate", Dword(2)}},
                                   [](UserSettings& s) {
                                       s.alternate = {true, false};
                                   }},
                      UserLoadCase{"UserWideValuesOnceWithoutPrefixOrSuffix",
                                   {{"HotKey1", Dword(0x10041)},
                                    {"Hotkey2Enabled", Dword(0)},
                                    {"Language", Text("German")},
                                    {"NoSecondTray", Dword(1)},
                                    {"t2_Realtime", Dword(1)},
                                    {"Autohide_2", Dword(1)}},
                                   [](UserSettings& s) {
                                       s.UserWide().HotKey1 = 0x41;
                                       s.UserWide().Hotkey2Enabled = false;
                                       s.UserWide().Language = "German";
                                       s.UserWide().NoSecondTray = true;
                                   }},
                      UserLoadCase{"WrongTypesKeepTheirDefaultsAndTheLoadGoesOn",
                                   {{"Font1Size", Text("12")},
                                    {"Font1", Dword(5)},
                                    {"ForeColor", Text("clPink")},
                                    {"t2_ForeColor", Dword(255)},
                                    {"Alternate", Text("1")},
                                    {"Y3", {platform::kRegDword, {1, 0}}},
                                    {"Version", Text("150")},
                                    {"Language", Text("Polish")},
                                    {"t2_Y3_2", Dword(9)}},
                                   [](UserSettings& s) {
                                       s.UserWide().Language = "Polish";
                                       s.Set(2, 1).Y3 = 9;
                                   }},
                      UserLoadCase{"BelowVersion150OnlyTheUnversionedValues",
                                   {{"Version", Dword(149)},
                                    {"Display1", Dword(3)},
                                    {"t2_Font1_2", Text("Tahoma")},
                                    {"NoSecondTray", Dword(1)},
                                    {"Refresh", Dword(500)},
                                    {"t2_Refresh_2", Dword(60000)},
                                    {"HotKey1", Dword(12)},
                                    {"t2_Alternate", Dword(1)}},
                                   [](UserSettings& s) {
                                       s.Set(1, 0).Refresh = 500;
                                       s.Set(2, 1).Refresh = 60000;
                                       s.UserWide().HotKey1 = 12;
                                       s.alternate = {false, true};
                                   }}),
    [](const auto& info) { return std::string(info.param.name); });

struct DefaultCase {
    const char* name;
    int icon;
    int set;
};

class DefaultSettings : public UserSettingsStore,
                        public ::testing::WithParamInterface<DefaultCase> {};

TEST_P(DefaultSettings, AreWhatTheServiceTakesFromAnEmptyKey) {
    const int icon = GetParam().icon;
    sim.CreateKey(RegistryRoot::CurrentUser, kUserKey);
    // The selector alone, as the service needs it to take the alternate set.
    if (GetParam().set == 1) {
        sim.SetDword(RegistryRoot::CurrentUser, kUserKey, ValuePrefix(icon) + "Alternate", 1);
    }
    std::int32_t version = kUserOptionsVersion;
    const TConfig service = ServiceRead(icon, version);
    const UserSettings settings = DefaultUserSettings();
    const TConfig& defaults = settings.Set(icon, GetParam().set);
    ExpectSame(defaults, service, UserOptionScope::PerIcon, GetParam().name);
    if (icon == 1) ExpectSame(defaults, service, UserOptionScope::UserWide, GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(IconsAndSets, DefaultSettings,
                         ::testing::Values(DefaultCase{"Icon1Primary", 1, 0},
                                           DefaultCase{"Icon1Alternate", 1, 1},
                                           DefaultCase{"Icon2Primary", 2, 0},
                                           DefaultCase{"Icon2Alternate", 2, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UserSettingsStore, LoadWithoutAKeyIsTheDefaults) {
    ExpectSameSettings(LoadUserSettings(sim.platform().registry), DefaultUserSettings());
    EXPECT_FALSE(sim.KeyExists(RegistryRoot::CurrentUser, kUserKey));
}

TEST(TrayIconOptions, AreCopiedWithoutTheOtherPagesUserWideValues) {
    UserSettings page = DefaultUserSettings();
    int seed = 0;
    for (auto& icon : page.sets) {
        for (auto& config : icon) {
            for (const auto& option : UserOptionDefinitions()) SetDistinct(option, config, ++seed);
        }
    }
    page.alternate = {true, true};
    UserSettings state = DefaultUserSettings();
    state.UserWide().Language = "German";
    TConfig userWide = state.UserWide();
    userWide.NoSecondTray = page.UserWide().NoSecondTray;

    CopyTrayIconOptions(page, state);
    for (const int icon : {1, 2}) {
        for (const int set : {0, 1}) {
            ExpectSame(state.Set(icon, set), page.Set(icon, set), UserOptionScope::PerIcon,
                       "icon " + std::to_string(icon) + " set " + std::to_string(set));
        }
    }
    // The hot keys, priority and language are the other pages' to change.
    ExpectSame(state.UserWide(), userWide, UserOptionScope::UserWide, "user");
    EXPECT_EQ(state.alternate, page.alternate);
}

}  // namespace
}  // namespace kxp::settings
