#include "platform/sim/SimServices.h"

namespace kxp::sim::detail {

platform::Handle SimWindows::FindWindowA(const char* className, const char* title) {
    std::lock_guard lock(state_.mutex);
    for (const SimWindow& window : state_.windows) {
        if ((className == nullptr || window.className == className) &&
            (title == nullptr || window.title == title)) {
            return window.handle;
        }
    }
    return 0;
}

bool SimWindows::SendMessageTimeoutA(platform::Handle window, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam,
                                     std::uint32_t flags, std::uint32_t timeoutMs) {
    const bool abortIfHung = (flags & platform::kSmtoAbortIfHung) != 0;
    std::uint64_t waitedMs = 0;
    bool delivered = false;
    {
        std::lock_guard lock(state_.mutex);
        for (SimWindow& target : state_.windows) {
            if (window != platform::kHwndBroadcast && target.handle != window) continue;
            if (!target.hung) {
                target.inbox.push_back(SimMessage{message, wParam, lParam});
                delivered = true;
            } else if (!abortIfHung) {
                // The timeout runs for each hung receiver in turn.
                waitedMs += timeoutMs;
            }
        }
    }
    if (waitedMs != 0) AdvanceTime(state_, waitedMs, false);
    return delivered;
}

std::uint32_t SimWindows::RegisterWindowMessageA(const std::string& name) {
    if (name.empty()) return 0;
    std::lock_guard lock(state_.mutex);
    auto& ids = state_.registeredMessages;
    const auto next = static_cast<std::uint32_t>(0xC000 + ids.size());
    return ids.try_emplace(ToLower(name), next).first->second;
}

void SimWindows::PumpThreadMessages() {
    {
        std::lock_guard lock(state_.mutex);
        ++state_.pumpCount;
    }
    DispatchQueuedMessages(state_);
}

void SimWindows::ShowMessage(const std::string& text, const std::string& caption,
                             std::uint32_t flags) {
    std::lock_guard lock(state_.mutex);
    state_.messageBoxes.push_back(SimMessageBox{text, caption, flags});
}

void SimWindows::WaitForShownMessages(std::uint32_t /*timeoutMs*/) {
    // Nobody reads the simulated boxes: they are closed as soon as they are shown.
}

}  // namespace kxp::sim::detail
