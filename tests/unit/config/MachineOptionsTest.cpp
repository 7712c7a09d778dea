#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "StoredValues.h"
#include "config/MachineOptions.h"
#include "platform/RegistryKey.h"
#include "platform/Trace.h"
#include "platform/sim/SimMachine.h"

namespace kxp {
namespace {

using test::kOptionsKey;
using test::kServiceKey;

using platform::RegistryRoot;

class MachineOptionsTest : public ::testing::Test {
  protected:
    MachineOptionsTest() {
        SetTraceSink([this](const std::string& message) { traces.push_back(message); });
    }
    ~MachineOptionsTest() override { SetTraceSink({}); }

    void SetDword(const std::string& name, std::int32_t value) {
        sim.SetDword(RegistryRoot::LocalMachine, kOptionsKey, name,
                     static_cast<std::uint32_t>(value));
    }
    void SetString(const std::string& name, const std::string& value) {
        sim.SetString(RegistryRoot::LocalMachine, kOptionsKey, name, value);
    }
    TMachineOptions Read() {
        TMachineOptions options;
        ReadMachineOptionValues(sim.platform().registry, options);
        return options;
    }

    sim::SimMachine sim;
    std::vector<std::string> traces;
};

void ExpectDefaults(const TMachineOptions& options) {
    EXPECT_FALSE(options.NoCounters);
    EXPECT_TRUE(options.Recover);
    EXPECT_EQ(options.Below, 52428800);
    EXPECT_EQ(options.Pause, 10800);
    EXPECT_TRUE(options.Postpone);
    EXPECT_EQ(options.Threshold, 30);
    EXPECT_EQ(options.Cache, 0);
    EXPECT_FALSE(options.AdvCache);
    EXPECT_EQ(options.CacheMin, 100);
    EXPECT_EQ(options.CacheMax, 100);
    EXPECT_EQ(options.Shell, "");
    EXPECT_FALSE(options.ShellInUse);
}

TEST_F(MachineOptionsTest, WithoutTheKeyEveryOptionTakesItsDefaultAndTheFailureIsTraced) {
    ExpectDefaults(Read());
    EXPECT_EQ(traces, std::vector<std::string>{"ReadLocalOptions key1 error"});
}

TEST_F(MachineOptionsTest, AnEmptyKeyGivesEveryDefault) {
    sim.CreateKey(RegistryRoot::LocalMachine, kOptionsKey);
    ExpectDefaults(Read());
    EXPECT_TRUE(traces.empty());
}

TEST_F(MachineOptionsTest, EveryReadStartsFromTheDefaultsButKeepsTheStartMode) {
    sim.CreateKey(RegistryRoot::LocalMachine, kOptionsKey);
    TMachineOptions options;
    options.Recover = false;
    options.Below = 1;
    options.Shell = "old.exe";
    options.ShellInUse = true;
    options.LoadOnWindowsStartup = true;
    ReadMachineOptionValues(sim.platform().registry, options);
    ExpectDefaults(options);
    EXPECT_TRUE(options.LoadOnWindowsStartup);
}

struct ScalingCase {
    const char* value;
    std::int32_t stored;
    std::int64_t TMachineOptions::*field;
    std::int64_t expected;
};

class MachineOptionScaling : public MachineOptionsTest,
                             public ::testing::WithParamInterface<ScalingCase> {};

TEST_P(MachineOptionScaling, StoredFigureIsHeldScaledIn64Bits) {
    const ScalingCase& c = GetParam();
    SetDword(c.value, c.stored);
    EXPECT_EQ(Read().*c.field, c.expected);
}

constexpr std::int64_t kMiB = 1048576;

INSTANTIATE_TEST_SUITE_P(
    Values, MachineOptionScaling,
    ::testing::Values(
        ScalingCase{"Below", 20, &TMachineOptions::Below, 20971520},
        ScalingCase{"Pause", 5, &TMachineOptions::Pause, 300},
        ScalingCase{"CacheMin", 50, &TMachineOptions::CacheMin, 52428800},
        ScalingCase{"CacheMax", 100, &TMachineOptions::CacheMax, 104857600},
        // From 2,048 MB on, 32 bits would turn negative.
        ScalingCase{"Below", 2048, &TMachineOptions::Below, 2147483648},
        ScalingCase{"CacheMax", 4096, &TMachineOptions::CacheMax, 4294967296},
        ScalingCase{"CacheMin", 2147483647, &TMachineOptions::CacheMin, 2147483647 * kMiB},
        ScalingCase{"Pause", 2147483647, &TMachineOptions::Pause, std::int64_t{2147483647} * 60},
        ScalingCase{"Below", -5, &TMachineOptions::Below, -5 * kMiB},
        ScalingCase{"Pause", 0, &TMachineOptions::Pause, 0}));

TEST_F(MachineOptionsTest, FlagsAndFiguresAreReadAsStored) {
    SetDword("NoCounters", 7);
    SetDword("Recover", 0);
    SetDword("Postpone", 0);
    SetDword("Threshold", -1);
    SetDword("Cache", 2);
    SetDword("AdvCache", 1);
    const TMachineOptions options = Read();
    EXPECT_TRUE(options.NoCounters);
    EXPECT_FALSE(options.Recover);
    EXPECT_FALSE(options.Postpone);
    EXPECT_EQ(options.Threshold, -1);
    EXPECT_EQ(options.Cache, 2);
    EXPECT_TRUE(options.AdvCache);
}

struct ShellCase {
    const char* stored;
    const char* name;
    bool inUse;
};

class ShellParsing : public ::testing::TestWithParam<ShellCase> {};

TEST_P(ShellParsing, KeepsTheLowerCaseFileNameAndUsesItFromTwoCharacters) {
    const ShellOption shell = ParseShellOption(GetParam().stored);
    EXPECT_EQ(shell.name, GetParam().name);
    EXPECT_EQ(shell.inUse, GetParam().inUse);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ShellParsing,
    ::testing::Values(ShellCase{"", "", false}, ShellCase{"X", "x", false},
                      ShellCase{"\"", "\"", false}, ShellCase{"ab", "ab", true},
                      ShellCase{"\"C:\\Program Files\\Shell\\Explorer.EXE\"", "explorer.exe", true},
                      ShellCase{"C:\\WINDOWS\\MyShell.exe", "myshell.exe", true},
                      ShellCase{"\"LiteStep.exe\"", "litestep.exe", true},
                      ShellCase{"\"x\"", "x", true}, ShellCase{"C:\\Shells\\", "", false},
                      ShellCase{"C:\\Shells\\Q", "q", false},
                      ShellCase{"C:/Windows/Explorer.exe", "explorer.exe", true},
                      ShellCase{"c:explorer.exe", "explorer.exe", true},
                      ShellCase{"\"D:/Shells\\Alt/Lite.exe\"", "lite.exe", true},
                      ShellCase{"C:", "", false}));

TEST_F(MachineOptionsTest, ShellValueIsParsedIntoTheOptions) {
    SetString("Shell", "\"C:\\Program Files\\Shell\\Explorer.EXE\"");
    const TMachineOptions options = Read();
    EXPECT_EQ(options.Shell, "explorer.exe");
    EXPECT_TRUE(options.ShellInUse);
}

TEST_F(MachineOptionsTest, AVeryLongShellValueIsReadWhole) {
    const std::string name(5000, 'A');
    SetString("Shell", "C:\\" + name);
    EXPECT_EQ(Read().Shell, std::string(5000, 'a'));
}

TEST_F(MachineOptionsTest, WrongTypedValueStopsTheReadAfterTheValuesBeforeIt) {
    SetDword("Recover", 0);
    SetDword("Below", 20);
    sim.SetValue(RegistryRoot::LocalMachine, kOptionsKey, "Threshold",
                 {platform::kRegSz, {'5', '0', 0}});
    SetDword("Cache", 2);
    SetString("Shell", "myshell.exe");
    TMachineOptions options;
    EXPECT_THROW(ReadMachineOptionValues(sim.platform().registry, options), RegistryError);
    EXPECT_FALSE(options.Recover);
    EXPECT_EQ(options.Below, 20 * kMiB);
    EXPECT_EQ(options.Threshold, 30);
    EXPECT_EQ(options.Cache, 0);
    EXPECT_EQ(options.Shell, "");
    EXPECT_EQ(sim.OpenKeyCount(), 0);
}

struct WrongValue {
    const char* name;
    sim::SimRegistryValue value;
};

class WrongTypedOption : public MachineOptionsTest,
                         public ::testing::WithParamInterface<WrongValue> {};

TEST_P(WrongTypedOption, ThrowsAndClosesTheKey) {
    sim.SetValue(RegistryRoot::LocalMachine, kOptionsKey, GetParam().name, GetParam().value);
    TMachineOptions options;
    EXPECT_THROW(ReadMachineOptionValues(sim.platform().registry, options), RegistryError);
    EXPECT_EQ(sim.OpenKeyCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Values, WrongTypedOption,
    ::testing::Values(WrongValue{"Shell", {platform::kRegDword, {1, 0, 0, 0}}},
                      WrongValue{"Below", {platform::kRegBinary, {20, 0, 0, 0}}},
                      // A DWORD whose data is not four bytes is not read at all.
                      WrongValue{"Pause", {platform::kRegDword, {5, 0}}},
                      WrongValue{"CacheMax", {platform::kRegDword, std::vector<std::uint8_t>(8)}},
                      WrongValue{"Recover", {platform::kRegNone, {}}}));

class StartMode : public MachineOptionsTest,
                  public ::testing::WithParamInterface<std::pair<std::uint32_t, bool>> {};

TEST_P(StartMode, LoadOnWindowsStartupOnlyForAutomaticStart) {
    sim.SetDword(RegistryRoot::LocalMachine, kServiceKey, "Start", GetParam().first);
    EXPECT_EQ(ReadLoadOnWindowsStartup(sim.platform().registry), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Values, StartMode,
                         ::testing::Values(std::pair{2u, true}, std::pair{3u, false},
                                           std::pair{4u, false}, std::pair{0u, false}));

TEST_F(MachineOptionsTest, WithoutTheServiceKeyTheServiceDoesNotLoadWithWindows) {
    EXPECT_FALSE(ReadLoadOnWindowsStartup(sim.platform().registry));
    EXPECT_EQ(traces, std::vector<std::string>{"ReadLocalOptions key 2error"});
}

TEST_F(MachineOptionsTest, AServiceKeyWithoutAStartValueIsAnError) {
    sim.CreateKey(RegistryRoot::LocalMachine, kServiceKey);
    EXPECT_THROW(ReadLoadOnWindowsStartup(sim.platform().registry), RegistryError);
    sim.SetString(RegistryRoot::LocalMachine, kServiceKey, "Start", "2");
    EXPECT_THROW(ReadLoadOnWindowsStartup(sim.platform().registry), RegistryError);
    EXPECT_EQ(sim.OpenKeyCount(), 0);
}

}  // namespace
}  // namespace kxp
