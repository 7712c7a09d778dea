#include "tray/TrayMenuTree.h"

#include <utility>

namespace kxp {

std::u16string AsciiCaption(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

namespace {

TMenuItem Item(std::string name, const std::string& caption, std::function<void()> onClick = {}) {
    TMenuItem item;
    item.Name = std::move(name);
    item.Caption = AsciiCaption(caption);
    item.OnClick = std::move(onClick);
    return item;
}

TMenuItem Separator(std::string name) {
    return Item(std::move(name), "-");
}

TMenuItem Radio(std::string name, const std::string& caption, std::function<void()> onClick) {
    TMenuItem item = Item(std::move(name), caption, std::move(onClick));
    item.RadioItem = true;
    return item;
}

TMenuItem DebugMenu(const TrayMenuHandlers& handlers) {
    TMenuItem debug = Item("Debug1", "Debug");
    debug.Visible = false;
    debug.Items.push_back(Item("ShowCPUCount1", "Show CPU Count", handlers.ShowCpuCount));
    const std::pair<const char*, const char*> switches[] = {
        {"d1", "Watch Login/Logoff"}, {"d3", "Draw Icon"},  {"d4", "Control File Cache"},
        {"d5", "Auto-Recover RAM"},   {"d6", "Long Sleep"},
    };
    for (const auto& [name, caption] : switches) {
        TMenuItem item = Item(name, caption);
        item.Checked = std::string(name) != "d6";
        debug.Items.push_back(std::move(item));
    }
    return debug;
}

TMenuItem IntervalMenu(int icon, const TrayMenuHandlers& handlers) {
    TMenuItem menu = Item(MenuItemName(icon, "miUpdateInterval"), "Update interval");
    menu.OnPopup = handlers.IntervalsOpening;
    for (const UpdateInterval& interval : kUpdateIntervals) {
        const std::int32_t ms = interval.Milliseconds;
        menu.Items.push_back(
            Radio(MenuItemName(icon, "miUpdateInterval" + std::string(interval.Seconds) + "sec"),
                  std::string(interval.Seconds) + " sec",
                  [choose = handlers.Interval, ms] { choose(ms); }));
    }
    return menu;
}

TMenuItem DisplayMenu(int icon, const TrayMenuHandlers& handlers) {
    TMenuItem menu = Item(MenuItemName(icon, "miDisplay"), "Display");
    menu.OnPopup = handlers.DisplaysOpening;
    const auto choose = [&handlers](DisplayCode code) {
        return [display = handlers.Display, code] { display(code); };
    };
    TMenuItem productIcon = Radio(DisplayMenuItem(icon, {}), kDisplayKinds[dkIcon].Caption,
                                  choose({dkIcon, dmRamFree}));
    productIcon.Checked = true;
    menu.Items.push_back(std::move(productIcon));
    for (const TDisplayKind kind : {dkNumeric, dkGraph, dkBlock}) {
        TMenuItem kindMenu =
            Item(MenuItemName(icon, std::string("miD_") + kDisplayKinds[kind].MenuItem),
                 kDisplayKinds[kind].Caption);
        for (std::int32_t metric = 0; metric < static_cast<std::int32_t>(kDisplayMetrics.size());
             ++metric) {
            const DisplayCode code{kind, static_cast<TDisplayMetric>(metric)};
            kindMenu.Items.push_back(
                Radio(DisplayMenuItem(icon, code), kDisplayMetrics[metric].Caption, choose(code)));
        }
        menu.Items.push_back(std::move(kindMenu));
    }
    return menu;
}

}  // namespace

std::string MenuItemName(int icon, const std::string& icon1Name) {
    if (icon != 2 || icon1Name.rfind("mi", 0) != 0) return icon1Name;
    return "mi2" + icon1Name.substr(2);
}

void BuildTrayMenu(TPopupMenu& menu, int icon, const TrayMenuHandlers& handlers) {
    const bool first = icon != 2;
    std::vector<TMenuItem>& items = menu.Root().Items;
    items.clear();
    if (first) items.push_back(DebugMenu(handlers));
    items.push_back(Item(first ? "MenuItemTrayIcon1" : "MenuItemTrayIcon2",
                         first ? "KorvanelXP - Tray Icon 1" : "KorvanelXP - Tray Icon 2",
                         handlers.Settings));
    items.push_back(Separator(first ? "N1" : "N5"));
    items.push_back(Item(MenuItemName(icon, "miExit"), "Exit", handlers.Exit));
    items.push_back(Separator(first ? "N4" : "N4b"));
    items.push_back(Item(MenuItemName(icon, "miLoadWin"), "Load on Windows startup",
                         handlers.LoadOnWindowsStartup));
    items.push_back(IntervalMenu(icon, handlers));
    items.push_back(DisplayMenu(icon, handlers));
    items.push_back(Separator(first ? "N3" : "N3b"));
    items.push_back(
        Item(MenuItemName(icon, "miAutoRecovery"), "Auto-Recovery", handlers.AutoRecovery));
    items.push_back(Item(MenuItemName(icon, "miRecoverRam"), "Recover RAM", handlers.RecoverRam));
    items.push_back(Separator(first ? "N2" : "N2b"));
    items.push_back(Item(MenuItemName(icon, "miSettings"), "Settings...", handlers.Settings));
}

}  // namespace kxp
