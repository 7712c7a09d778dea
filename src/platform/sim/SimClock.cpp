#include <algorithm>
#include <thread>

#include "platform/sim/SimServices.h"

namespace kxp::sim::detail {
namespace {

// Queues WM_TIMER for every timer due by the time, once: like Windows, a timer whose message is
// still waiting adds no second one.
void FireTimers(SimState& state, std::uint64_t time) {
    for (SimTimer& timer : state.timers) {
        if (timer.due > time) continue;
        auto& queue = state.threadQueues[state.FindWindowByHandle(timer.window)->owner];
        const bool waiting = std::any_of(queue.begin(), queue.end(), [&](const auto& queued) {
            return queued.window == timer.window && queued.message == platform::kWmTimer &&
                   queued.wParam == timer.id;
        });
        if (!waiting)
            QueueMessage(state, SimQueuedMessage{timer.window, platform::kWmTimer, timer.id, 0});
        while (timer.due <= time) timer.due += timer.intervalMs;
    }
}

}  // namespace

void AdvanceTime(SimState& state, std::uint64_t ms, bool asSleep) {
    std::unique_lock lock(state.mutex);
    const std::uint64_t target = state.elapsedMs + ms;
    if (asSleep) state.sleptMs += ms;
    while (!state.actions.empty() && state.actions.begin()->first <= target) {
        FireTimers(state, state.actions.begin()->first);
        auto due = state.actions.extract(state.actions.begin());
        state.elapsedMs = std::max(state.elapsedMs, due.key());
        // The action may call back into the machine, sleep or schedule more actions.
        lock.unlock();
        due.mapped()();
        lock.lock();
    }
    FireTimers(state, target);
    state.elapsedMs = std::max(state.elapsedMs, target);
}

std::uint32_t SimClock::GetTickCount() {
    std::lock_guard lock(state_.mutex);
    return state_.Now();
}

void SimClock::Sleep(std::uint32_t milliseconds) {
    AdvanceTime(state_, milliseconds, true);
    // Gives a test thread running beside the code under test its turn, as a real sleep would.
    std::this_thread::yield();
}

}  // namespace kxp::sim::detail
