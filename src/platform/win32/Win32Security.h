// Processes, tokens, impersonation and profiles on the real API.
#pragma once

#include "platform/Platform.h"

namespace kxp::win32 {

class Win32Security final : public platform::Security {
  public:
    platform::Handle OpenProcess(std::uint32_t access, bool inherit,
                                 std::uint32_t processId) override;
    bool TerminateProcess(platform::Handle process, std::uint32_t exitCode) override;
    bool CloseHandle(platform::Handle handle) override;
    platform::Handle OpenProcessToken(platform::Handle process, std::uint32_t access) override;
    platform::Handle DuplicateTokenEx(platform::Handle token, std::uint32_t access,
                                      std::uint32_t impersonationLevel,
                                      std::uint32_t tokenType) override;
    bool ImpersonateLoggedOnUser(platform::Handle token) override;
    bool RevertToSelf() override;
    bool GetUserNameA(char* buffer, std::uint32_t& size) override;
    bool GetTokenInformation(platform::Handle token, std::uint32_t informationClass, void* buffer,
                             std::uint32_t length, std::uint32_t& returnLength) override;
    bool LoadUserProfileA(platform::Handle token, platform::ProfileInfo& profile) override;
    bool UnloadUserProfile(platform::Handle token, platform::Handle profile) override;
    bool CreateProcessAsUserA(platform::Handle token, const std::string& commandLine,
                              std::uint32_t creationFlags, const std::string& currentDirectory,
                              const std::string& desktop) override;
    std::uint32_t GetLastError() override;
};

}  // namespace kxp::win32
