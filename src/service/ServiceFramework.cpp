#include "service/ServiceFramework.h"

#include <exception>
#include <utility>

#include "service/ServiceTexts.h"

namespace kxp {

using platform::ServiceState;

ServiceFramework::ServiceFramework(platform::ServiceHost& host, platform::Windows& windows,
                                   std::string eventSource, ServiceHandlers handlers)
    : host_(host),
      windows_(windows),
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
    std::lock_guard guard(queueLock_);
    queue_.push_back(code);
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
        case platform::kControlInterrogate:
            Report(state_, controlsAccepted_);
            break;
        default:
            // Custom codes are acted on by the service's own control handler; here they are only
            // acknowledged.
            break;
    }
}

void ServiceFramework::Report(ServiceState state, std::uint32_t controlsAccepted) {
    state_ = state;
    controlsAccepted_ = controlsAccepted;
    host_.ReportStatus(state, controlsAccepted, 0);
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
