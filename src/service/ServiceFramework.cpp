#include "service/ServiceFramework.h"

#include <exception>
#include <utility>

#include "service/ServiceTexts.h"

namespace kxp {

using platform::ServiceState;

namespace {

constexpr std::uint32_t kProgressEveryMs = 1000;

bool IsStop(std::uint32_t code) {
    return code == platform::kControlStop || code == platform::kControlShutdown;
}

}  // namespace

ServiceFramework::ServiceFramework(platform::ServiceHost& host, platform::Windows& windows,
                                   platform::Clock& clock, std::string eventSource,
                                   ServiceHandlers handlers)
    : host_(host),
      windows_(windows),
      clock_(clock),
      eventSource_(std::move(eventSource)),
      handlers_(std::move(handlers)) {}

void ServiceFramework::ServiceMain() {
    Report(ServiceState::StartPending, 0);
    if (Guarded("start", handlers_.OnStart)) {
        Report(ServiceState::Running, platform::kAcceptStop | platform::kAcceptShutdown);
        Guarded("execute", handlers_.OnExecute);
    }
    ProcessRequests();
    Report(ServiceState::Stopped, 0);
}

void ServiceFramework::Control(std::uint32_t code) {
    {
        std::lock_guard guard(queueLock_);
        queue_.push_back(code);
    }
    if (!IsStop(code)) return;
    std::lock_guard guard(statusLock_);
    if (stopRequested_ || state_ != ServiceState::Running) return;
    stopRequested_ = true;
    state_ = ServiceState::StopPending;
    controlsAccepted_ = 0;
    lastProgressTick_ = clock_.GetTickCount();
    host_.ReportStatus(state_, controlsAccepted_, 0, 0);
}

void ServiceFramework::ProcessRequests() {
    for (;;) {
        std::uint32_t code = 0;
        {
            std::lock_guard guard(queueLock_);
            if (queue_.empty()) break;
            code = queue_.front();
            queue_.pop_front();
        }
        Handle(code);
    }
    windows_.PumpThreadMessages();
    ReportStopProgress();
}

void ServiceFramework::ReportStopProgress() {
    std::lock_guard guard(statusLock_);
    if (state_ != ServiceState::StopPending) return;
    const std::uint32_t now = clock_.GetTickCount();
    if (now - lastProgressTick_ < kProgressEveryMs) return;
    lastProgressTick_ = now;
    host_.ReportStatus(state_, controlsAccepted_, 0, 0);
}

void ServiceFramework::ReportFatal(std::uint32_t exitCode) {
    std::lock_guard guard(statusLock_);
    state_ = ServiceState::Stopped;
    controlsAccepted_ = 0;
    host_.ReportStatus(state_, 0, platform::kErrorServiceSpecificError, exitCode);
}

void ServiceFramework::Handle(std::uint32_t code) {
    switch (code) {
        case platform::kControlStop:
        case platform::kControlShutdown:
            // A second request after the first has been honoured has nothing left to stop.
            if (terminated_.load()) return;
            (code == platform::kControlStop ? handlers_.OnStop : handlers_.OnShutdown)();
            terminated_.store(true);
            Report(ServiceState::StopPending, 0);
            break;
        case platform::kControlInterrogate: {
            std::lock_guard guard(statusLock_);
            host_.ReportStatus(state_, controlsAccepted_, 0, 0);
            break;
        }
        default:
            // Custom codes are acted on by the service's own control handler; here they are only
            // acknowledged.
            break;
    }
}

void ServiceFramework::Report(ServiceState state, std::uint32_t controlsAccepted) {
    std::lock_guard guard(statusLock_);
    // A stop that came during the start keeps the service reported as stopping.
    if (state == ServiceState::Running && stopRequested_) return;
    state_ = state;
    controlsAccepted_ = controlsAccepted;
    if (state == ServiceState::StopPending) lastProgressTick_ = clock_.GetTickCount();
    host_.ReportStatus(state, controlsAccepted, 0, 0);
}

bool ServiceFramework::Guarded(const char* stage, const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const std::exception& error) {
        host_.LogError(eventSource_,
                       std::string(texts::kServiceFailedOn) + stage + ": " + error.what());
        return false;
    }
}

}  // namespace kxp
