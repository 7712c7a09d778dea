// The hot-key component on the real API: its registration holds the combination against other
// callers until it is cleared, and WM_HOTKEY reaches its handler through its window.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <vector>

#include "config/TGlobalHotKeys.h"
#include "platform/win32/Win32Windows.h"

namespace kxp::win32 {
namespace {

using Clock = std::chrono::steady_clock;

// A combination nobody else is likely to hold: Ctrl+Alt+Shift+F24 (key number 92).
constexpr std::uint16_t kF24 = 92;
// The tests run side by side in processes of their own and a registration holds desktop-wide, so
// the one that does not test the refusal takes Ctrl+Alt+Shift+F23 (key number 91).
constexpr std::uint16_t kF23 = 91;
constexpr std::uint8_t kAllButWin = kHotKeyCtrl | kHotKeyAlt | kHotKeyShift;
constexpr UINT kSystemModifiers = MOD_CONTROL | MOD_ALT | MOD_SHIFT;

bool OthersCanRegister() {
    if (!::RegisterHotKey(nullptr, 0x7000, kSystemModifiers, VK_F24)) return false;
    ::UnregisterHotKey(nullptr, 0x7000);
    return true;
}

TEST(Win32HotKeys, RegisteredCombinationIsRefusedToOthersUntilCleared) {
    Win32Windows windows;
    ASSERT_TRUE(OthersCanRegister());
    TGlobalHotKeys keys(windows);
    keys.SetActive(true);
    keys.Add(kF24, kAllButWin);
    ASSERT_EQ(keys.Entries().size(), 1u);
    EXPECT_EQ(keys.Entries()[0].Registered, 1);

    EXPECT_FALSE(::RegisterHotKey(nullptr, 0x7000, kSystemModifiers, VK_F24));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_HOTKEY_ALREADY_REGISTERED));
    // The same combination again in the component: refused, and not counted as registered.
    keys.Add(kF24, kAllButWin);
    EXPECT_EQ(keys.Entries()[1].Registered, 0);

    keys.Clear();
    EXPECT_TRUE(OthersCanRegister());
}

TEST(Win32HotKeys, HotKeyMessageReachesTheHandlerOfARegisteredEntry) {
    Win32Windows windows;
    TGlobalHotKeys keys(windows);
    std::vector<int> pressed;
    keys.SetOnHotKey([&](TGlobalHotKeys&, int index) { pressed.push_back(index); });
    keys.SetActive(true);
    keys.Add(kF23, kAllButWin);
    ASSERT_EQ(keys.Entries()[0].Registered, 1);
    const auto window = reinterpret_cast<HWND>(keys.Window().Window());
    ASSERT_TRUE(::PostMessageA(window, WM_HOTKEY, 5, 0));  // an id it never registered
    ASSERT_TRUE(::PostMessageA(window, WM_HOTKEY, 0, MAKELPARAM(kSystemModifiers, VK_F23)));
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (pressed.empty() && Clock::now() < deadline) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    EXPECT_EQ(pressed, std::vector<int>{0});
}

}  // namespace
}  // namespace kxp::win32
