// The simulated popup menus: records each menu as it was shown and answers the next one with the
// item a test chose. Thread-safe.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace kxp::sim {

struct SimMenuItem {
    std::u16string caption;
    std::uint32_t type = 0;
    std::uint32_t state = 0;
    std::uint32_t id = 0;
    std::vector<SimMenuItem> items;  // a submenu's

    bool Checked() const { return (state & platform::kMfsChecked) != 0; }
    bool Separator() const { return (type & platform::kMftSeparator) != 0; }
    bool Radio() const { return (type & platform::kMftRadioCheck) != 0; }
    // The item at the end of a caption path from this one; nothing when the path leads nowhere.
    const SimMenuItem* At(const std::vector<std::u16string>& path) const;
};

struct SimShownMenu {
    SimMenuItem menu;
    std::int32_t x = 0;
    std::int32_t y = 0;
    platform::Handle window = 0;
};

class SimMenus final : public platform::Menus {
  public:
    // The next menu shown chooses the item at this caption path; a path not in that menu chooses
    // nothing.
    void ChooseOnNextPopup(std::vector<std::u16string> path);
    std::vector<SimShownMenu> ShownMenus() const;
    int LiveMenuCount() const;

    platform::Handle CreatePopupMenu() override;
    bool DestroyMenu(platform::Handle menu) override;
    bool InsertMenuItemW(platform::Handle menu, const platform::MenuItemInfo& item) override;
    std::uint32_t TrackPopupMenuEx(platform::Handle menu, std::int32_t x, std::int32_t y,
                                   platform::Handle window) override;

  private:
    struct Entry {
        platform::MenuItemInfo info;
    };
    SimMenuItem Snapshot(platform::Handle menu) const;
    void Destroy(platform::Handle menu);

    mutable std::mutex mutex_;
    std::map<platform::Handle, std::vector<Entry>> menus_;
    platform::Handle next_ = 0x9000;
    std::optional<std::vector<std::u16string>> choice_;
    std::vector<SimShownMenu> shown_;
};

}  // namespace kxp::sim
