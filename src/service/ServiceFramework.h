// The portable service framework: status reporting, the start / execute / stop sequence of the
// service thread, and the queue that carries control codes from the dispatcher thread to it.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "platform/Platform.h"

namespace kxp {

struct ServiceHandlers {
    std::function<void()> OnStart;
    std::function<void()> OnExecute;
    std::function<void()> OnStop;
    std::function<void()> OnShutdown;
};

class ServiceFramework {
  public:
    // eventSource names the service in the event log.
    ServiceFramework(platform::ServiceHost& host, platform::Windows& windows,
                     std::string eventSource, ServiceHandlers handlers);

    // The body of the service thread: start, run, then report the service stopped.
    void ServiceMain();

    // Dispatcher thread: queues the code for the service thread and returns at once.
    void Control(std::uint32_t code);

    // Service thread: handles the queued codes and the thread's own window messages, never waits.
    void ProcessRequests();

    // True once a stop or shutdown request has been handled.
    bool Terminated() const { return terminated_.load(); }

  private:
    void Report(platform::ServiceState state, std::uint32_t controlsAccepted);
    void Handle(std::uint32_t code);
    // Runs one handler; an exception that escapes it goes to the event log. False if one did.
    bool Guarded(const char* stage, const std::function<void()>& handler);

    platform::ServiceHost& host_;
    platform::Windows& windows_;
    std::string eventSource_;
    ServiceHandlers handlers_;

    std::mutex queueLock_;
    std::deque<std::uint32_t> queue_;
    std::atomic<bool> terminated_{false};

    // Service thread only: what an interrogation reports again.
    platform::ServiceState state_ = platform::ServiceState::Stopped;
    std::uint32_t controlsAccepted_ = 0;
};

}  // namespace kxp
