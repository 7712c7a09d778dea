#include "platform/win32/Win32Menus.h"

#include <windows.h>

#include <string>

namespace kxp::win32 {
namespace {

HMENU AsMenu(platform::Handle menu) {
    return reinterpret_cast<HMENU>(menu);
}

HWND AsWindow(platform::Handle window) {
    return reinterpret_cast<HWND>(window);
}

}  // namespace

platform::Handle Win32Menus::CreatePopupMenu() {
    return reinterpret_cast<platform::Handle>(::CreatePopupMenu());
}

bool Win32Menus::DestroyMenu(platform::Handle menu) {
    return ::DestroyMenu(AsMenu(menu)) != FALSE;
}

bool Win32Menus::InsertMenuItemW(platform::Handle menu, const platform::MenuItemInfo& item) {
    std::wstring caption(item.caption.begin(), item.caption.end());
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.fType = item.fType;
    info.fState = item.fState;
    info.wID = item.wID;
    info.hSubMenu = AsMenu(item.hSubMenu);
    info.dwTypeData = caption.data();
    info.cch = static_cast<UINT>(caption.size());
    const int end = ::GetMenuItemCount(AsMenu(menu));
    if (end < 0) return false;
    return ::InsertMenuItemW(AsMenu(menu), static_cast<UINT>(end), TRUE, &info) != FALSE;
}

std::uint32_t Win32Menus::TrackPopupMenuEx(platform::Handle menu, std::int32_t x, std::int32_t y,
                                           platform::Handle window) {
    const BOOL chosen = ::TrackPopupMenuEx(AsMenu(menu), TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y,
                                           AsWindow(window), nullptr);
    // Without a message after it, a menu of a window that is not the foreground one may fail to
    // close or to open the next time.
    ::PostMessageW(AsWindow(window), WM_NULL, 0, 0);
    return chosen > 0 ? static_cast<std::uint32_t>(chosen) : 0;
}

}  // namespace kxp::win32
