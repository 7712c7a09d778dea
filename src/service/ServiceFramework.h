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
                     platform::Clock& clock, std::string eventSource, ServiceHandlers handlers);

    // The body of the service thread: start, run, then report the service stopped.
    void ServiceMain();

    // Dispatcher thread: queues the code for the service thread and returns at once. A stop or
    // shutdown is reported pending right away, so the control manager knows it is under way.
    void Control(std::uint32_t code);

    // Service thread: handles the queued codes and the thread's own window messages, never waits.
    // While a stop is pending it also tells the control manager that the stop is progressing.
    void ProcessRequests();

    // Service thread, from long work: the stop-pending report with a higher checkpoint, at most
    // about once a second, so that a stop during a long step never times out.
    void ReportStopProgress();

    // Any thread: the service has stopped with its own exitCode; for a process about to end.
    void ReportFatal(std::uint32_t exitCode);

    // True once a stop or shutdown request has been handled.
    bool Terminated() const { return terminated_.load(); }

  private:
    void Report(platform::ServiceState state, std::uint32_t controlsAccepted);
    void Handle(std::uint32_t code);
    // Runs one handler; an exception that escapes it goes to the event log. False if one did.
    bool Guarded(const char* stage, const std::function<void()>& handler);

    platform::ServiceHost& host_;
    platform::Windows& windows_;
    platform::Clock& clock_;
    std::string eventSource_;
    ServiceHandlers handlers_;

    std::mutex queueLock_;
    std::deque<std::uint32_t> queue_;
    std::atomic<bool> terminated_{false};

    // What was reported last, for an interrogation and the progress reports; the dispatcher
    // thread reports too.
    std::mutex statusLock_;
    platform::ServiceState state_ = platform::ServiceState::Stopped;
    std::uint32_t controlsAccepted_ = 0;
    bool stopRequested_ = false;
    std::uint32_t lastProgressTick_ = 0;
};

}  // namespace kxp
