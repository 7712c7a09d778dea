#include "tray/TTrayTimer.h"

namespace kxp {

TTrayTimer::TTrayTimer(ThreadWindow& window, std::uintptr_t id) : window_(window), id_(id) {}

TTrayTimer::~TTrayTimer() {
    SetEnabled(false);
}

void TTrayTimer::SetInterval(std::uint32_t milliseconds) {
    interval_ = milliseconds;
    Restart();
}

void TTrayTimer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Restart();
}

void TTrayTimer::Restart() {
    if (running_) window_.KillTimer(id_);
    running_ = false;
    if (!enabled_ || interval_ == 0) return;
    running_ = window_.SetTimer(id_, interval_, [this] {
        if (OnTimer) OnTimer();
    });
}

}  // namespace kxp
