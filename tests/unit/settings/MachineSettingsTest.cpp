#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "StoredValues.h"
#include "config/MachineOptions.h"
#include "platform/sim/SimMachine.h"
#include "settings/MachineSettings.h"

namespace kxp {

void PrintTo(const TMachineOptions& options, std::ostream* out) {
    *out << DescribeMachineOptions(options);
}

namespace settings {

void PrintTo(const MachineSettings& s, std::ostream* out) {
    *out << "NoCounters=" << s.NoCounters << " Recover=" << s.Recover << " Below=" << s.Below
         << " Pause=" << s.Pause << " Postpone=" << s.Postpone << " Threshold=" << s.Threshold
         << " Cache=" << s.Cache << " AdvCache=" << s.AdvCache << " CacheMin=" << s.CacheMin
         << " CacheMax=" << s.CacheMax << " Shell=" << s.Shell
         << " LoadOnWindowsStartup=" << s.LoadOnWindowsStartup;
}

namespace {

using test::Dword;
using test::kOptionsKey;
using test::kServiceKey;
using test::Text;

using platform::RegistryRoot;
using sim::SimRegistryValue;

constexpr std::int64_t kMiB = 1048576;

std::optional<std::uint32_t> StoredDword(const sim::SimMachine& sim, const char* path,
                                         const char* name) {
    const auto value = sim.GetValue(RegistryRoot::LocalMachine, path, name);
    if (!value || value->type != platform::kRegDword || value->data.size() != 4) {
        return std::nullopt;
    }
    std::uint32_t number = 0;
    std::memcpy(&number, value->data.data(), sizeof number);
    return number;
}

MachineSettings Edited() {
    MachineSettings s;
    s.NoCounters = true;
    s.Recover = false;
    s.Below = 20;
    s.Pause = 5;
    s.Postpone = false;
    s.Threshold = 75;
    s.Cache = 2;
    s.AdvCache = true;
    s.CacheMin = 50;
    s.CacheMax = 2047;
    s.Shell = "\"C:\\Program Files\\Shell\\Explorer.EXE\"";
    return s;
}

TMachineOptions HeldEdited() {
    TMachineOptions o;
    o.NoCounters = true;
    o.Recover = false;
    o.Below = 20 * kMiB;
    o.Pause = 300;
    o.Postpone = false;
    o.Threshold = 75;
    o.Cache = 2;
    o.AdvCache = true;
    o.CacheMin = 50 * kMiB;
    o.CacheMax = 2047 * kMiB;
    o.Shell = "explorer.exe";
    o.ShellInUse = true;
    return o;
}

TMachineOptions HeldSavedDefaults() {
    TMachineOptions o;
    // Once stored, the sizes are scaled like any other.
    o.CacheMin = 100 * kMiB;
    o.CacheMax = 100 * kMiB;
    return o;
}

struct SaveCase {
    const char* what;
    MachineSettings saved;
    TMachineOptions held;
};

class SaveThenServiceRead : public ::testing::TestWithParam<SaveCase> {
  protected:
    sim::SimMachine sim;
};

TEST_P(SaveThenServiceRead, TheServiceHoldsTheSavedValuesScaled) {
    ASSERT_TRUE(SaveMachineSettings(sim.platform().registry, GetParam().saved));
    TMachineOptions options;
    ReadMachineOptionValues(sim.platform().registry, options);
    EXPECT_EQ(options, GetParam().held);
    EXPECT_EQ(sim.OpenKeyCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Values, SaveThenServiceRead,
                         ::testing::Values(SaveCase{"defaults", MachineSettings{},
                                                    HeldSavedDefaults()},
                                           SaveCase{"edited", Edited(), HeldEdited()},
                                           SaveCase{"short shell",
                                                    [] {
                                                        MachineSettings s;
                                                        s.Shell = "X";
                                                        return s;
                                                    }(),
                                                    [] {
                                                        TMachineOptions o = HeldSavedDefaults();
                                                        o.Shell = "x";
                                                        return o;
                                                    }()}),
                         [](const auto& info) {
                             std::string name = info.param.what;
                             for (char& c : name) {
                                 if (c == ' ') c = '_';
                             }
                             return name;
                         });

struct LoadCase {
    const char* what;
    std::vector<std::pair<const char*, SimRegistryValue>> stored;
    std::optional<SimRegistryValue> start;
    MachineSettings expected;
};

class LoadStored : public ::testing::TestWithParam<LoadCase> {
  protected:
    sim::SimMachine sim;
};

TEST_P(LoadStored, StoredValuesOverTheDefaultsAndWrongTypesKeepTheirs) {
    for (const auto& [name, value] : GetParam().stored) {
        sim.SetValue(RegistryRoot::LocalMachine, kOptionsKey, name, value);
    }
    if (GetParam().start) {
        sim.SetValue(RegistryRoot::LocalMachine, kServiceKey, "Start", *GetParam().start);
    }
    EXPECT_EQ(LoadMachineSettings(sim.platform().registry), GetParam().expected);
    EXPECT_EQ(sim.OpenKeyCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Values, LoadStored,
    ::testing::Values(
        LoadCase{"nothing", {}, std::nullopt, MachineSettings{}},
        LoadCase{"every value",
                 {{"NoCounters", Dword(7)},
                  {"Recover", Dword(0)},
                  {"Below", Dword(20)},
                  {"Pause", Dword(5)},
                  {"Postpone", Dword(0)},
                  {"Threshold", Dword(75)},
                  {"Cache", Dword(2)},
                  {"AdvCache", Dword(1)},
                  {"CacheMin", Dword(50)},
                  {"CacheMax", Dword(2047)},
                  {"Shell", Text("\"C:\\Program Files\\Shell\\Explorer.EXE\"")}},
                 Dword(2),
                 [] {
                     MachineSettings s = Edited();
                     s.LoadOnWindowsStartup = true;
                     return s;
                 }()},
        // Unlike the service, which stops at such a value, every later value is still taken.
        LoadCase{"wrong types",
                 {{"Recover", SimRegistryValue{platform::kRegBinary, {0, 0, 0, 0}}},
                  {"Below", Text("20")},
                  {"Pause", SimRegistryValue{platform::kRegDword, {5, 0}}},
                  {"Threshold", Dword(75)},
                  {"Shell", Dword(1)}},
                 Text("2"),
                 [] {
                     MachineSettings s;
                     s.Threshold = 75;
                     return s;
                 }()},
        LoadCase{"the rest around wrong types",
                 {{"NoCounters", Dword(1)},
                  {"Cache", Text("1")},
                  {"AdvCache", Dword(1)},
                  {"CacheMax", SimRegistryValue{platform::kRegNone, {}}}},
                 Dword(4),
                 [] {
                     MachineSettings s;
                     s.NoCounters = true;
                     s.AdvCache = true;
                     return s;
                 }()},
        LoadCase{"on demand", {}, Dword(3), MachineSettings{}}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name) {
            if (c == ' ') c = '_';
        }
        return name;
    });

struct StartCase {
    std::optional<std::uint32_t> before;  // none: the service is not installed
    bool chosen;
    bool saved;
    std::optional<std::uint32_t> after;
};

class StartChoice : public ::testing::TestWithParam<StartCase> {
  protected:
    sim::SimMachine sim;
};

TEST_P(StartChoice, StartIsWrittenOnlyWhenTheChoiceChanged) {
    const StartCase& c = GetParam();
    if (c.before) sim.SetDword(RegistryRoot::LocalMachine, kServiceKey, "Start", *c.before);
    MachineSettings settings = LoadMachineSettings(sim.platform().registry);
    settings.LoadOnWindowsStartup = c.chosen;
    EXPECT_EQ(SaveMachineSettings(sim.platform().registry, settings), c.saved);
    EXPECT_EQ(StoredDword(sim, kServiceKey, "Start"), c.after);
    EXPECT_EQ(sim.KeyExists(RegistryRoot::LocalMachine, kServiceKey), c.before.has_value());
    // The machine key is written either way.
    EXPECT_EQ(StoredDword(sim, kOptionsKey, "Below"), 50u);
}

INSTANTIATE_TEST_SUITE_P(Values, StartChoice,
                         ::testing::Values(StartCase{4, false, true, 4},
                                           StartCase{4, true, true, 2},
                                           StartCase{2, false, true, 3},
                                           StartCase{2, true, true, 2}, StartCase{3, true, true, 2},
                                           StartCase{3, false, true, 3},
                                           StartCase{0, false, true, 0},
                                           StartCase{std::nullopt, false, true, std::nullopt},
                                           StartCase{std::nullopt, true, false, std::nullopt}));

struct AccessCase {
    bool refused;
    bool writable;
};

class MachineKeyAccess : public ::testing::TestWithParam<AccessCase> {
  protected:
    sim::SimMachine sim;
};

TEST_P(MachineKeyAccess, CanWriteOpensTheKeyWithoutWritingAndSaveFailsWhenRefused) {
    sim.SetDword(RegistryRoot::LocalMachine, kServiceKey, "Start", 3);
    sim.RefuseRegistryWrites(GetParam().refused);
    EXPECT_EQ(CanWriteMachineSettings(sim.platform().registry), GetParam().writable);
    EXPECT_FALSE(sim.GetValue(RegistryRoot::LocalMachine, kOptionsKey, "NoCounters"));
    EXPECT_EQ(sim.KeyExists(RegistryRoot::LocalMachine, kOptionsKey), GetParam().writable);

    MachineSettings settings = Edited();
    settings.LoadOnWindowsStartup = true;
    EXPECT_EQ(SaveMachineSettings(sim.platform().registry, settings), GetParam().writable);
    EXPECT_EQ(StoredDword(sim, kServiceKey, "Start"), GetParam().writable ? 2u : 3u);
    EXPECT_EQ(sim.OpenKeyCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Values, MachineKeyAccess,
                         ::testing::Values(AccessCase{false, true}, AccessCase{true, false}));

}  // namespace
}  // namespace settings
}  // namespace kxp
