// The window-watch calls of the simulated machine: enumeration, owners, rectangles, styles,
// moves, the foreground window, the screen size and titles.
#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/sim/SimServices.h"

namespace kxp::sim::detail {
namespace {

// Made-up thread ids, distinct per process.
std::uint32_t ThreadOf(std::uint32_t processId) {
    return processId * 4 + 0x1000;
}

}  // namespace

void SimWindows::EnumWindows(const std::function<bool(platform::Handle)>& visit) {
    std::vector<platform::Handle> handles;
    {
        std::lock_guard lock(state_.mutex);
        state_.windowWatch.calls.emplace_back("EnumWindows");
        for (const SimWindow& window : state_.windows) handles.push_back(window.handle);
    }
    // Outside the lock: the visitor calls back into the machine.
    for (const platform::Handle handle : handles) {
        if (!visit(handle)) return;
    }
}

std::uint32_t SimWindows::GetWindowThreadProcessId(platform::Handle window,
                                                   std::uint32_t* processId) {
    std::lock_guard lock(state_.mutex);
    state_.windowWatch.calls.emplace_back("GetWindowThreadProcessId");
    const SimWindow* found = state_.FindWindowByHandle(window);
    if (found == nullptr) return 0;
    if (processId != nullptr) *processId = found->processId;
    return ThreadOf(found->processId);
}

bool SimWindows::GetWindowRect(platform::Handle window, platform::Rect& rect) {
    std::lock_guard lock(state_.mutex);
    state_.windowWatch.calls.emplace_back("GetWindowRect");
    const SimWindow* found = state_.FindWindowByHandle(window);
    if (found == nullptr) return false;
    rect = found->rect;
    return true;
}

bool SimWindows::SetWindowPos(platform::Handle window, platform::Handle insertAfter, std::int32_t x,
                              std::int32_t y, std::int32_t cx, std::int32_t cy,
                              std::uint32_t flags) {
    std::lock_guard lock(state_.mutex);
    state_.windowWatch.calls.emplace_back("SetWindowPos");
    SimWindow* found = state_.FindWindowByHandle(window);
    if (found == nullptr) return false;
    state_.windowWatch.moves.push_back(SimWindowMove{window, insertAfter, x, y, cx, cy, flags});
    found->rect = platform::Rect{x, y, x + cx, y + cy};
    return true;
}

std::int32_t SimWindows::GetWindowLongA(platform::Handle window, std::int32_t index) {
    std::lock_guard lock(state_.mutex);
    state_.windowWatch.calls.emplace_back("GetWindowLongA");
    const SimWindow* found = state_.FindWindowByHandle(window);
    if (found == nullptr || index != platform::kGwlExStyle) return 0;
    return found->exStyle;
}

platform::Handle SimWindows::GetForegroundWindow() {
    std::lock_guard lock(state_.mutex);
    return state_.windowWatch.foreground;
}

platform::Handle SimWindows::GetDesktopWindow() {
    std::lock_guard lock(state_.mutex);
    return state_.windowWatch.desktop;
}

bool SimWindows::SetForegroundWindow(platform::Handle window) {
    std::lock_guard lock(state_.mutex);
    if (state_.FindWindowByHandle(window) == nullptr) return false;
    state_.windowWatch.foreground = window;
    return true;
}

std::int32_t SimWindows::GetSystemMetrics(std::int32_t index) {
    std::lock_guard lock(state_.mutex);
    if (index == platform::kSmCxScreen) return state_.windowWatch.screenWidth;
    if (index == platform::kSmCyScreen) return state_.windowWatch.screenHeight;
    return 0;
}

std::int32_t SimWindows::GetWindowTextA(platform::Handle window, char* buffer,
                                        std::int32_t maxCount) {
    std::lock_guard lock(state_.mutex);
    state_.windowWatch.calls.emplace_back("GetWindowTextA");
    if (buffer == nullptr || maxCount <= 0) return 0;
    const SimWindow* found = state_.FindWindowByHandle(window);
    const std::string title = found == nullptr ? std::string() : found->title;
    const auto copied = std::min<std::size_t>(title.size(), static_cast<std::size_t>(maxCount) - 1);
    std::memcpy(buffer, title.data(), copied);
    buffer[copied] = '\0';
    return static_cast<std::int32_t>(copied);
}

bool SimWindows::IsWindowVisible(platform::Handle window) {
    std::lock_guard lock(state_.mutex);
    state_.windowWatch.calls.emplace_back("IsWindowVisible");
    const SimWindow* found = state_.FindWindowByHandle(window);
    return found != nullptr && found->visible;
}

}  // namespace kxp::sim::detail
