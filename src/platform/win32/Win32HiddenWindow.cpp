// Invisible top-level windows whose messages go to a platform::WindowProcedure, and the posted
// messages and timers that reach them on their own thread.
#include <windows.h>

#include "platform/win32/Win32Windows.h"

namespace kxp::win32 {
namespace {

platform::WindowProcedure* ProcedureOf(HWND window) {
    return reinterpret_cast<platform::WindowProcedure*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT CALLBACK HiddenWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    // The few messages before WM_NCCREATE find no procedure and get the default handling.
    platform::WindowProcedure* procedure = ProcedureOf(window);
    if (message == WM_NCDESTROY) ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    std::intptr_t result = 0;
    if (procedure != nullptr && procedure->WindowMessage(reinterpret_cast<platform::Handle>(window),
                                                         message, wParam, lParam, result)) {
        return result;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

platform::Handle Win32Windows::CreateHiddenWindow(const std::string& className,
                                                  platform::WindowProcedure& procedure) {
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &HiddenWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className.c_str();
    if (::RegisterClassExA(&windowClass) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return 0;
    }
    // A tool window is never shown in the taskbar, should anything ever show it.
    const HWND window = ::CreateWindowExA(WS_EX_TOOLWINDOW, className.c_str(), "", WS_POPUP, 0, 0,
                                          0, 0, nullptr, nullptr, instance, &procedure);
    return reinterpret_cast<platform::Handle>(window);
}

bool Win32Windows::DestroyWindow(platform::Handle window) {
    return ::DestroyWindow(reinterpret_cast<HWND>(window)) != 0;
}

bool Win32Windows::PostMessageA(platform::Handle window, std::uint32_t message,
                                std::uintptr_t wParam, std::intptr_t lParam) {
    return ::PostMessageA(reinterpret_cast<HWND>(window), message, wParam, lParam) != 0;
}

bool Win32Windows::SetTimer(platform::Handle window, std::uintptr_t id, std::uint32_t intervalMs) {
    return ::SetTimer(reinterpret_cast<HWND>(window), id, intervalMs, nullptr) != 0;
}

bool Win32Windows::KillTimer(platform::Handle window, std::uintptr_t id) {
    return ::KillTimer(reinterpret_cast<HWND>(window), id) != 0;
}

}  // namespace kxp::win32
