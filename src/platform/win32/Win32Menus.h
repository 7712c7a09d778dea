// Popup menus on USER32.
#pragma once

#include "platform/Platform.h"

namespace kxp::win32 {

class Win32Menus final : public platform::Menus {
  public:
    platform::Handle CreatePopupMenu() override;
    bool DestroyMenu(platform::Handle menu) override;
    bool InsertMenuItemW(platform::Handle menu, const platform::MenuItemInfo& item) override;
    std::uint32_t TrackPopupMenuEx(platform::Handle menu, std::int32_t x, std::int32_t y,
                                   platform::Handle window) override;
};

}  // namespace kxp::win32
