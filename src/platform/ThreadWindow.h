// A hidden window of the thread that makes it. Work posted from any thread runs on that thread, in
// the order posted; its timers and the other messages of the window call back there too. The tray
// icons, their menus and the hot keys live on such windows.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "platform/Platform.h"

namespace kxp {

class ThreadWindow final : private platform::WindowProcedure {
  public:
    // Messages other than posted work and timers; false leaves one to the default handling.
    using MessageHandler = std::function<bool(std::uint32_t message, std::uintptr_t wParam,
                                              std::intptr_t lParam, std::intptr_t& result)>;

    ThreadWindow(platform::Windows& windows, const std::string& className,
                 MessageHandler handler = {});
    ThreadWindow(const ThreadWindow&) = delete;
    ThreadWindow& operator=(const ThreadWindow&) = delete;
    // On the thread that made it; work still queued is dropped.
    ~ThreadWindow() override;

    platform::Handle Window() const { return window_; }

    // Any thread. False when there is no window to run it (it is dropped then).
    bool Post(std::function<void()> work);

    // The window's thread only. onTimer runs every intervalMs until KillTimer.
    bool SetTimer(std::uintptr_t id, std::uint32_t intervalMs, std::function<void()> onTimer);
    void KillTimer(std::uintptr_t id);

  private:
    bool WindowMessage(platform::Handle window, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam, std::intptr_t& result) override;
    void RunPostedWork();

    platform::Windows& windows_;
    MessageHandler handler_;
    platform::Handle window_ = 0;

    std::mutex workLock_;
    std::deque<std::function<void()>> work_;
    // The window's thread only.
    std::map<std::uintptr_t, std::function<void()>> timers_;
};

}  // namespace kxp
