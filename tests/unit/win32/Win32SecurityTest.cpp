// Processes, tokens, impersonation and profiles on the real API (run under Wine by the Windows
// build's tests).
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it builds on.
#include <sddl.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/SecurityHandle.h"
#include "platform/win32/Win32Security.h"
#include "service/SessionSid.h"

namespace kxp::win32 {
namespace {

std::string OwnUserName() {
    std::array<char, 256> name{};
    DWORD size = name.size();
    return ::GetUserNameA(name.data(), &size) ? std::string(name.data()) : std::string();
}

class Win32SecurityTest : public ::testing::Test {
  protected:
    UniqueSecurityHandle Own(platform::Handle handle) { return OwnHandle(security, handle); }

    // The own process's token duplicated as the service duplicates the shell's.
    UniqueSecurityHandle UserToken() {
        const auto process =
            Own(security.OpenProcess(platform::kProcessQueryInformation | platform::kProcessVmRead,
                                     false, ::GetCurrentProcessId()));
        if (!process) return {};
        const auto token = Own(security.OpenProcessToken(process.get(), platform::kTokenDuplicate));
        if (!token) return {};
        return Own(security.DuplicateTokenEx(token.get(), platform::kTokenAllAccess,
                                             platform::kSecurityImpersonation,
                                             platform::kTokenPrimary));
    }

    Win32Security security;
};

TEST_F(Win32SecurityTest, TheTokenUserRecordGrowsToTheAskedSizeAndNamesTheSid) {
    const auto token = UserToken();
    ASSERT_TRUE(token);
    std::uint32_t needed = 0;
    EXPECT_FALSE(
        security.GetTokenInformation(token.get(), platform::kTokenUser, nullptr, 0, needed));
    EXPECT_EQ(security.GetLastError(), platform::kErrorInsufficientBuffer);
    ASSERT_GT(needed, 16u);
    std::vector<std::uint8_t> record(needed);
    ASSERT_TRUE(security.GetTokenInformation(token.get(), platform::kTokenUser, record.data(),
                                             needed, needed));

    char* expected = nullptr;
    ASSERT_TRUE(::ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(record.data())->User.Sid,
                                         &expected));
    EXPECT_EQ(TokenUserSidText(record), expected);
    ::LocalFree(expected);
}

TEST_F(Win32SecurityTest, ImpersonatingTheOwnUserNamesItAndRevertsToSelf) {
    const std::string own = OwnUserName();
    const auto token = UserToken();
    ASSERT_TRUE(token);
    ASSERT_TRUE(security.ImpersonateLoggedOnUser(token.get()));
    std::array<char, 256> name{};
    std::uint32_t size = name.size();
    const bool named = security.GetUserNameA(name.data(), size);
    EXPECT_TRUE(security.RevertToSelf());
    ASSERT_TRUE(named);
    EXPECT_EQ(std::string(name.data()), own);
    EXPECT_EQ(size, own.size() + 1);
}

TEST_F(Win32SecurityTest, AProfileLoadsAndUnloadsWithTheRecordOfThisArchitecture) {
    const auto token = UserToken();
    ASSERT_TRUE(token);
    platform::ProfileInfo profile{platform::kPiNoUi, OwnUserName(), 0};
    if (!security.LoadUserProfileA(token.get(), profile)) {
        GTEST_SKIP() << "LoadUserProfileA failed with " << security.GetLastError();
    }
    EXPECT_NE(profile.profile, 0u);
    // Wine's UnloadUserProfile is a stub that fails; EndImpersonation goes on regardless.
    if (!security.UnloadUserProfile(token.get(), profile.profile)) {
        GTEST_SKIP() << "UnloadUserProfile failed with " << security.GetLastError();
    }
}

TEST_F(Win32SecurityTest, AProcessOpenedForTerminationEnds) {
    std::array<char, MAX_PATH> self{};
    ASSERT_NE(::GetModuleFileNameA(nullptr, self.data(), self.size()), 0u);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    // Suspended: it never runs any of its own code.
    ASSERT_TRUE(::CreateProcessA(self.data(), nullptr, nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                                 nullptr, nullptr, &startup, &child));
    const auto childProcess = Own(reinterpret_cast<platform::Handle>(child.hProcess));
    const auto childThread = Own(reinterpret_cast<platform::Handle>(child.hThread));

    const auto process =
        Own(security.OpenProcess(platform::kProcessTerminate, false, child.dwProcessId));
    ASSERT_TRUE(process);
    EXPECT_TRUE(security.TerminateProcess(process.get(), 0));
    ASSERT_EQ(::WaitForSingleObject(child.hProcess, 10000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    EXPECT_TRUE(::GetExitCodeProcess(child.hProcess, &exitCode));
    EXPECT_EQ(exitCode, 0u);
}

TEST_F(Win32SecurityTest, OpeningAProcessThatDoesNotExistFailsWithAReason) {
    EXPECT_EQ(security.OpenProcess(platform::kProcessTerminate, false, 0xFFFFFFF0u), 0u);
    EXPECT_NE(security.GetLastError(), 0u);
}

}  // namespace
}  // namespace kxp::win32
