// Memory status, processor count and the native system queries.
#pragma once

#include <windows.h>

#include "platform/Platform.h"

namespace kxp::win32 {

class Win32SystemInformation final : public platform::SystemInformation {
  public:
    // Looks up the native entry points once; a missing one answers "not implemented".
    Win32SystemInformation();

    bool GlobalMemoryStatusEx(platform::MemoryStatusEx& status) override;
    std::uint32_t NumberOfProcessors() override;
    std::uint32_t NtQuerySystemInformation(std::uint32_t informationClass, void* buffer,
                                           std::uint32_t length,
                                           std::uint32_t* returnLength) override;
    std::uint32_t NtSetSystemInformation(std::uint32_t informationClass, void* buffer,
                                         std::uint32_t length) override;
    bool GetVersionExA(platform::OsVersionInfoA& info) override;

  private:
    using QueryFunction = LONG(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
    using SetFunction = LONG(NTAPI*)(ULONG, PVOID, ULONG);

    QueryFunction query_ = nullptr;
    SetFunction set_ = nullptr;
};

}  // namespace kxp::win32
