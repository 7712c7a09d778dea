#include <gtest/gtest.h>

#include "platform/win32/Win32Privileges.h"
#include "sysinfo/FileCache.h"

namespace kxp::win32 {
namespace {

TEST(Win32Privileges, LookupGivesTheSystemsIdentifier) {
    Win32Privileges privileges;
    platform::Luid luid;
    ASSERT_TRUE(privileges.LookupPrivilegeValueA("SeIncreaseQuotaPrivilege", luid));
    EXPECT_EQ(luid.LowPart, 5u);
    EXPECT_EQ(luid.HighPart, 0);
    EXPECT_FALSE(privileges.LookupPrivilegeValueA("SeNoSuchPrivilege", luid));
}

TEST(Win32Privileges, EnablingAPrivilegeEveryTokenHoldsSucceeds) {
    Win32Privileges privileges;
    EXPECT_EQ(EnableTokenPrivilege(privileges, "SeChangeNotifyPrivilege"), 0);
}

TEST(Win32Privileges, AnUnknownNameGivesMinusThree) {
    Win32Privileges privileges;
    EXPECT_EQ(EnableTokenPrivilege(privileges, "SeNoSuchPrivilege"), -3);
}

TEST(Win32Privileges, ATokenWithoutAdjustAccessCannotBeAdjusted) {
    Win32Privileges privileges;
    const platform::Handle token = privileges.OpenProcessToken(platform::kTokenQuery);
    ASSERT_NE(token, 0u);
    platform::Luid luid;
    ASSERT_TRUE(privileges.LookupPrivilegeValueA("SeChangeNotifyPrivilege", luid));
    EXPECT_NE(privileges.AdjustTokenPrivileges(token, luid, platform::kSePrivilegeEnabled), 0u);
    privileges.CloseToken(token);
}

}  // namespace
}  // namespace kxp::win32
