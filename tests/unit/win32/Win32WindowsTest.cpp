#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Windows.h"

namespace kxp::win32 {
namespace {

constexpr UINT kProbe = WM_APP + 1;

struct Received {
    WPARAM wParam;
    LPARAM lParam;
};

// The probe messages the test windows received, on any thread.
std::vector<Received> received;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kProbe) {
        received.push_back({wParam, lParam});
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

const char* TestClass() {
    static const std::string name =
        "KorvanelXPTestWindow" + std::to_string(::GetCurrentProcessId());
    static const bool registered = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &RecordingProc;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = name.c_str();
        return ::RegisterClassA(&windowClass) != 0;
    }();
    return registered ? name.c_str() : nullptr;
}

// A hidden window of the test class, owned by the calling thread. Message-only windows need no
// display, so most tests use them; FindWindowA sees top-level windows only.
HWND CreateTestWindow(const char* title, HWND parent = HWND_MESSAGE) {
    return ::CreateWindowExA(0, TestClass(), title, WS_OVERLAPPED, 0, 0, 10, 10, parent, nullptr,
                             ::GetModuleHandleA(nullptr), nullptr);
}

class Win32WindowsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        received.clear();
        window_ = CreateTestWindow(title_.c_str());
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        if (window_ != nullptr) ::DestroyWindow(window_);
    }
    platform::Handle Window() const { return reinterpret_cast<platform::Handle>(window_); }

    Win32Windows windows_;
    std::string title_ = "KorvanelXP test " + std::to_string(::GetCurrentProcessId());
    HWND window_ = nullptr;
};

TEST_F(Win32WindowsTest, FindWindowA_FindsATopLevelWindowByClassOrTitle) {
    const std::string title = title_ + " top";
    HWND topLevel = CreateTestWindow(title.c_str(), nullptr);
    // Wine without a display creates no top-level window at all.
    if (topLevel == nullptr) GTEST_SKIP() << "no top-level windows without a display";
    const auto handle = reinterpret_cast<platform::Handle>(topLevel);
    EXPECT_EQ(windows_.FindWindowA(TestClass(), nullptr), handle);
    EXPECT_EQ(windows_.FindWindowA(nullptr, title.c_str()), handle);
    ::DestroyWindow(topLevel);
}

TEST_F(Win32WindowsTest, FindWindowA_UnknownClassGivesZero) {
    EXPECT_EQ(windows_.FindWindowA("KorvanelXPNoSuchClass", nullptr), 0u);
}

TEST_F(Win32WindowsTest, SendMessageTimeoutA_DeliversToAResponsiveWindow) {
    EXPECT_TRUE(
        windows_.SendMessageTimeoutA(Window(), kProbe, 7, 42, platform::kSmtoAbortIfHung, 100));
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].wParam, 7u);
    EXPECT_EQ(received[0].lParam, 42);
}

TEST_F(Win32WindowsTest, SendMessageTimeoutA_ToADestroyedWindowFails) {
    ::DestroyWindow(window_);
    const platform::Handle gone = Window();
    window_ = nullptr;
    EXPECT_FALSE(windows_.SendMessageTimeoutA(gone, kProbe, 0, 0, platform::kSmtoNormal, 100));
    EXPECT_TRUE(received.empty());
}

TEST_F(Win32WindowsTest, SendMessageTimeoutA_GivesUpOnAWindowThatDoesNotAnswer) {
    // A window whose thread stops reading its queue until the test lets it go.
    std::atomic<HWND> silent{nullptr};
    UniqueKernelHandle release(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(release);
    std::thread owner([&] {
        silent = CreateTestWindow("KorvanelXP silent");
        ::WaitForSingleObject(release.get(), 10000);
        ::DestroyWindow(silent);
    });
    while (silent.load() == nullptr) std::this_thread::yield();

    const auto start = std::chrono::steady_clock::now();
    const bool answered =
        windows_.SendMessageTimeoutA(reinterpret_cast<platform::Handle>(silent.load()),
                                     platform::kWmNull, 0, 0, platform::kSmtoNormal, 100);
    const auto waited = std::chrono::steady_clock::now() - start;
    ::SetEvent(release.get());
    owner.join();

    EXPECT_FALSE(answered);
    EXPECT_LT(waited, std::chrono::seconds(2));
}

TEST_F(Win32WindowsTest, RegisterWindowMessageA_OneNameOneMessage) {
    const std::uint32_t first = windows_.RegisterWindowMessageA("KorvanelXPTestMessage");
    EXPECT_GE(first, 0xC000u);
    EXPECT_EQ(windows_.RegisterWindowMessageA("KorvanelXPTestMessage"), first);
    EXPECT_NE(windows_.RegisterWindowMessageA("KorvanelXPOtherTestMessage"), first);
}

TEST_F(Win32WindowsTest, PumpThreadMessages_DispatchesWhatIsQueuedAndReturns) {
    ASSERT_TRUE(::PostMessageA(window_, kProbe, 1, 0));
    ASSERT_TRUE(::PostMessageA(window_, kProbe, 2, 0));
    windows_.PumpThreadMessages();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].wParam, 1u);
    EXPECT_EQ(received[1].wParam, 2u);

    windows_.PumpThreadMessages();
    EXPECT_EQ(received.size(), 2u);
}

}  // namespace
}  // namespace kxp::win32
