#include <algorithm>
#include <thread>

#include "platform/sim/SimServices.h"

namespace kxp::sim::detail {

void AdvanceTime(SimState& state, std::uint64_t ms, bool asSleep) {
    std::unique_lock lock(state.mutex);
    const std::uint64_t target = state.elapsedMs + ms;
    if (asSleep) state.sleptMs += ms;
    while (!state.actions.empty() && state.actions.begin()->first <= target) {
        auto due = state.actions.extract(state.actions.begin());
        state.elapsedMs = std::max(state.elapsedMs, due.key());
        // The action may call back into the machine, sleep or schedule more actions.
        lock.unlock();
        due.mapped()();
        lock.lock();
    }
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
