// A tray icon's popup menu. Its items come with the tray menus; until then opening it raises
// only OnPopup, the handler that runs as a menu opens.
#pragma once

#include <functional>

#include "tray/TTrayIcon.h"

namespace kxp {

class TPopupMenu final : public TTrayPopupMenu {
  public:
    std::function<void()> OnPopup;

    bool AutoPopup() const override { return true; }
    void Popup(platform::Point /*at*/) override {
        if (OnPopup) OnPopup();
    }
    void ClickDefaultItem() override {}
};

}  // namespace kxp
