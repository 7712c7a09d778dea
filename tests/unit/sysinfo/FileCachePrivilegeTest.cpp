#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ServiceFixture.h"
#include "platform/sim/SimMachine.h"
#include "sysinfo/FileCache.h"

namespace kxp {
namespace {

constexpr const char* kQuota = "SeIncreaseQuotaPrivilege";

class EnableTokenPrivilegeTest : public ::testing::Test {
  protected:
    std::int32_t Enable(const std::string& name) {
        return EnableTokenPrivilege(sim.platform().privileges, name);
    }
    sim::SimMachine sim;
};

TEST_F(EnableTokenPrivilegeTest, AHeldPrivilegeIsEnabledAndTheTokenClosed) {
    EXPECT_EQ(Enable(kQuota), 0);
    EXPECT_TRUE(sim.PrivilegeEnabled(kQuota));
    EXPECT_EQ(sim.OpenTokenCount(), 0);
}

TEST_F(EnableTokenPrivilegeTest, ATokenThatCannotBeOpenedGivesMinusTwo) {
    sim.FailTokenOpen(true);
    EXPECT_EQ(Enable(kQuota), -2);
    EXPECT_TRUE(sim.PrivilegeAdjustments().empty());
}

TEST_F(EnableTokenPrivilegeTest, AnUnknownNameGivesMinusThreeAndClosesTheToken) {
    EXPECT_EQ(Enable("SeNoSuchPrivilege"), -3);
    EXPECT_EQ(Enable(""), -3);
    EXPECT_TRUE(sim.PrivilegeAdjustments().empty());
    EXPECT_EQ(sim.OpenTokenCount(), 0);
}

TEST_F(EnableTokenPrivilegeTest, APrivilegeNotHeldGivesMinusFour) {
    sim.SetHeldPrivileges({"SeImpersonatePrivilege"});
    EXPECT_EQ(Enable(kQuota), -4);
    EXPECT_FALSE(sim.PrivilegeEnabled(kQuota));
    EXPECT_EQ(sim.PrivilegeAdjustments(), std::vector<std::string>{kQuota});
    EXPECT_EQ(sim.OpenTokenCount(), 0);
}

TEST_F(EnableTokenPrivilegeTest, NamesAreLookedUpWhateverTheirCase) {
    EXPECT_EQ(Enable("seincreasequotaprivilege"), 0);
    EXPECT_TRUE(sim.PrivilegeEnabled(kQuota));
}

class StartPrivilegesTest : public test::ServiceTest {};

TEST_F(StartPrivilegesTest, TheStartEnablesSevenPrivilegesInOrderAndGoesOnWhenSomeFail) {
    sim.SetHeldPrivileges({"SeIncreaseQuotaPrivilege", "SeImpersonatePrivilege"});
    QuitAfterPass(1);
    Run();
    const std::vector<std::string> expected = {
        "SeIncreaseQuotaPrivilege", "SeImpersonatePrivilege", "SeAssignPrimaryTokenPrivilege",
        "SeCreateTokenPrivilege",   "SeTcbPrivilege",         "SeRestorePrivilege",
        "SeBackupPrivilege"};
    const auto adjustments = sim.PrivilegeAdjustments();
    ASSERT_GE(adjustments.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(adjustments.begin(), adjustments.begin() + 7), expected);
    EXPECT_TRUE(sim.PrivilegeEnabled("SeImpersonatePrivilege"));
    EXPECT_FALSE(sim.PrivilegeEnabled("SeTcbPrivilege"));
    EXPECT_EQ(Passes(), 1);
    EXPECT_EQ(sim.OpenTokenCount(), 0);
}

TEST_F(StartPrivilegesTest, WithoutATokenTheServiceStillRuns) {
    sim.FailTokenOpen(true);
    QuitAfterPass(2);
    Run();
    EXPECT_EQ(Passes(), 2);
    EXPECT_TRUE(sim.PrivilegeAdjustments().empty());
}

}  // namespace
}  // namespace kxp
