// The items of the two tray menus, in menu order, with their built-in English captions and the
// handlers they call. Icon 2's items are named with "mi2" where icon 1's begin with "mi"; only
// icon 1's menu has the hidden Debug submenu.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "tray/DisplayModel.h"
#include "tray/TPopupMenu.h"

namespace kxp {

// The update intervals the menus offer, in ms, and the item names' endings.
struct UpdateInterval {
    std::int32_t Milliseconds;
    const char* Seconds;  // "1" for "miUpdateInterval1sec" and the caption "1 sec"
};
inline constexpr UpdateInterval kUpdateIntervals[] = {
    {1000, "1"}, {3000, "3"}, {5000, "5"}, {10000, "10"}, {60000, "60"},
};

struct TrayMenuHandlers {
    std::function<void()> Settings;  // the title item and "Settings..."
    std::function<void()> Exit;
    std::function<void()> LoadOnWindowsStartup;
    std::function<void()> IntervalsOpening;  // as "Update interval" opens
    std::function<void(std::int32_t milliseconds)> Interval;
    std::function<void()> DisplaysOpening;  // as "Display" opens
    std::function<void(DisplayCode code)> Display;
    std::function<void()> AutoRecovery;
    std::function<void()> RecoverRam;
    std::function<void()> ShowCpuCount;  // Debug submenu, icon 1 only
};

// A built-in English caption (plain ASCII) as the menus hold captions.
std::u16string AsciiCaption(const std::string& ascii);

// The item name of icon 1's menu as icon 2's menu names it: "miExit" -> "mi2Exit".
std::string MenuItemName(int icon, const std::string& icon1Name);

// Fills the menu of tray icon 1 or 2 with every item.
void BuildTrayMenu(TPopupMenu& menu, int icon, const TrayMenuHandlers& handlers);

}  // namespace kxp
