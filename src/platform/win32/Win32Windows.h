// Finding windows, sending them messages, the calling thread's message queue and message boxes.
#pragma once

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
    int MessageBoxA(const std::string& text, const std::string& caption,
                    std::uint32_t flags) override;
};

}  // namespace kxp::win32
