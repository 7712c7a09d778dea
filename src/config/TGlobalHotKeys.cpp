#include "config/TGlobalHotKeys.h"

namespace kxp {
namespace {

constexpr const char* kWindowClass = "KorvanelXPHotKeys";
// An entry stores its key number in one byte; a larger number keeps meaning "no key".
constexpr std::uint8_t kNoKey = 0xFF;
static_assert(kNoKey >= kHotKeyCount);

std::uint32_t SystemModifiers(std::uint8_t modifiers) {
    std::uint32_t system = 0;
    if ((modifiers & kHotKeyShift) != 0) system |= platform::kModShift;
    if ((modifiers & kHotKeyCtrl) != 0) system |= platform::kModControl;
    if ((modifiers & kHotKeyAlt) != 0) system |= platform::kModAlt;
    if ((modifiers & kHotKeyWin) != 0) system |= platform::kModWin;
    return system;
}

}  // namespace

TGlobalHotKeys::TGlobalHotKeys(platform::Windows& windows)
    : windows_(windows),
      window_(windows, kWindowClass,
              [this](std::uint32_t message, std::uintptr_t wParam, std::intptr_t /*lParam*/,
                     std::intptr_t& /*result*/) { return OnMessage(message, wParam); }) {}

TGlobalHotKeys::~TGlobalHotKeys() {
    Clear();
}

void TGlobalHotKeys::Add(std::uint16_t keyNumber, std::uint8_t modifiers) {
    const auto key = keyNumber < kHotKeyCount ? static_cast<std::uint8_t>(keyNumber) : kNoKey;
    entries_.push_back(THotKeyEntry{modifiers, key, 0});
    if (active_) Register(entries_.size() - 1);
}

void TGlobalHotKeys::Clear() {
    for (std::size_t i = 0; i < entries_.size(); ++i) Unregister(i);
    entries_.clear();
}

void TGlobalHotKeys::SetActive(bool active) {
    active_ = active;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (active) {
            Register(i);
        } else {
            Unregister(i);
        }
    }
}

void TGlobalHotKeys::Register(std::size_t index) {
    THotKeyEntry& entry = entries_[index];
    // Without a window of its own a registration would belong to the thread, not the component.
    if (entry.Registered != 0 || window_.Window() == 0) return;
    entry.Registered =
        windows_.RegisterHotKey(window_.Window(), static_cast<std::int32_t>(index),
                                SystemModifiers(entry.Modifiers), HotKeyCode(entry.Key))
            ? 1
            : 0;
}

void TGlobalHotKeys::Unregister(std::size_t index) {
    THotKeyEntry& entry = entries_[index];
    if (entry.Registered == 0) return;
    windows_.UnregisterHotKey(window_.Window(), static_cast<std::int32_t>(index));
    entry.Registered = 0;
}

bool TGlobalHotKeys::OnMessage(std::uint32_t message, std::uintptr_t wParam) {
    if (message != platform::kWmHotKey) return false;
    // Only a key this component holds counts; any other id is somebody else's message.
    const std::size_t id = wParam & 0xFFFF;
    if (id < entries_.size() && entries_[id].Registered != 0 && onHotKey_) {
        const HotKeyEvent handler = onHotKey_;
        handler(*this, static_cast<int>(id));
    }
    return true;
}

}  // namespace kxp
