// Finding windows, sending them messages, the calling thread's message queue and message boxes.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/Platform.h"

namespace kxp::win32 {

class Win32Windows final : public platform::Windows {
  public:
    platform::Handle FindWindowA(const char* className, const char* title) override;
    bool SendMessageTimeoutA(platform::Handle window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam, std::uint32_t flags,
                             std::uint32_t timeoutMs) override;
    std::uint32_t RegisterWindowMessageA(const std::string& name) override;
    void PumpThreadMessages() override;
    void ShowMessage(const std::string& text, const std::string& caption,
                     std::uint32_t flags) override;
    void WaitForShownMessages(std::uint32_t timeoutMs) override;
    // Hidden windows, their messages and timers (Win32HiddenWindow.cpp).
    platform::Handle CreateHiddenWindow(const std::string& className,
                                        platform::WindowProcedure& procedure) override;
    bool DestroyWindow(platform::Handle window) override;
    bool PostMessageA(platform::Handle window, std::uint32_t message, std::uintptr_t wParam,
                      std::intptr_t lParam) override;
    bool SetTimer(platform::Handle window, std::uintptr_t id, std::uint32_t intervalMs) override;
    bool KillTimer(platform::Handle window, std::uintptr_t id) override;
    // Hot keys (Win32HotKeys.cpp).
    bool RegisterHotKey(platform::Handle window, std::int32_t id, std::uint32_t modifiers,
                        std::uint32_t keyCode) override;
    bool UnregisterHotKey(platform::Handle window, std::int32_t id) override;
    // The window watch (Win32WindowWatch.cpp).
    void EnumWindows(const std::function<bool(platform::Handle)>& visit) override;
    std::uint32_t GetWindowThreadProcessId(platform::Handle window,
                                           std::uint32_t* processId) override;
    bool GetWindowRect(platform::Handle window, platform::Rect& rect) override;
    bool SetWindowPos(platform::Handle window, platform::Handle insertAfter, std::int32_t x,
                      std::int32_t y, std::int32_t cx, std::int32_t cy,
                      std::uint32_t flags) override;
    std::int32_t GetWindowLongA(platform::Handle window, std::int32_t index) override;
    platform::Handle GetForegroundWindow() override;
    platform::Handle GetDesktopWindow() override;
    bool SetForegroundWindow(platform::Handle window) override;
    std::int32_t GetSystemMetrics(std::int32_t index) override;
    std::int32_t GetWindowTextA(platform::Handle window, char* buffer,
                                std::int32_t maxCount) override;
    bool IsWindowVisible(platform::Handle window) override;

    // The boxes this process shows on threads of its own; shared with those threads, which may
    // outlive this object.
    struct OpenBoxes {
        std::mutex lock;
        std::condition_variable closed;
        int count = 0;
    };

  private:
    std::shared_ptr<OpenBoxes> openBoxes_ = std::make_shared<OpenBoxes>();
};

}  // namespace kxp::win32
