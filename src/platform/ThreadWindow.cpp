#include "platform/ThreadWindow.h"

#include <utility>

namespace kxp {
namespace {

// One message wakes the window for all the work queued by then.
constexpr std::uint32_t kRunPostedWork = platform::kWmApp + 1;

}  // namespace

ThreadWindow::ThreadWindow(platform::Windows& windows, const std::string& className,
                           MessageHandler handler)
    : windows_(windows), handler_(std::move(handler)) {
    window_ = windows_.CreateHiddenWindow(className, *this);
}

ThreadWindow::~ThreadWindow() {
    if (window_ != 0) windows_.DestroyWindow(window_);
}

bool ThreadWindow::Post(std::function<void()> work) {
    if (window_ == 0) return false;
    bool wake = false;
    {
        std::lock_guard guard(workLock_);
        wake = work_.empty();
        work_.push_back(std::move(work));
    }
    if (wake && !windows_.PostMessageA(window_, kRunPostedWork, 0, 0)) {
        std::lock_guard guard(workLock_);
        work_.clear();
        return false;
    }
    return true;
}

bool ThreadWindow::SetTimer(std::uintptr_t id, std::uint32_t intervalMs,
                            std::function<void()> onTimer) {
    if (window_ == 0 || !windows_.SetTimer(window_, id, intervalMs)) return false;
    timers_[id] = std::move(onTimer);
    return true;
}

void ThreadWindow::KillTimer(std::uintptr_t id) {
    if (timers_.erase(id) != 0) windows_.KillTimer(window_, id);
}

bool ThreadWindow::WindowMessage(platform::Handle /*window*/, std::uint32_t message,
                                 std::uintptr_t wParam, std::intptr_t lParam,
                                 std::intptr_t& result) {
    if (message == kRunPostedWork) {
        RunPostedWork();
        return true;
    }
    if (message == platform::kWmTimer) {
        // A copy: the callback may kill or replace its own timer.
        const auto timer = timers_.find(wParam);
        if (timer != timers_.end()) {
            const auto onTimer = timer->second;
            onTimer();
        }
        return true;
    }
    return handler_ && handler_(message, wParam, lParam, result);
}

void ThreadWindow::RunPostedWork() {
    std::deque<std::function<void()>> work;
    {
        std::lock_guard guard(workLock_);
        work.swap(work_);
    }
    for (auto& item : work) item();
}

}  // namespace kxp
