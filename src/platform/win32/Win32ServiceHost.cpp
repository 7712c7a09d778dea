#include "platform/win32/Win32ServiceHost.h"

#include <thread>

namespace kxp::win32 {

namespace {

// How long the control manager should wait for the next report while a start or stop is pending.
constexpr DWORD kPendingWaitHintMs = 3000;

// ServiceMain receives no context from the control manager, so it finds the running host here.
// A process runs one service, so one pointer is all the callbacks need.
std::atomic<Win32ServiceHost*> runningHost{nullptr};

}  // namespace

bool Win32ServiceHost::RunServiceApplication(const platform::ServiceDeclaration& service,
                                             platform::ServiceEntry& entry) {
    serviceName_ = service.name;
    serviceType_ =
        SERVICE_WIN32_OWN_PROCESS | (service.interactive ? SERVICE_INTERACTIVE_PROCESS : 0);
    entry_ = &entry;
    mainThreadId_ = ::GetCurrentThreadId();
    dispatcherFailed_ = false;
    handlerRegistered_ = false;

    // A thread gets its message queue only when it first asks for one; create it now so that the
    // quit message posted by another thread cannot be lost.
    MSG message;
    ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);

    runningHost = this;
    std::thread dispatcher(&Win32ServiceHost::ConnectDispatcher, this);
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    // The dispatcher returns at once when it could not connect, else once STOPPED is reported.
    // Without a registered handler nothing can report STOPPED: its thread ends with the process.
    if (dispatcherFailed_ || handlerRegistered_) {
        dispatcher.join();
    } else {
        dispatcher.detach();
    }
    runningHost = nullptr;
    return !dispatcherFailed_;
}

void Win32ServiceHost::ConnectDispatcher() {
    SERVICE_TABLE_ENTRYA table[] = {{serviceName_.data(), &ServiceMainCallback},
                                    {nullptr, nullptr}};
    // Fails with ERROR_FAILED_SERVICE_CONTROLLER_CONNECT when the control manager did not start us.
    if (!::StartServiceCtrlDispatcherA(table)) {
        dispatcherFailed_ = true;
        ::PostThreadMessageA(mainThreadId_, WM_QUIT, 0, 0);
    }
}

void WINAPI Win32ServiceHost::ServiceMainCallback(DWORD, LPSTR*) {
    if (Win32ServiceHost* host = runningHost.load()) host->RunService();
}

DWORD WINAPI Win32ServiceHost::ControlCallback(DWORD code, DWORD, LPVOID, LPVOID context) {
    return static_cast<Win32ServiceHost*>(context)->entry_->Control(code);
}

void Win32ServiceHost::RunService() {
    SERVICE_STATUS_HANDLE handle =
        ::RegisterServiceCtrlHandlerExA(serviceName_.c_str(), &ControlCallback, this);
    if (handle != nullptr) {
        {
            std::lock_guard lock(statusMutex_);
            statusHandle_ = handle;
            checkPoint_ = 0;
        }
        handlerRegistered_ = true;
        entry_->ServiceMain();
        // The dispatcher waits for STOPPED however the service ended; a no-op once it was reported.
        ReportStatus(platform::ServiceState::Stopped, 0, NO_ERROR, 0);
    }
    ::PostThreadMessageA(mainThreadId_, WM_QUIT, 0, 0);
}

void Win32ServiceHost::ReportStatus(platform::ServiceState state, std::uint32_t controlsAccepted,
                                    std::uint32_t exitCode, std::uint32_t serviceExitCode) {
    std::lock_guard lock(statusMutex_);
    if (statusHandle_ == nullptr) return;
    const bool pending = state == platform::ServiceState::StartPending ||
                         state == platform::ServiceState::StopPending;
    checkPoint_ = pending ? checkPoint_ + 1 : 0;

    SERVICE_STATUS status{};
    status.dwServiceType = serviceType_;
    status.dwCurrentState = static_cast<DWORD>(state);
    status.dwControlsAccepted = controlsAccepted;
    status.dwWin32ExitCode = exitCode;
    status.dwServiceSpecificExitCode = serviceExitCode;
    status.dwCheckPoint = checkPoint_;
    status.dwWaitHint = pending ? kPendingWaitHintMs : 0;
    // Once STOPPED is reported the handle is no longer valid.
    if (::SetServiceStatus(statusHandle_, &status) && state == platform::ServiceState::Stopped) {
        statusHandle_ = nullptr;
    }
}

}  // namespace kxp::win32
