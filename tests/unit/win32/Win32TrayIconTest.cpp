// The tray icon component on the real API: the shell's callback messages posted to its hidden
// window, the click timer on the system's double-click time, and the menu's foreground window.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <memory>
#include <string>

#include "platform/win32/Win32Platform.h"
#include "tray/TTrayIcon.h"
#include "win32/PumpUntil.h"

namespace kxp::win32 {
namespace {

using Clock = std::chrono::steady_clock;

class Win32TrayIconTest : public ::testing::Test {
  protected:
    Win32TrayIconTest()
        : window(std::make_shared<TTrayWindow>(system.platform().windows)),
          icon(system.platform(), window) {
        icon.OnClick = [this] {
            events += "click ";
            clickedAt = Clock::now();
        };
        icon.OnDblClick = [this] { events += "double "; };
    }

    void Post(UINT mouseMessage) {
        ASSERT_TRUE(::PostMessageA(reinterpret_cast<HWND>(window->Window()), kTrayCallbackMessage,
                                   icon.Identifier(), static_cast<LPARAM>(mouseMessage)));
    }

    Win32Platform system;
    std::shared_ptr<TTrayWindow> window;
    TTrayIcon icon;
    std::string events;
    Clock::time_point clickedAt;
};

TEST_F(Win32TrayIconTest, ASingleClickArrivesOnlyAfterTheDoubleClickTime) {
    ASSERT_NE(window->Window(), 0u);
    const auto pressed = Clock::now();
    Post(WM_LBUTTONDOWN);
    Post(WM_LBUTTONUP);
    ASSERT_TRUE(PumpUntil([&] { return !events.empty(); })) << "no click";
    EXPECT_EQ(events, "click ");
    // Timers may fire up to a tick early.
    EXPECT_GE(clickedAt - pressed, std::chrono::milliseconds(::GetDoubleClickTime() - 20));
}

TEST_F(Win32TrayIconTest, ADoubleClickIsDeliveredAloneOnTheRealTimers) {
    Post(WM_LBUTTONDOWN);
    Post(WM_LBUTTONUP);
    Post(WM_LBUTTONDBLCLK);
    Post(WM_LBUTTONUP);
    const auto wait = std::chrono::milliseconds(::GetDoubleClickTime() + 300);
    PumpUntil([] { return false; }, wait);
    EXPECT_EQ(events, "double ");
}

}  // namespace
}  // namespace kxp::win32
