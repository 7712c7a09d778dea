// A tray icon's popup menu: a tree of named items with captions, check marks and handlers. The
// native menu is made from the tree each time it opens, so captions and check marks set by the
// handlers that run as the menu opens are what the user sees.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "tray/TTrayIcon.h"

namespace kxp {

struct TMenuItem {
    std::string Name;
    std::u16string Caption;  // "-" makes a separator
    bool Checked = false;
    bool RadioItem = false;
    bool Visible = true;
    std::function<void()> OnClick;
    // Runs as the submenu the item holds opens.
    std::function<void()> OnPopup;
    std::vector<TMenuItem> Items;  // a submenu when not empty

    bool IsSeparator() const { return Caption == u"-"; }
    // This item or the first item below it with the name; nullptr when there is none.
    TMenuItem* Find(std::string_view name);
    // Calls visit on every item below this one, depth first in menu order.
    void ForEach(const std::function<void(TMenuItem&)>& visit);
};

class TPopupMenu final : public TTrayPopupMenu {
  public:
    TPopupMenu(platform::Menus& menus, std::string name);
    TPopupMenu(const TPopupMenu&) = delete;
    TPopupMenu& operator=(const TPopupMenu&) = delete;

    // The menu's items; their shape is fixed once the menu is in use.
    TMenuItem& Root() { return root_; }
    TMenuItem* Find(std::string_view name) { return root_.Find(name); }
    // Runs as the whole menu opens.
    std::function<void()> OnPopup;

    // The window the open menu belongs to, on whose thread it opens: the tray icons' window.
    void SetOwnerWindow(platform::Handle window) { window_ = window; }

    // TTrayPopupMenu. Popup runs the OnPopup handlers of the menu and of every visible submenu,
    // shows the menu at the point, and runs the OnClick of the item chosen, if any. A menu the
    // system cannot make is not shown. The menus have no default item.
    bool AutoPopup() const override { return true; }
    void Popup(platform::Point at) override;
    void ClickDefaultItem() override {}

  private:
    platform::Menus& menus_;
    TMenuItem root_;
    platform::Handle window_ = 0;
};

}  // namespace kxp
