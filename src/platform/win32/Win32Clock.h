// Tick count and sleep on the real clock.
#pragma once

#include "platform/Platform.h"

namespace kxp::win32 {

class Win32Clock final : public platform::Clock {
  public:
    std::uint32_t GetTickCount() override;
    void Sleep(std::uint32_t milliseconds) override;
};

}  // namespace kxp::win32
