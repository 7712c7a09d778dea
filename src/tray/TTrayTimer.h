// A millisecond timer of a tray icon: ticks on the thread of the hidden window it runs on.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/ThreadWindow.h"

namespace kxp {

class TTrayTimer {
  public:
    // id is the timer's own on that window.
    TTrayTimer(ThreadWindow& window, std::uintptr_t id);
    ~TTrayTimer();
    TTrayTimer(const TTrayTimer&) = delete;
    TTrayTimer& operator=(const TTrayTimer&) = delete;

    std::function<void()> OnTimer;

    std::uint32_t Interval() const { return interval_; }
    // A running timer starts its interval again.
    void SetInterval(std::uint32_t milliseconds);
    bool Enabled() const { return enabled_; }
    // An interval of 0 never ticks.
    void SetEnabled(bool enabled);

  private:
    void Restart();

    ThreadWindow& window_;
    std::uintptr_t id_;
    std::uint32_t interval_ = 1000;
    bool enabled_ = false;
    bool running_ = false;
};

}  // namespace kxp
