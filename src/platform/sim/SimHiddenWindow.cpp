#include <algorithm>

#include "platform/sim/SimServices.h"

namespace kxp::sim::detail {
namespace {

// Windows raises shorter intervals to this.
constexpr std::uint32_t kMinimumTimerMs = 10;

}  // namespace

bool QueueMessage(SimState& state, const SimQueuedMessage& message) {
    const SimWindow* window = state.FindWindowByHandle(message.window);
    if (window == nullptr || window->procedure == nullptr) return false;
    state.threadQueues[window->owner].push_back(message);
    state.queueChanged.notify_all();
    return true;
}

int DispatchQueuedMessages(SimState& state) {
    int dispatched = 0;
    std::unique_lock lock(state.mutex);
    auto& queue = state.threadQueues[std::this_thread::get_id()];
    while (!queue.empty()) {
        const SimQueuedMessage message = queue.front();
        queue.pop_front();
        const SimWindow* window = state.FindWindowByHandle(message.window);
        if (window == nullptr || window->procedure == nullptr) continue;
        platform::WindowProcedure* procedure = window->procedure;
        lock.unlock();
        std::intptr_t result = 0;
        procedure->WindowMessage(message.window, message.message, message.wParam, message.lParam,
                                 result);
        ++dispatched;
        lock.lock();
    }
    return dispatched;
}

platform::Handle SimWindows::CreateHiddenWindow(const std::string& className,
                                                platform::WindowProcedure& procedure) {
    std::lock_guard lock(state_.mutex);
    SimWindow window;
    window.handle = state_.nextWindow;
    state_.nextWindow += 0x10;
    window.className = className;
    window.visible = false;
    window.procedure = &procedure;
    window.owner = std::this_thread::get_id();
    state_.windows.push_back(std::move(window));
    return state_.windows.back().handle;
}

bool SimWindows::DestroyWindow(platform::Handle window) {
    std::lock_guard lock(state_.mutex);
    const SimWindow* found = state_.FindWindowByHandle(window);
    // Only the owning thread may destroy a window.
    if (found == nullptr || found->owner != std::this_thread::get_id()) return false;
    std::erase_if(state_.windows, [window](const SimWindow& w) { return w.handle == window; });
    std::erase_if(state_.timers, [window](const SimTimer& t) { return t.window == window; });
    // As on Windows, the window's hot keys go with it.
    std::erase_if(state_.hotKeys, [window](const SimHotKey& h) { return h.window == window; });
    return true;
}

bool SimWindows::PostMessageA(platform::Handle window, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) {
    std::lock_guard lock(state_.mutex);
    return QueueMessage(state_, SimQueuedMessage{window, message, wParam, lParam});
}

bool SimWindows::SetTimer(platform::Handle window, std::uintptr_t id, std::uint32_t intervalMs) {
    std::lock_guard lock(state_.mutex);
    if (state_.FindWindowByHandle(window) == nullptr) return false;
    const std::uint32_t interval = std::max(intervalMs, kMinimumTimerMs);
    std::erase_if(state_.timers,
                  [window, id](const SimTimer& t) { return t.window == window && t.id == id; });
    state_.timers.push_back(SimTimer{window, id, interval, state_.elapsedMs + interval});
    return true;
}

bool SimWindows::KillTimer(platform::Handle window, std::uintptr_t id) {
    std::lock_guard lock(state_.mutex);
    return std::erase_if(state_.timers, [window, id](const SimTimer& t) {
               return t.window == window && t.id == id;
           }) != 0;
}

}  // namespace kxp::sim::detail
