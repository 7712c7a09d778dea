// The seam between the service's logic and Windows. Each interface is as thin as the Windows calls
// it stands for; win32/ implements them on the real API, sim/ on plain data for the unit tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kxp::platform {

// An opaque Windows handle (HWND, HKEY, HANDLE...). 0 is "none".
using Handle = std::uintptr_t;

// MEMORYSTATUSEX, byte for byte.
struct MemoryStatusEx {
    std::uint32_t dwLength = sizeof(MemoryStatusEx);
    std::uint32_t dwMemoryLoad = 0;
    std::uint64_t ullTotalPhys = 0;
    std::uint64_t ullAvailPhys = 0;
    std::uint64_t ullTotalPageFile = 0;
    std::uint64_t ullAvailPageFile = 0;
    std::uint64_t ullTotalVirtual = 0;
    std::uint64_t ullAvailVirtual = 0;
    std::uint64_t ullAvailExtendedVirtual = 0;
};
static_assert(sizeof(MemoryStatusEx) == 64);

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::uint32_t GetTickCount() = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
};

class SystemInformation {
public:
    virtual ~SystemInformation() = default;
    virtual bool GlobalMemoryStatusEx(MemoryStatusEx& status) = 0;
    // GetSystemInfo's dwNumberOfProcessors.
    virtual std::uint32_t NumberOfProcessors() = 0;
    // NTSTATUS results; returnLength may be null.
    virtual std::uint32_t NtQuerySystemInformation(std::uint32_t informationClass, void* buffer,
                                                   std::uint32_t length,
                                                   std::uint32_t* returnLength) = 0;
    virtual std::uint32_t NtSetSystemInformation(std::uint32_t informationClass, void* buffer,
                                                 std::uint32_t length) = 0;
};

enum class RegistryRoot { LocalMachine, Users, CurrentUser };

// Registry value types, as REG_SZ, REG_DWORD...
enum RegistryType : std::uint32_t {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
};

class Registry {
public:
    virtual ~Registry() = default;
    // Returns 0 when the key cannot be opened (or created, with create set).
    virtual Handle OpenKey(RegistryRoot root, const std::string& path, bool write, bool create) = 0;
    virtual void CloseKey(Handle key) = 0;
    // False when the value does not exist or cannot be read.
    virtual bool QueryValue(Handle key, const std::string& name, std::uint32_t& type,
                            std::vector<std::uint8_t>& data) = 0;
    virtual bool SetValue(Handle key, const std::string& name, std::uint32_t type,
                          const std::vector<std::uint8_t>& data) = 0;
    virtual bool DeleteValue(Handle key, const std::string& name) = 0;
};

// SendMessageTimeout flags and the messages the service uses.
inline constexpr std::uint32_t kSmtoNormal = 0x0000;
inline constexpr std::uint32_t kSmtoAbortIfHung = 0x0002;
inline constexpr std::uint32_t kWmNull = 0x0000;
inline constexpr Handle kHwndBroadcast = 0xFFFF;

class Windows {
public:
    virtual ~Windows() = default;
    // Class or title may be null (any).
    virtual Handle FindWindowA(const char* className, const char* title) = 0;
    // False when the call failed or timed out (hung window).
    virtual bool SendMessageTimeoutA(Handle window, std::uint32_t message, std::uintptr_t wParam,
                                     std::intptr_t lParam, std::uint32_t flags,
                                     std::uint32_t timeoutMs) = 0;
    virtual std::uint32_t RegisterWindowMessageA(const std::string& name) = 0;
    // Dispatches the window messages already queued for the calling thread, without waiting.
    virtual void PumpThreadMessages() = 0;
    virtual int MessageBoxA(const std::string& text, const std::string& caption,
                            std::uint32_t flags) = 0;
};

inline constexpr std::uint32_t kMbOk = 0x0000;
inline constexpr std::uint32_t kMbIconError = 0x0010;
inline constexpr std::uint32_t kMbIconInformation = 0x0040;

class Process {
public:
    virtual ~Process() = default;
    // SetProcessWorkingSetSize(GetCurrentProcess(), -1, -1).
    virtual bool TrimWorkingSet() = 0;
    virtual std::string ModuleFileName() = 0;
    virtual void OutputDebugStringA(const std::string& text) = 0;
    // Ends the process at once, without clean-up.
    [[noreturn]] virtual void ExitProcess(std::uint32_t exitCode) = 0;
};

// Service states and control codes as the service control manager numbers them.
enum class ServiceState : std::uint32_t {
    Stopped = 1,
    StartPending = 2,
    StopPending = 3,
    Running = 4,
};
inline constexpr std::uint32_t kControlStop = 1;
inline constexpr std::uint32_t kControlInterrogate = 4;
inline constexpr std::uint32_t kControlShutdown = 5;
inline constexpr std::uint32_t kAcceptStop = 0x1;
inline constexpr std::uint32_t kAcceptShutdown = 0x4;

// What the service control dispatcher calls back into.
class ServiceEntry {
public:
    virtual ~ServiceEntry() = default;
    // Runs on the thread the control manager starts for the service; returns when it has ended.
    virtual void ServiceMain() = 0;
    // Runs on the dispatcher thread for every control code.
    virtual void Control(std::uint32_t code) = 0;
};

struct ServiceDeclaration {
    std::string name;
    std::string displayName;
    bool interactive = false;
};

class ServiceHost {
public:
    virtual ~ServiceHost() = default;
    // Connects to the control manager and runs the calling (main) thread's message loop until the
    // service has ended. False when the process was not started by the control manager.
    virtual bool RunServiceApplication(const ServiceDeclaration& service, ServiceEntry& entry) = 0;
    virtual void ReportStatus(ServiceState state, std::uint32_t controlsAccepted,
                              std::uint32_t exitCode) = 0;
    // 0 on success, else the system error code.
    virtual std::uint32_t InstallService(const ServiceDeclaration& service,
                                         const std::string& binaryPath) = 0;
    virtual std::uint32_t UninstallService(const std::string& name) = 0;
    virtual std::string ErrorText(std::uint32_t errorCode) = 0;
    virtual void LogError(const std::string& source, const std::string& text) = 0;
};

// Everything the service may call, handed to the owner at construction.
struct Platform {
    Clock& clock;
    SystemInformation& system;
    Registry& registry;
    Windows& windows;
    Process& process;
    ServiceHost& services;
};

}  // namespace kxp::platform
