#include "tray/TPopupMenu.h"

#include <utility>

#include "platform/UniqueHandle.h"

namespace kxp {
namespace {

struct DestroyMenuWith {
    platform::Menus* menus = nullptr;
    void operator()(platform::Handle menu) const { menus->DestroyMenu(menu); }
};
using OwnedMenu = unique_handle<platform::Handle, DestroyMenuWith>;

// The native menu holds every submenu from the start, so each submenu's handler runs before the
// menu shows rather than as the submenu opens; nothing changes in between.
void RunSubmenuHandlers(TMenuItem& parent) {
    for (TMenuItem& child : parent.Items) {
        if (!child.Visible || child.Items.empty()) continue;
        if (child.OnPopup) child.OnPopup();
        RunSubmenuHandlers(child);
    }
}

// Fills menu with the visible items below parent; the command id of an item is its place in
// commands, plus one. False when the system refused a part of it.
bool Fill(platform::Menus& menus, platform::Handle menu, TMenuItem& parent,
          std::vector<TMenuItem*>& commands) {
    for (TMenuItem& item : parent.Items) {
        if (!item.Visible) continue;
        platform::MenuItemInfo info;
        info.caption = item.Caption;
        if (item.IsSeparator()) {
            info.fType = platform::kMftSeparator;
            info.caption.clear();
        } else if (item.RadioItem) {
            info.fType = platform::kMftRadioCheck;
        }
        if (item.Checked) info.fState = platform::kMfsChecked;
        OwnedMenu submenu;
        if (!item.Items.empty()) {
            submenu = OwnedMenu(menus.CreatePopupMenu(), DestroyMenuWith{&menus});
            if (!submenu || !Fill(menus, submenu.get(), item, commands)) return false;
            info.hSubMenu = submenu.get();
        } else if (!item.IsSeparator()) {
            commands.push_back(&item);
            info.wID = static_cast<std::uint32_t>(commands.size());
        }
        if (!menus.InsertMenuItemW(menu, info)) return false;
        submenu.release();  // the menu owns it now
    }
    return true;
}

}  // namespace

TMenuItem* TMenuItem::Find(std::string_view name) {
    if (Name == name) return this;
    for (TMenuItem& child : Items) {
        if (TMenuItem* found = child.Find(name)) return found;
    }
    return nullptr;
}

void TMenuItem::ForEach(const std::function<void(TMenuItem&)>& visit) {
    for (TMenuItem& child : Items) {
        visit(child);
        child.ForEach(visit);
    }
}

TPopupMenu::TPopupMenu(platform::Menus& menus, std::string name) : menus_(menus) {
    root_.Name = std::move(name);
}

void TPopupMenu::Popup(platform::Point at) {
    if (OnPopup) OnPopup();
    RunSubmenuHandlers(root_);
    std::vector<TMenuItem*> commands;
    std::uint32_t chosen = 0;
    {
        OwnedMenu menu(menus_.CreatePopupMenu(), DestroyMenuWith{&menus_});
        if (!menu || !Fill(menus_, menu.get(), root_, commands)) return;
        chosen = menus_.TrackPopupMenuEx(menu.get(), at.x, at.y, window_);
    }
    if (chosen == 0 || chosen > commands.size()) return;
    TMenuItem& item = *commands[chosen - 1];
    if (item.OnClick) item.OnClick();
}

}  // namespace kxp
