#include "platform/win32/Win32Privileges.h"

#include <windows.h>

#include "platform/win32/Win32Handles.h"

namespace kxp::win32 {

// One entry: the size of the previous-state buffer the adjustment is given.
static_assert(sizeof(TOKEN_PRIVILEGES) == 16);

platform::Handle Win32Privileges::OpenProcessToken(std::uint32_t access) {
    HANDLE token = nullptr;
    if (::OpenProcessToken(::GetCurrentProcess(), access, &token) == FALSE) return 0;
    return FromHandle(token);
}

void Win32Privileges::CloseToken(platform::Handle token) {
    ::CloseHandle(AsHandle(token));
}

bool Win32Privileges::LookupPrivilegeValueA(const std::string& name, platform::Luid& luid) {
    LUID value{};
    if (::LookupPrivilegeValueA(nullptr, name.c_str(), &value) == FALSE) return false;
    luid = platform::Luid{value.LowPart, value.HighPart};
    return true;
}

std::uint32_t Win32Privileges::AdjustTokenPrivileges(platform::Handle token,
                                                     const platform::Luid& luid,
                                                     std::uint32_t attributes) {
    TOKEN_PRIVILEGES state{};
    state.PrivilegeCount = 1;
    state.Privileges[0].Luid.LowPart = luid.LowPart;
    state.Privileges[0].Luid.HighPart = luid.HighPart;
    state.Privileges[0].Attributes = attributes;
    TOKEN_PRIVILEGES previous{};
    DWORD returnLength = 0;
    ::AdjustTokenPrivileges(AsHandle(token), FALSE, &state, sizeof previous, &previous,
                            &returnLength);
    // The call's result alone does not tell whether the privilege is held: the error code does
    // (ERROR_NOT_ALL_ASSIGNED), and it is set on success too.
    return ::GetLastError();
}

}  // namespace kxp::win32
