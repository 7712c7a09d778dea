// The platform interfaces the simulated machine serves, each a thin view of the shared state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/sim/SimState.h"

namespace kxp::sim::detail {

class SimClock final : public platform::Clock {
  public:
    explicit SimClock(SimState& state) : state_(state) {}
    std::uint32_t GetTickCount() override;
    void Sleep(std::uint32_t milliseconds) override;

  private:
    SimState& state_;
};

class SimSystemInformation final : public platform::SystemInformation {
  public:
    explicit SimSystemInformation(SimState& state) : state_(state) {}
    bool GlobalMemoryStatusEx(platform::MemoryStatusEx& status) override;
    std::uint32_t NumberOfProcessors() override;
    std::uint32_t NtQuerySystemInformation(std::uint32_t informationClass, void* buffer,
                                           std::uint32_t length,
                                           std::uint32_t* returnLength) override;
    std::uint32_t NtSetSystemInformation(std::uint32_t informationClass, void* buffer,
                                         std::uint32_t length) override;
    bool GetVersionExA(platform::OsVersionInfoA& info) override;

  private:
    SimState& state_;
};

class SimRegistry final : public platform::Registry {
  public:
    explicit SimRegistry(SimState& state) : state_(state) {}
    platform::Handle OpenKey(platform::RegistryRoot root, const std::string& path, bool write,
                             bool create) override;
    void CloseKey(platform::Handle key) override;
    bool QueryValue(platform::Handle key, const std::string& name, std::uint32_t& type,
                    std::vector<std::uint8_t>& data) override;
    bool SetValue(platform::Handle key, const std::string& name, std::uint32_t type,
                  const std::vector<std::uint8_t>& data) override;
    bool DeleteValue(platform::Handle key, const std::string& name) override;
    std::uint32_t QueryPerformanceData(const std::string& name, std::uint8_t* buffer,
                                       std::uint32_t& size) override;

  private:
    SimState& state_;
};

class SimWindows final : public platform::Windows {
  public:
    explicit SimWindows(SimState& state) : state_(state) {}
    platform::Handle FindWindowA(const char* className, const char* title) override;
    bool SendMessageTimeoutA(platform::Handle window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam, std::uint32_t flags,
                             std::uint32_t timeoutMs) override;
    std::uint32_t RegisterWindowMessageA(const std::string& name) override;
    void PumpThreadMessages() override;
    void ShowMessage(const std::string& text, const std::string& caption,
                     std::uint32_t flags) override;
    void WaitForShownMessages(std::uint32_t timeoutMs) override;
    // Windows of the code under test, their queues and timers (SimHiddenWindow.cpp).
    platform::Handle CreateHiddenWindow(const std::string& className,
                                        platform::WindowProcedure& procedure) override;
    bool DestroyWindow(platform::Handle window) override;
    bool PostMessageA(platform::Handle window, std::uint32_t message, std::uintptr_t wParam,
                      std::intptr_t lParam) override;
    bool SetTimer(platform::Handle window, std::uintptr_t id, std::uint32_t intervalMs) override;
    bool KillTimer(platform::Handle window, std::uintptr_t id) override;
    // Hot keys (SimHotKeys.cpp).
    bool RegisterHotKey(platform::Handle window, std::int32_t id, std::uint32_t modifiers,
                        std::uint32_t keyCode) override;
    bool UnregisterHotKey(platform::Handle window, std::int32_t id) override;
    // The window watch (SimWindowWatch.cpp).
    void EnumWindows(const std::function<bool(platform::Handle)>& visit) override;
    std::uint32_t GetWindowThreadProcessId(platform::Handle window,
                                           std::uint32_t* processId) override;
    bool GetWindowRect(platform::Handle window, platform::Rect& rect) override;
    bool SetWindowPos(platform::Handle window, platform::Handle insertAfter, std::int32_t x,
                      std::int32_t y, std::int32_t cx, std::int32_t cy,
                      std::uint32_t flags) override;
    std::int32_t GetWindowLongA(platform::Handle window, std::int32_t index) override;
    platform::Handle GetForegroundWindow() override;
    platform::Handle GetDesktopWindow() override;
    bool SetForegroundWindow(platform::Handle window) override;
    std::int32_t GetSystemMetrics(std::int32_t index) override;
    std::int32_t GetWindowTextA(platform::Handle window, char* buffer,
                                std::int32_t maxCount) override;
    bool IsWindowVisible(platform::Handle window) override;

  private:
    SimState& state_;
};

class SimProcessApi final : public platform::Process {
  public:
    explicit SimProcessApi(SimState& state) : state_(state) {}
    bool TrimWorkingSet() override;
    std::string ModuleFileName() override;
    void OutputDebugStringA(const std::string& text) override;
    bool SetPriorityClass(std::uint32_t priorityClass) override;
    [[noreturn]] void ExitProcess(std::uint32_t exitCode) override;

  private:
    SimState& state_;
};

class SimServiceHost final : public platform::ServiceHost {
  public:
    explicit SimServiceHost(SimState& state) : state_(state) {}
    bool RunServiceApplication(const platform::ServiceDeclaration& service,
                               platform::ServiceEntry& entry) override;
    void ReportStatus(platform::ServiceState state, std::uint32_t controlsAccepted,
                      std::uint32_t exitCode, std::uint32_t serviceExitCode) override;
    std::uint32_t InstallService(const platform::ServiceDeclaration& service,
                                 const std::string& binaryPath) override;
    std::uint32_t UninstallService(const std::string& name) override;
    std::string ErrorText(std::uint32_t errorCode) override;
    void LogError(const std::string& source, const std::string& text) override;

  private:
    SimState& state_;
};

}  // namespace kxp::sim::detail
