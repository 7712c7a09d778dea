// The hidden-window facility and the message box on the real API: work posted from another thread
// and a timer run on the window's thread; a box is up while ShowMessage has long returned.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/ThreadWindow.h"
#include "platform/win32/Win32Windows.h"
#include "win32/PumpUntil.h"

namespace kxp::win32 {
namespace {

using Clock = std::chrono::steady_clock;

TEST(Win32ThreadWindow, PostedWorkAndTimersRunOnTheWindowsThreadInOrder) {
    Win32Windows windows;
    ThreadWindow window(windows, "KorvanelXPTestThreadWindow");
    ASSERT_NE(window.Window(), 0u);
    // Top-level, so that broadcasts such as "TaskbarCreated" reach it; never shown.
    EXPECT_EQ(::GetParent(reinterpret_cast<HWND>(window.Window())), nullptr);
    EXPECT_FALSE(::IsWindowVisible(reinterpret_cast<HWND>(window.Window())));

    std::string order;
    DWORD ranOn = 0;
    std::thread poster([&] {
        for (char c : std::string("abc")) {
            window.Post([&order, &ranOn, c] {
                order += c;
                ranOn = ::GetCurrentThreadId();
            });
        }
    });
    poster.join();
    int ticks = 0;
    ASSERT_TRUE(window.SetTimer(7, 20, [&] {
        if (++ticks == 3) window.KillTimer(7);
    }));
    ASSERT_TRUE(PumpUntil([&] { return order.size() == 3 && ticks == 3; }));
    EXPECT_EQ(order, "abc");
    EXPECT_EQ(ranOn, ::GetCurrentThreadId());
    // Killed from its own callback: no tick after the third.
    PumpUntil([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_EQ(ticks, 3);
}

TEST(Win32MessageBox, ShowMessageReturnsAtOnceWhileTheBoxIsUp) {
    Win32Windows windows;
    const std::string caption = "KorvanelXP box " + std::to_string(::GetCurrentProcessId());
    const auto start = Clock::now();
    windows.ShowMessage("Critical Error #1", caption, MB_OK | MB_ICONERROR);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));

    HWND box = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (box = ::FindWindowA(nullptr, caption.c_str())); }))
        << "the box never appeared";
    // Still up: a wait that is not long enough ends with it open.
    windows.WaitForShownMessages(50);
    EXPECT_TRUE(::IsWindow(box));
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    const auto closing = Clock::now();
    windows.WaitForShownMessages(10000);
    EXPECT_LT(Clock::now() - closing, std::chrono::seconds(5));
    EXPECT_FALSE(::IsWindow(box));
}

}  // namespace
}  // namespace kxp::win32
