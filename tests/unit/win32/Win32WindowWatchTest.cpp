// The window-watch calls on the real API, and the snapshot and the hiding on top of them (run
// under Wine by the Windows build's tests, which have a display).
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "platform/win32/Win32Windows.h"
#include "sysinfo/ProcessWatch.h"
#include "sysinfo/TWindowList.h"

namespace kxp::win32 {
namespace {

const char* WatchClass() {
    static const std::string name = "KorvanelXPWatch" + std::to_string(::GetCurrentProcessId());
    static const bool registered = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &::DefWindowProcA;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = name.c_str();
        return ::RegisterClassA(&windowClass) != 0;
    }();
    return registered ? name.c_str() : nullptr;
}

class Win32WindowWatchTest : public ::testing::Test {
  protected:
    // A top-level window of this process at 100, 100, 300 x 200.
    HWND Create(const char* title, DWORD exStyle = 0, bool visible = true) {
        HWND window = ::CreateWindowExA(exStyle, WatchClass(), title,
                                        WS_POPUP | (visible ? WS_VISIBLE : 0), 100, 100, 300, 200,
                                        nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
        if (window != nullptr) created_.push_back(window);
        return window;
    }
    void TearDown() override {
        for (HWND window : created_) ::DestroyWindow(window);
    }
    static platform::Handle H(HWND window) { return reinterpret_cast<platform::Handle>(window); }

    Win32Windows windows;

  private:
    std::vector<HWND> created_;
};

TEST_F(Win32WindowWatchTest, AWindowsOwnerPlaceStyleTitleAndVisibilityAreRead) {
    HWND window = Create("Watch me", WS_EX_DLGMODALFRAME);
    ASSERT_NE(window, nullptr);
    std::uint32_t owner = 0;
    EXPECT_NE(windows.GetWindowThreadProcessId(H(window), &owner), 0u);
    EXPECT_EQ(owner, ::GetCurrentProcessId());
    platform::Rect rect;
    ASSERT_TRUE(windows.GetWindowRect(H(window), rect));
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.bottom, 300);
    const auto exStyle =
        static_cast<std::uint32_t>(windows.GetWindowLongA(H(window), platform::kGwlExStyle));
    EXPECT_NE(exStyle & platform::kWsExDlgModalFrame, 0u);
    std::array<char, 256> title{};
    EXPECT_EQ(windows.GetWindowTextA(H(window), title.data(), 256), 8);
    EXPECT_STREQ(title.data(), "Watch me");
    EXPECT_TRUE(windows.IsWindowVisible(H(window)));
    EXPECT_GT(windows.GetSystemMetrics(platform::kSmCxScreen), 0);
    EXPECT_GT(windows.GetSystemMetrics(platform::kSmCyScreen), 0);
}

TEST_F(Win32WindowWatchTest, AWindowThatIsGoneGivesNothing) {
    HWND window = Create("Gone");
    ASSERT_NE(window, nullptr);
    ::DestroyWindow(window);
    platform::Rect rect;
    EXPECT_FALSE(windows.GetWindowRect(H(window), rect));
    std::uint32_t owner = 77;
    EXPECT_EQ(windows.GetWindowThreadProcessId(H(window), &owner), 0u);
    EXPECT_EQ(owner, 77u);
}

TEST_F(Win32WindowWatchTest, TheSnapshotListsTheProcesssWindowsWithTheirVisibility) {
    HWND shown = Create("Shown");
    HWND hidden = Create("Hidden", 0, false);
    ASSERT_NE(shown, nullptr);
    ASSERT_NE(hidden, nullptr);
    const TWindowList list(windows);
    int found = 0;
    TWindowObject entry;
    for (std::size_t i = 0; list.Get(i, entry); ++i) {
        if (entry.Wnd == H(shown) || entry.Wnd == H(hidden)) {
            ++found;
            EXPECT_EQ(entry.ProcessId, ::GetCurrentProcessId());
            EXPECT_EQ(entry.Bounds.top, 100);
            EXPECT_EQ(entry.Flag, entry.Wnd == H(shown) ? 1 : 0);
        }
    }
    EXPECT_EQ(found, 2);
}

TEST_F(Win32WindowWatchTest, TheUpdateWindowIsMovedOutOfSightOnce) {
    HWND window = Create("Automatic Updates");
    ASSERT_NE(window, nullptr);
    UpdateWindowHider(windows).Hide(::GetCurrentProcessId());
    RECT rect{};
    ASSERT_TRUE(::GetWindowRect(window, &rect));
    EXPECT_EQ(rect.left, 2048);
    EXPECT_EQ(rect.top, 2048);
    EXPECT_EQ(rect.right - rect.left, 1);
}

}  // namespace
}  // namespace kxp::win32
