#include "platform/win32/Win32Security.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <userenv.h>

#include <string>
#include <vector>

#include "platform/win32/Win32Handles.h"

namespace kxp::win32 {
platform::Handle Win32Security::OpenProcess(std::uint32_t access, bool inherit,
                                            std::uint32_t processId) {
    return FromHandle(::OpenProcess(access, inherit ? TRUE : FALSE, processId));
}

bool Win32Security::TerminateProcess(platform::Handle process, std::uint32_t exitCode) {
    return ::TerminateProcess(AsHandle(process), exitCode) != FALSE;
}

bool Win32Security::CloseHandle(platform::Handle handle) {
    return ::CloseHandle(AsHandle(handle)) != FALSE;
}

platform::Handle Win32Security::OpenProcessToken(platform::Handle process, std::uint32_t access) {
    HANDLE token = nullptr;
    if (::OpenProcessToken(AsHandle(process), access, &token) == FALSE) return 0;
    return FromHandle(token);
}

platform::Handle Win32Security::DuplicateTokenEx(platform::Handle token, std::uint32_t access,
                                                 std::uint32_t impersonationLevel,
                                                 std::uint32_t tokenType) {
    HANDLE duplicate = nullptr;
    if (::DuplicateTokenEx(AsHandle(token), access, nullptr,
                           static_cast<SECURITY_IMPERSONATION_LEVEL>(impersonationLevel),
                           static_cast<TOKEN_TYPE>(tokenType), &duplicate) == FALSE) {
        return 0;
    }
    return FromHandle(duplicate);
}

bool Win32Security::ImpersonateLoggedOnUser(platform::Handle token) {
    return ::ImpersonateLoggedOnUser(AsHandle(token)) != FALSE;
}

bool Win32Security::RevertToSelf() {
    return ::RevertToSelf() != FALSE;
}

bool Win32Security::GetUserNameA(char* buffer, std::uint32_t& size) {
    DWORD chars = size;
    const bool done = ::GetUserNameA(buffer, &chars) != FALSE;
    size = chars;
    return done;
}

bool Win32Security::GetTokenInformation(platform::Handle token, std::uint32_t informationClass,
                                        void* buffer, std::uint32_t length,
                                        std::uint32_t& returnLength) {
    DWORD needed = 0;
    const bool done = ::GetTokenInformation(AsHandle(token),
                                            static_cast<TOKEN_INFORMATION_CLASS>(informationClass),
                                            buffer, length, &needed) != FALSE;
    returnLength = needed;
    return done;
}

bool Win32Security::LoadUserProfileA(platform::Handle token, platform::ProfileInfo& profile) {
    // The record has the layout of the build's architecture; its size member says which.
    std::string userName = profile.userName;
    PROFILEINFOA info{};
    info.dwSize = sizeof info;
    info.dwFlags = profile.flags;
    info.lpUserName = userName.data();
    if (::LoadUserProfileA(AsHandle(token), &info) == FALSE) return false;
    profile.profile = FromHandle(info.hProfile);
    return true;
}

bool Win32Security::UnloadUserProfile(platform::Handle token, platform::Handle profile) {
    return ::UnloadUserProfile(AsHandle(token), AsHandle(profile)) != FALSE;
}

bool Win32Security::CreateProcessAsUserA(platform::Handle token, const std::string& commandLine,
                                         std::uint32_t creationFlags,
                                         const std::string& currentDirectory,
                                         const std::string& desktop) {
    // The call may write into the command line and the desktop name: both get copies.
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    std::vector<char> desktopName(desktop.begin(), desktop.end());
    desktopName.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.lpDesktop = desktopName.data();
    PROCESS_INFORMATION created{};
    if (::CreateProcessAsUserA(AsHandle(token), nullptr, line.data(), nullptr, nullptr, FALSE,
                               creationFlags, nullptr,
                               currentDirectory.empty() ? nullptr : currentDirectory.c_str(),
                               &startup, &created) == FALSE) {
        return false;
    }
    ::CloseHandle(created.hProcess);
    ::CloseHandle(created.hThread);
    return true;
}

std::uint32_t Win32Security::GetLastError() {
    return ::GetLastError();
}

}  // namespace kxp::win32
