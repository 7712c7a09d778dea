// The window-watch calls of the real platform: enumeration, owners, rectangles, styles, moves,
// the foreground window, the screen size and titles.
#include <windows.h>

#include "platform/win32/Win32Windows.h"

namespace kxp::win32 {
namespace {

HWND AsWindow(platform::Handle window) {
    return reinterpret_cast<HWND>(window);
}

BOOL CALLBACK VisitWindow(HWND window, LPARAM context) {
    const auto& visit = *reinterpret_cast<const std::function<bool(platform::Handle)>*>(context);
    return visit(reinterpret_cast<platform::Handle>(window)) ? TRUE : FALSE;
}

}  // namespace

void Win32Windows::EnumWindows(const std::function<bool(platform::Handle)>& visit) {
    ::EnumWindows(&VisitWindow, reinterpret_cast<LPARAM>(&visit));
}

std::uint32_t Win32Windows::GetWindowThreadProcessId(platform::Handle window,
                                                     std::uint32_t* processId) {
    DWORD process = 0;
    const DWORD thread = ::GetWindowThreadProcessId(AsWindow(window), &process);
    if (processId != nullptr && thread != 0) *processId = process;
    return thread;
}

bool Win32Windows::GetWindowRect(platform::Handle window, platform::Rect& rect) {
    RECT bounds{};
    if (::GetWindowRect(AsWindow(window), &bounds) == FALSE) return false;
    rect = platform::Rect{bounds.left, bounds.top, bounds.right, bounds.bottom};
    return true;
}

bool Win32Windows::SetWindowPos(platform::Handle window, platform::Handle insertAfter,
                                std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy,
                                std::uint32_t flags) {
    return ::SetWindowPos(AsWindow(window), AsWindow(insertAfter), x, y, cx, cy, flags) != FALSE;
}

std::int32_t Win32Windows::GetWindowLongA(platform::Handle window, std::int32_t index) {
    return ::GetWindowLongA(AsWindow(window), index);
}

platform::Handle Win32Windows::GetForegroundWindow() {
    return reinterpret_cast<platform::Handle>(::GetForegroundWindow());
}

platform::Handle Win32Windows::GetDesktopWindow() {
    return reinterpret_cast<platform::Handle>(::GetDesktopWindow());
}

bool Win32Windows::SetForegroundWindow(platform::Handle window) {
    return ::SetForegroundWindow(reinterpret_cast<HWND>(window)) != FALSE;
}

std::int32_t Win32Windows::GetSystemMetrics(std::int32_t index) {
    return ::GetSystemMetrics(index);
}

std::int32_t Win32Windows::GetWindowTextA(platform::Handle window, char* buffer,
                                          std::int32_t maxCount) {
    return ::GetWindowTextA(AsWindow(window), buffer, maxCount);
}

bool Win32Windows::IsWindowVisible(platform::Handle window) {
    return ::IsWindowVisible(AsWindow(window)) != FALSE;
}

}  // namespace kxp::win32
