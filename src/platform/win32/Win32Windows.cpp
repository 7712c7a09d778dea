#include "platform/win32/Win32Windows.h"

#include <windows.h>

namespace kxp::win32 {

platform::Handle Win32Windows::FindWindowA(const char* className, const char* title) {
    return reinterpret_cast<platform::Handle>(::FindWindowA(className, title));
}

bool Win32Windows::SendMessageTimeoutA(platform::Handle window, std::uint32_t message,
                                       std::uintptr_t wParam, std::intptr_t lParam,
                                       std::uint32_t flags, std::uint32_t timeoutMs) {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(reinterpret_cast<HWND>(window), message, wParam, lParam, flags,
                                 timeoutMs, &result) != 0;
}

std::uint32_t Win32Windows::RegisterWindowMessageA(const std::string& name) {
    return ::RegisterWindowMessageA(name.c_str());
}

void Win32Windows::PumpThreadMessages() {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

}  // namespace kxp::win32
