#include "platform/win32/Win32Clock.h"

#include <windows.h>

namespace kxp::win32 {

std::uint32_t Win32Clock::GetTickCount() {
    return ::GetTickCount();
}

void Win32Clock::Sleep(std::uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

}  // namespace kxp::win32
