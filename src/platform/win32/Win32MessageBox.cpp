// Message boxes that never hold up the caller. The session manager shows the box in the active
// console session on the service's behalf; where it cannot (no such session, or a system without
// it), the box gets a thread of its own in this process.
#include <windows.h>
#include <wtsapi32.h>

#include <chrono>
#include <thread>

#include "platform/win32/Win32Windows.h"

namespace kxp::win32 {
namespace {

constexpr DWORD kNoSession = 0xFFFFFFFF;

bool SendToConsoleSession(const std::string& text, const std::string& caption, DWORD flags) {
    const DWORD session = ::WTSGetActiveConsoleSessionId();
    if (session == kNoSession) return false;
    DWORD response = 0;
    return ::WTSSendMessageA(WTS_CURRENT_SERVER_HANDLE, session, const_cast<char*>(caption.c_str()),
                             static_cast<DWORD>(caption.size()), const_cast<char*>(text.c_str()),
                             static_cast<DWORD>(text.size()), flags, 0, &response, FALSE) != 0;
}

}  // namespace

void Win32Windows::ShowMessage(const std::string& text, const std::string& caption,
                               std::uint32_t flags) {
    if (SendToConsoleSession(text, caption, flags)) return;
    {
        std::lock_guard guard(openBoxes_->lock);
        ++openBoxes_->count;
    }
    std::thread([boxes = openBoxes_, text, caption, flags] {
        // No owner window: keep the box in front of whatever the user is working in.
        ::MessageBoxA(nullptr, text.c_str(), caption.c_str(),
                      flags | MB_SETFOREGROUND | MB_TOPMOST);
        std::lock_guard guard(boxes->lock);
        --boxes->count;
        boxes->closed.notify_all();
    }).detach();
}

void Win32Windows::WaitForShownMessages(std::uint32_t timeoutMs) {
    std::unique_lock guard(openBoxes_->lock);
    openBoxes_->closed.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                                [this] { return openBoxes_->count == 0; });
}

}  // namespace kxp::win32
