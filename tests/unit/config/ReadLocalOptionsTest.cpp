#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "ServiceFixture.h"
#include "StoredValues.h"
#include "platform/RegistryKey.h"

namespace kxp::test {
namespace {

using platform::RegistryRoot;

constexpr const char* kQuota = "SeIncreaseQuotaPrivilege";

class ReadLocalOptionsTest : public ServiceTest {
  protected:
    void SetWrongTyped(const std::string& name) {
        sim.SetValue(RegistryRoot::LocalMachine, kOptionsKey, name,
                     {platform::kRegSz, {'1', '0', 0}});
    }
    void DeleteOption(const std::string& name) {
        RegistryKey::OpenWrite(sim.platform().registry, RegistryRoot::LocalMachine, kOptionsKey,
                               false)
            .DeleteValue(name);
    }
    int QuotaAdjustments() const {
        const auto adjustments = sim.PrivilegeAdjustments();
        return static_cast<int>(std::count(adjustments.begin(), adjustments.end(), kQuota));
    }
    // Below as held at each session check: [0] after the start, [k] after pass k.
    std::vector<std::int64_t> BelowByPass(int passes) {
        std::vector<std::int64_t> below;
        service.onSessionCheck = [this, &below](int) {
            below.push_back(service.MachineOptions().Below);
        };
        QuitAfterPass(passes);
        Run();
        return below;
    }
};

TEST_F(ReadLocalOptionsTest, OptionsAreReadAtStartEvenWithNobodyLoggedOn) {
    SetOption("Below", 20);
    SetOption("Pause", 5);
    QuitAfterPass(1);
    Run();
    EXPECT_EQ(service.MachineOptions().Below, 20 * kMiB);
    EXPECT_EQ(service.MachineOptions().Pause, 300);
}

TEST_F(ReadLocalOptionsTest, TheShellOptionReachesTheSampler) {
    sim.SetString(RegistryRoot::LocalMachine, kOptionsKey, "Shell",
                  "\"C:\\Program Files\\Shell\\Explorer.EXE\"");
    std::string name;
    bool inUse = false;
    service.onSessionCheck = [&](int) {
        name = service.SystemData->AltShellName;
        inUse = service.SystemData->UseAltShell;
    };
    QuitAfterPass(1);
    Run();
    EXPECT_EQ(name, "explorer.exe");
    EXPECT_TRUE(inUse);
}

class StartModeAtStart : public ReadLocalOptionsTest,
                         public ::testing::WithParamInterface<std::pair<std::uint32_t, bool>> {};

TEST_P(StartModeAtStart, OnlyAutomaticStartShowsLoadOnWindowsStartup) {
    sim.SetDword(RegistryRoot::LocalMachine, kServiceKey, "Start", GetParam().first);
    QuitAfterPass(1);
    Run();
    EXPECT_EQ(service.MachineOptions().LoadOnWindowsStartup, GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Values, StartModeAtStart,
                         ::testing::Values(std::pair{2u, true}, std::pair{3u, false},
                                           std::pair{4u, false}));

class QuotaPrivilege : public ReadLocalOptionsTest,
                       public ::testing::WithParamInterface<std::pair<std::int32_t, int>> {};

// The start enables it once in any case; a positive Cache adds one at every read.
TEST_P(QuotaPrivilege, IsEnabledByTheReadOnlyWhenCacheIsPositive) {
    SetOption("Cache", GetParam().first);
    LogOn();
    ControlDuringPass(2, SV_READLOCALOPTIONS);
    QuitAfterPass(3);
    Run();
    EXPECT_EQ(QuotaAdjustments(), 1 + 2 * GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Values, QuotaPrivilege,
                         ::testing::Values(std::pair{0, 0}, std::pair{-1, 0}, std::pair{1, 1},
                                           std::pair{2, 1}, std::pair{3, 1}));

TEST_F(ReadLocalOptionsTest, Code132RereadsEverythingFromTheDefaults) {
    LogOn();
    SetOption("Below", 20);
    SetOption("Pause", 5);
    sim.At(DuringPass(2), [this] {
        DeleteOption("Below");
        SetOption("Pause", 7);
        sim.SendControl(SV_READLOCALOPTIONS);
    });
    QuitAfterPass(3);
    Run();
    EXPECT_EQ(service.MachineOptions().Below, 52428800);
    EXPECT_EQ(service.MachineOptions().Pause, 420);
}

TEST_F(ReadLocalOptionsTest, ReadsAreRefusedDuringARestoreAndFollowItsEnd) {
    LogOn();
    SetOption("Below", 20);
    ControlDuringPass(1, RESTORESTART);
    sim.At(DuringPass(2), [this] {
        SetOption("Below", 30);
        sim.SendControl(SV_READLOCALOPTIONS);
    });
    ControlDuringPass(4, RESTOREEND);
    const auto below = BelowByPass(5);
    ASSERT_EQ(below.size(), 6u);
    EXPECT_EQ(below[3], 20 * kMiB);  // the request of pass 2 came during the restore
    EXPECT_EQ(below[5], 30 * kMiB);
}

TEST_F(ReadLocalOptionsTest, AWrongTypedOptionAtStartKeepsTheServiceRunning) {
    SetOption("Below", 20);
    SetWrongTyped("Threshold");
    SetOption("Cache", 2);
    QuitAfterPass(5);
    Run();
    EXPECT_EQ(Passes(), 5);
    EXPECT_TRUE(Traced("###### ReadLocalOptions error: Invalid data type for 'Threshold'"));
    EXPECT_EQ(service.MachineOptions().Below, 20 * kMiB);
    EXPECT_EQ(service.MachineOptions().Cache, 0);
    EXPECT_EQ(QuotaAdjustments(), 1);
    EXPECT_TRUE(sim.MessageBoxes().empty());
}

TEST_F(ReadLocalOptionsTest, AWrongTypedOptionOnCode132KeepsTheServiceRunning) {
    LogOn();
    SetOption("Pause", 5);
    sim.At(DuringPass(2), [this] {
        SetOption("Recover", 0);
        SetWrongTyped("Below");
        sim.SendControl(SV_READLOCALOPTIONS);
    });
    QuitAfterPass(6);
    Run();
    EXPECT_EQ(Passes(), 6);
    EXPECT_EQ(TraceCount("###### ReadLocalOptions error: Invalid data type for 'Below'"), 1);
    EXPECT_FALSE(service.MachineOptions().Recover);
    EXPECT_EQ(service.MachineOptions().Pause, 10800);  // after the failure: its default
}

TEST_F(ReadLocalOptionsTest, AServiceKeyWithoutStartEndsTheReadAfterTheShell) {
    sim.CreateKey(RegistryRoot::LocalMachine, kServiceKey);
    SetOption("Cache", 1);
    sim.SetString(RegistryRoot::LocalMachine, kOptionsKey, "Shell", "myshell.exe");
    std::string shell;
    service.onSessionCheck = [&](int) { shell = service.SystemData->AltShellName; };
    QuitAfterPass(2);
    Run();
    EXPECT_EQ(Passes(), 2);
    EXPECT_EQ(shell, "myshell.exe");
    EXPECT_FALSE(service.MachineOptions().LoadOnWindowsStartup);
    EXPECT_EQ(QuotaAdjustments(), 1);  // the read stopped before the privilege
}

}  // namespace
}  // namespace kxp::test
