// The hidden window all tray icons share: the shell's callback messages for each icon and its
// "TaskbarCreated" broadcast reach the icons through it. The icons hold it by a shared reference,
// so it goes with the last of them.
#pragma once

#include <cstdint>
#include <map>

#include "platform/Platform.h"
#include "platform/ThreadWindow.h"

namespace kxp {

class TTrayIcon;

// The message the shell sends for every mouse event on a tray icon: WM_USER + 1024.
inline constexpr std::uint32_t kTrayCallbackMessage = 0x0800;
inline constexpr const char* kTrayWindowClass = "KorvanelXPTrayIcons";
inline constexpr const char* kTaskbarCreatedMessage = "TaskbarCreated";

class TTrayWindow {
  public:
    // On the thread whose messages the icons' events are to run on.
    explicit TTrayWindow(platform::Windows& windows);
    TTrayWindow(const TTrayWindow&) = delete;
    TTrayWindow& operator=(const TTrayWindow&) = delete;

    platform::Handle Window() const { return window_.Window(); }
    ThreadWindow& Thread() { return window_; }

    // An icon from its making to its end; returns the identifier the shell knows it by.
    std::uint32_t Attach(TTrayIcon& icon);
    void Detach(std::uint32_t identifier);
    // A timer id no other user of the window has.
    std::uintptr_t NewTimerId() { return ++lastTimerId_; }

  private:
    bool Message(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                 std::intptr_t& result);

    std::uint32_t taskbarCreated_;
    std::map<std::uint32_t, TTrayIcon*> icons_;
    std::uint32_t lastIdentifier_ = 0;
    std::uintptr_t lastTimerId_ = 0;
    // Last, so that everything its messages reach is there before it.
    ThreadWindow window_;
};

}  // namespace kxp
