#include "platform/sim/SimMenus.h"

#include <utility>

namespace kxp::sim {

const SimMenuItem* SimMenuItem::At(const std::vector<std::u16string>& path) const {
    const SimMenuItem* item = this;
    for (const std::u16string& caption : path) {
        const SimMenuItem* next = nullptr;
        for (const SimMenuItem& child : item->items) {
            if (child.caption == caption) {
                next = &child;
                break;
            }
        }
        if (next == nullptr) return nullptr;
        item = next;
    }
    return item;
}

void SimMenus::ChooseOnNextPopup(std::vector<std::u16string> path) {
    std::lock_guard lock(mutex_);
    choice_ = std::move(path);
}

std::vector<SimShownMenu> SimMenus::ShownMenus() const {
    std::lock_guard lock(mutex_);
    return shown_;
}

int SimMenus::LiveMenuCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(menus_.size());
}

platform::Handle SimMenus::CreatePopupMenu() {
    std::lock_guard lock(mutex_);
    const platform::Handle menu = next_++;
    menus_[menu];
    return menu;
}

bool SimMenus::DestroyMenu(platform::Handle menu) {
    std::lock_guard lock(mutex_);
    if (!menus_.contains(menu)) return false;
    Destroy(menu);
    return true;
}

void SimMenus::Destroy(platform::Handle menu) {
    const auto found = menus_.find(menu);
    if (found == menus_.end()) return;
    const std::vector<Entry> entries = std::move(found->second);
    menus_.erase(found);
    for (const Entry& entry : entries) {
        if (entry.info.hSubMenu != 0) Destroy(entry.info.hSubMenu);
    }
}

bool SimMenus::InsertMenuItemW(platform::Handle menu, const platform::MenuItemInfo& item) {
    std::lock_guard lock(mutex_);
    const auto found = menus_.find(menu);
    if (found == menus_.end()) return false;
    if (item.hSubMenu != 0 && !menus_.contains(item.hSubMenu)) return false;
    found->second.push_back({item});
    return true;
}

SimMenuItem SimMenus::Snapshot(platform::Handle menu) const {
    SimMenuItem snapshot;
    const auto found = menus_.find(menu);
    if (found == menus_.end()) return snapshot;
    for (const Entry& entry : found->second) {
        SimMenuItem item;
        item.caption = entry.info.caption;
        item.type = entry.info.fType;
        item.state = entry.info.fState;
        item.id = entry.info.wID;
        if (entry.info.hSubMenu != 0) item.items = Snapshot(entry.info.hSubMenu).items;
        snapshot.items.push_back(std::move(item));
    }
    return snapshot;
}

std::uint32_t SimMenus::TrackPopupMenuEx(platform::Handle menu, std::int32_t x, std::int32_t y,
                                         platform::Handle window) {
    std::lock_guard lock(mutex_);
    if (!menus_.contains(menu)) return 0;
    SimShownMenu shown{Snapshot(menu), x, y, window};
    std::uint32_t chosen = 0;
    if (choice_) {
        const SimMenuItem* item = shown.menu.At(*choice_);
        // Windows chooses neither a submenu nor a separator.
        if (item != nullptr && item->items.empty() && !item->Separator()) chosen = item->id;
        choice_.reset();
    }
    shown_.push_back(std::move(shown));
    return chosen;
}

}  // namespace kxp::sim
