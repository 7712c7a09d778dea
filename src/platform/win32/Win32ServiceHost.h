// The service's connection to the service control manager: running as a service (three threads),
// status reports, installation and removal, error texts and the event log.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>

#include "platform/Platform.h"

namespace kxp::win32 {

class Win32ServiceHost final : public platform::ServiceHost {
  public:
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
    // What the control manager calls: ServiceMain on a thread of its own (the service thread), the
    // control handler on the dispatcher thread.
    static void WINAPI ServiceMainCallback(DWORD argc, LPSTR* argv);
    static DWORD WINAPI ControlCallback(DWORD code, DWORD eventType, LPVOID eventData,
                                        LPVOID context);

    void ConnectDispatcher();
    void RunService();

    // Set before the dispatcher thread starts and only read afterwards.
    std::string serviceName_;
    DWORD serviceType_ = SERVICE_WIN32_OWN_PROCESS;
    platform::ServiceEntry* entry_ = nullptr;
    DWORD mainThreadId_ = 0;

    std::atomic<bool> dispatcherFailed_{false};
    std::atomic<bool> handlerRegistered_{false};

    std::mutex statusMutex_;
    SERVICE_STATUS_HANDLE statusHandle_ = nullptr;  // null before registration and after STOPPED
    DWORD checkPoint_ = 0;
};

}  // namespace kxp::win32
