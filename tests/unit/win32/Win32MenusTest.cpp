// Popup menus on the real API: captions of any script reach the menu intact through the wide
// calls, with the check marks and the submenu the items were given.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/Win32Menus.h"

namespace kxp::win32 {
namespace {

std::wstring ItemText(HMENU menu, UINT position) {
    wchar_t text[64] = {};
    ::GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
    return text;
}

TEST(Win32MenusTest, CyrillicCaptionsAndCheckMarksReachTheMenu) {
    Win32Menus menus;
    const platform::Handle menu = menus.CreatePopupMenu();
    const platform::Handle submenu = menus.CreatePopupMenu();
    ASSERT_NE(menu, 0u);
    ASSERT_NE(submenu, 0u);
    platform::MenuItemInfo radio;
    radio.fType = platform::kMftRadioCheck;
    radio.fState = platform::kMfsChecked;
    radio.wID = 7;
    radio.caption = u"1 сек";
    ASSERT_TRUE(menus.InsertMenuItemW(submenu, radio));
    platform::MenuItemInfo interval;
    interval.hSubMenu = submenu;
    interval.caption = u"Интервал обновления";
    ASSERT_TRUE(menus.InsertMenuItemW(menu, interval));
    platform::MenuItemInfo exit;
    exit.wID = 1;
    exit.caption = u"Выход";
    ASSERT_TRUE(menus.InsertMenuItemW(menu, exit));

    const HMENU native = reinterpret_cast<HMENU>(menu);
    ASSERT_EQ(::GetMenuItemCount(native), 2);
    EXPECT_EQ(ItemText(native, 0), L"Интервал обновления");
    EXPECT_EQ(ItemText(native, 1), L"Выход");
    const HMENU nativeSubmenu = ::GetSubMenu(native, 0);
    ASSERT_EQ(nativeSubmenu, reinterpret_cast<HMENU>(submenu));
    EXPECT_EQ(ItemText(nativeSubmenu, 0), L"1 сек");
    EXPECT_EQ(::GetMenuState(nativeSubmenu, 0, MF_BYPOSITION) & MF_CHECKED, MF_CHECKED);
    EXPECT_EQ(::GetMenuItemID(native, 1), 1u);
    EXPECT_TRUE(menus.DestroyMenu(menu));  // the submenu goes with it
    EXPECT_FALSE(::IsMenu(nativeSubmenu));
}

}  // namespace
}  // namespace kxp::win32
