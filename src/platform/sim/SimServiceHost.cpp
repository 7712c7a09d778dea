#include <exception>
#include <map>
#include <thread>

#include "platform/sim/SimServices.h"

namespace kxp::sim::detail {
namespace {

constexpr std::uint32_t kErrorServiceDoesNotExist = 1060;
constexpr std::uint32_t kErrorServiceExists = 1073;

// Ends the service's run: no control reaches the entry once ServiceMain has returned.
class RunningEntry {
  public:
    RunningEntry(SimState& state, platform::ServiceEntry& entry) : state_(state) {
        state_.runningEntry = &entry;
    }
    RunningEntry(const RunningEntry&) = delete;
    RunningEntry& operator=(const RunningEntry&) = delete;
    ~RunningEntry() {
        std::unique_lock lock(state_.mutex);
        state_.runningEntry = nullptr;
        state_.controlsDone.wait(lock, [this] { return state_.controlsInFlight == 0; });
    }

  private:
    SimState& state_;
};

}  // namespace

bool SimServiceHost::RunServiceApplication(const platform::ServiceDeclaration& /*service*/,
                                           platform::ServiceEntry& entry) {
    std::unique_lock lock(state_.mutex);
    if (!state_.startedByServiceManager) return false;
    RunningEntry running(state_, entry);
    state_.serviceThreadRunning = true;
    lock.unlock();

    // As on Windows: the service runs on a thread of its own while the calling (main) thread
    // runs its message loop until the service has ended.
    std::exception_ptr failure;
    std::thread serviceThread([this, &entry, &failure] {
        try {
            entry.ServiceMain();
        } catch (...) {
            failure = std::current_exception();
        }
        std::lock_guard done(state_.mutex);
        state_.serviceThreadRunning = false;
        state_.queueChanged.notify_all();
    });
    const auto self = std::this_thread::get_id();
    for (;;) {
        DispatchQueuedMessages(state_);
        lock.lock();
        state_.queueChanged.wait(lock, [this, self] {
            return !state_.serviceThreadRunning || !state_.threadQueues[self].empty();
        });
        const bool ended = !state_.serviceThreadRunning && state_.threadQueues[self].empty();
        lock.unlock();
        if (ended) break;
    }
    serviceThread.join();
    if (failure) std::rethrow_exception(failure);
    return true;
}

void SimServiceHost::ReportStatus(platform::ServiceState state, std::uint32_t controlsAccepted,
                                  std::uint32_t exitCode, std::uint32_t serviceExitCode) {
    std::lock_guard lock(state_.mutex);
    state_.statusReports.push_back(
        SimStatusReport{state, controlsAccepted, exitCode, serviceExitCode, state_.Now()});
}

std::uint32_t SimServiceHost::InstallService(const platform::ServiceDeclaration& service,
                                             const std::string& binaryPath) {
    std::lock_guard lock(state_.mutex);
    if (state_.installFailure != 0) return state_.installFailure;
    const bool added =
        state_.services.try_emplace(ToLower(service.name), SimInstalledService{service, binaryPath})
            .second;
    return added ? 0 : kErrorServiceExists;
}

std::uint32_t SimServiceHost::UninstallService(const std::string& name) {
    std::lock_guard lock(state_.mutex);
    return state_.services.erase(ToLower(name)) != 0 ? 0 : kErrorServiceDoesNotExist;
}

std::string SimServiceHost::ErrorText(std::uint32_t errorCode) {
    static const std::map<std::uint32_t, std::string> texts = {
        {2, "The system cannot find the file specified."},
        {5, "Access is denied."},
        {kErrorServiceDoesNotExist,
         "The specified service does not exist as an installed service."},
        {kErrorServiceExists, "The specified service already exists."},
    };
    const auto text = texts.find(errorCode);
    return (text != texts.end() ? text->second : std::string("Unknown error.")) + " (" +
           std::to_string(errorCode) + ")";
}

void SimServiceHost::LogError(const std::string& source, const std::string& text) {
    std::lock_guard lock(state_.mutex);
    state_.eventLog.push_back(source + ": " + text);
}

}  // namespace kxp::sim::detail
