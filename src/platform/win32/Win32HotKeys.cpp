// System-wide hot keys on a window of the calling thread.
#include <windows.h>

#include "platform/win32/Win32Windows.h"

namespace kxp::win32 {

bool Win32Windows::RegisterHotKey(platform::Handle window, std::int32_t id, std::uint32_t modifiers,
                                  std::uint32_t keyCode) {
    return ::RegisterHotKey(reinterpret_cast<HWND>(window), id, modifiers, keyCode) != 0;
}

bool Win32Windows::UnregisterHotKey(platform::Handle window, std::int32_t id) {
    return ::UnregisterHotKey(reinterpret_cast<HWND>(window), id) != 0;
}

}  // namespace kxp::win32
