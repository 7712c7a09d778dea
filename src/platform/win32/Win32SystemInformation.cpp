#include "platform/win32/Win32SystemInformation.h"

#include <cstddef>
#include <cstring>
#include <type_traits>

#include "platform/NativeRecords.h"

namespace kxp::win32 {

namespace {

using platform::MemoryStatusEx;

// The seam's record is copied to and from the system's byte for byte.
static_assert(std::is_trivially_copyable_v<MemoryStatusEx>);
static_assert(sizeof(MemoryStatusEx) == sizeof(MEMORYSTATUSEX));
static_assert(offsetof(MemoryStatusEx, dwMemoryLoad) == offsetof(MEMORYSTATUSEX, dwMemoryLoad));
static_assert(offsetof(MemoryStatusEx, ullTotalPhys) == offsetof(MEMORYSTATUSEX, ullTotalPhys));
static_assert(offsetof(MemoryStatusEx, ullAvailPhys) == offsetof(MEMORYSTATUSEX, ullAvailPhys));
static_assert(offsetof(MemoryStatusEx, ullTotalPageFile) ==
              offsetof(MEMORYSTATUSEX, ullTotalPageFile));
static_assert(offsetof(MemoryStatusEx, ullAvailPageFile) ==
              offsetof(MEMORYSTATUSEX, ullAvailPageFile));
static_assert(offsetof(MemoryStatusEx, ullTotalVirtual) ==
              offsetof(MEMORYSTATUSEX, ullTotalVirtual));
static_assert(offsetof(MemoryStatusEx, ullAvailVirtual) ==
              offsetof(MEMORYSTATUSEX, ullAvailVirtual));
static_assert(offsetof(MemoryStatusEx, ullAvailExtendedVirtual) ==
              offsetof(MEMORYSTATUSEX, ullAvailExtendedVirtual));

// GetProcAddress gives a generic function pointer; the detour through void(*)() tells the compiler
// the change of signature is intended.
template <typename Function>
Function NtdllEntry(const char* name) {
    HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    FARPROC entry = ntdll != nullptr ? ::GetProcAddress(ntdll, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(entry));
}

}  // namespace

Win32SystemInformation::Win32SystemInformation()
    : query_(NtdllEntry<QueryFunction>("NtQuerySystemInformation")),
      set_(NtdllEntry<SetFunction>("NtSetSystemInformation")) {}

bool Win32SystemInformation::GlobalMemoryStatusEx(MemoryStatusEx& status) {
    MEMORYSTATUSEX native;
    std::memcpy(&native, &status, sizeof native);
    const bool ok = ::GlobalMemoryStatusEx(&native) != FALSE;
    std::memcpy(static_cast<void*>(&status), &native, sizeof native);
    return ok;
}

std::uint32_t Win32SystemInformation::NumberOfProcessors() {
    SYSTEM_INFO info{};
    ::GetSystemInfo(&info);
    return info.dwNumberOfProcessors;
}

std::uint32_t Win32SystemInformation::NtQuerySystemInformation(std::uint32_t informationClass,
                                                               void* buffer, std::uint32_t length,
                                                               std::uint32_t* returnLength) {
    if (query_ == nullptr) return platform::kStatusNotImplemented;
    ULONG needed = 0;
    const LONG status = query_(informationClass, buffer, length, &needed);
    if (returnLength != nullptr) *returnLength = needed;
    return static_cast<std::uint32_t>(status);
}

std::uint32_t Win32SystemInformation::NtSetSystemInformation(std::uint32_t informationClass,
                                                             void* buffer, std::uint32_t length) {
    if (set_ == nullptr) return platform::kStatusNotImplemented;
    return static_cast<std::uint32_t>(set_(informationClass, buffer, length));
}

bool Win32SystemInformation::GetVersionExA(platform::OsVersionInfoA& info) {
    static_assert(sizeof(OSVERSIONINFOA) == sizeof(platform::OsVersionInfoA));
    OSVERSIONINFOA native;
    std::memcpy(&native, &info, sizeof native);
    const bool ok = ::GetVersionExA(&native) != FALSE;
    std::memcpy(static_cast<void*>(&info), &native, sizeof native);
    return ok;
}

}  // namespace kxp::win32
