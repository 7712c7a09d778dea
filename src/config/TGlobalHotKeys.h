// The hot-key component: a list of key combinations registered as system-wide hot keys on a hidden
// window of the thread that makes it. An entry's place in the list is its hot-key id.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

#include "platform/Platform.h"
#include "platform/ThreadWindow.h"

namespace kxp {

// The stored key numbers 0 to 94 and the virtual-key codes they stand for.
inline constexpr std::size_t kHotKeyCount = 95;

namespace detail {

struct HotKeyCodeTable {
    std::array<std::uint8_t, kHotKeyCount> codes{};
    std::size_t size = 0;
    constexpr void Append(std::uint8_t first, std::uint8_t last) {
        for (int code = first; code <= last; ++code)
            codes[size++] = static_cast<std::uint8_t>(code);
    }
};

constexpr std::array<std::uint8_t, kHotKeyCount> MakeHotKeyCodes() {
    HotKeyCodeTable table;
    // Backspace, Tab, Enter, Pause, Caps Lock, Esc, Space.
    for (const std::uint8_t code : {0x08, 0x09, 0x0D, 0x13, 0x14, 0x1B, 0x20}) {
        table.Append(code, code);
    }
    table.Append(0x21, 0x22);  // Page Up, Page Down
    table.Append(0x24, 0x24);  // Home before End, unlike the codes
    table.Append(0x23, 0x23);
    table.Append(0x25, 0x28);  // Left, Up, Right, Down
    table.Append(0x2C, 0x2E);  // Print Screen, Insert, Delete
    table.Append(0x30, 0x39);  // 0 to 9
    table.Append(0x41, 0x5A);  // A to Z
    table.Append(0x60, 0x6B);  // numeric pad 0 to 9, multiply, add
    table.Append(0x6D, 0x6F);  // numeric pad subtract, decimal point, divide
    table.Append(0x70, 0x87);  // F1 to F24
    table.Append(0x90, 0x91);  // Num Lock, Scroll Lock
    return table.size == kHotKeyCount ? table.codes : std::array<std::uint8_t, kHotKeyCount>{};
}

}  // namespace detail

inline constexpr std::array<std::uint8_t, kHotKeyCount> kHotKeyCodes = detail::MakeHotKeyCodes();
static_assert(kHotKeyCodes[kHotKeyCount - 1] == 0x91, "every key number has its code");

// The virtual-key code of a stored key number; 0 for a number outside the table.
constexpr std::uint8_t HotKeyCode(std::uint32_t keyNumber) {
    return keyNumber < kHotKeyCount ? kHotKeyCodes[keyNumber] : 0;
}

// An entry's modifier set.
inline constexpr std::uint8_t kHotKeyShift = 0x01;
inline constexpr std::uint8_t kHotKeyCtrl = 0x02;
inline constexpr std::uint8_t kHotKeyAlt = 0x04;
inline constexpr std::uint8_t kHotKeyWin = 0x08;

struct THotKeyEntry {
    std::uint8_t Modifiers = 0;
    // The key number; one outside the table stands for key code 0.
    std::uint8_t Key = 0;
    std::uint8_t Registered = 0;
};

class TGlobalHotKeys {
  public:
    // The pressed entry's id.
    using HotKeyEvent = std::function<void(TGlobalHotKeys& sender, int index)>;

    // Makes its window on the calling thread, which alone may use the component afterwards.
    explicit TGlobalHotKeys(platform::Windows& windows);
    TGlobalHotKeys(const TGlobalHotKeys&) = delete;
    TGlobalHotKeys& operator=(const TGlobalHotKeys&) = delete;
    // Clears first.
    ~TGlobalHotKeys();

    void SetOnHotKey(HotKeyEvent handler) { onHotKey_ = std::move(handler); }
    // Registers the new entry at once while active.
    void Add(std::uint16_t keyNumber, std::uint8_t modifiers);
    // Unregisters every entry, then drops them.
    void Clear();
    // True registers every entry not yet registered, false unregisters every registered one.
    void SetActive(bool active);
    bool Active() const { return active_; }
    const std::vector<THotKeyEntry>& Entries() const { return entries_; }

    std::thread::id Thread() const { return thread_; }
    // Work posted here runs on the component's thread.
    ThreadWindow& Window() { return window_; }

  private:
    bool OnMessage(std::uint32_t message, std::uintptr_t wParam);
    void Register(std::size_t index);
    void Unregister(std::size_t index);

    platform::Windows& windows_;
    std::thread::id thread_ = std::this_thread::get_id();
    ThreadWindow window_;
    HotKeyEvent onHotKey_;
    bool active_ = false;
    std::vector<THotKeyEntry> entries_;
};

}  // namespace kxp
