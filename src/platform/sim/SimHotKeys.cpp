// Hot keys of the simulated machine: registrations per window and thread, one holder per key
// combination, and presses delivered to the registering window's thread.
#include <algorithm>
#include <mutex>

#include "platform/sim/SimMachine.h"
#include "platform/sim/SimServices.h"

namespace kxp::sim {
namespace {

// MOD_NOREPEAT changes how a held key repeats, not which combination it is.
constexpr std::uint32_t kCombinationModifiers = 0x000F;

bool SameCombination(const SimHotKey& hotKey, std::uint32_t modifiers, std::uint32_t keyCode) {
    return (hotKey.modifiers & kCombinationModifiers) == (modifiers & kCombinationModifiers) &&
           hotKey.keyCode == keyCode;
}

bool OwnWindow(detail::SimState& state, platform::Handle window) {
    const detail::SimWindow* found = state.FindWindowByHandle(window);
    return found != nullptr && found->owner == std::this_thread::get_id();
}

}  // namespace

namespace detail {

bool SimWindows::RegisterHotKey(platform::Handle window, std::int32_t id, std::uint32_t modifiers,
                                std::uint32_t keyCode) {
    std::lock_guard lock(state_.mutex);
    // ERROR_WINDOW_OF_OTHER_THREAD, ERROR_HOTKEY_ALREADY_REGISTERED.
    if (!OwnWindow(state_, window)) return false;
    if (std::ranges::any_of(state_.hotKeys, [&](const SimHotKey& hotKey) {
            return SameCombination(hotKey, modifiers, keyCode);
        })) {
        return false;
    }
    state_.hotKeys.push_back(SimHotKey{window, id, modifiers, keyCode, std::this_thread::get_id()});
    return true;
}

bool SimWindows::UnregisterHotKey(platform::Handle window, std::int32_t id) {
    std::lock_guard lock(state_.mutex);
    if (!OwnWindow(state_, window)) return false;
    const auto found = std::ranges::find_if(state_.hotKeys, [&](const SimHotKey& hotKey) {
        return hotKey.window == window && hotKey.id == id;
    });
    // ERROR_HOTKEY_NOT_REGISTERED.
    if (found == state_.hotKeys.end()) return false;
    state_.hotKeys.erase(found);
    return true;
}

}  // namespace detail

std::vector<SimHotKey> SimMachine::HotKeys() const {
    std::lock_guard lock(State().mutex);
    return State().hotKeys;
}

void SimMachine::TakeHotKey(std::uint32_t modifiers, std::uint32_t keyCode) {
    std::lock_guard lock(State().mutex);
    State().hotKeys.push_back(SimHotKey{0, 0, modifiers, keyCode, {}});
}

bool SimMachine::PressHotKey(std::uint32_t modifiers, std::uint32_t keyCode) {
    std::lock_guard lock(State().mutex);
    const auto found = std::ranges::find_if(State().hotKeys, [&](const SimHotKey& hotKey) {
        return SameCombination(hotKey, modifiers, keyCode);
    });
    if (found == State().hotKeys.end() || found->window == 0) return false;
    // lParam: the modifiers in the low word, the key code in the high word.
    const auto lParam = static_cast<std::intptr_t>((keyCode << 16) | (modifiers & 0xFFFF));
    return detail::QueueMessage(
        State(), detail::SimQueuedMessage{found->window, platform::kWmHotKey,
                                          static_cast<std::uintptr_t>(found->id), lParam});
}

}  // namespace kxp::sim
