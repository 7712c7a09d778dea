// The "File cache" page: how the service bounds the system file cache (not at all, from its
// automatic tables, basic or advanced, or at a fixed size), the stored minimum and maximum, and
// the alternative shell whose process marks the logged-on user.
#pragma once

#include "settings/win32/SettingsPage.h"

namespace kxp::settings {

class FileCachePage final : public SettingsPage {
  public:
    int TemplateId() const override;
    int TitleNumber() const override;
    const wchar_t* Title() const override;
    void Create(HWND page, SettingsHost& host) override;
    void Show(HWND page, const SettingsState& state) override;
    bool Take(HWND page, SettingsState& state) override;
    INT_PTR Handle(HWND page, UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    // The table choice follows the automatic mode, the sizes the fixed one.
    void UpdateEnabled(HWND page) const;

    SettingsHost* host_ = nullptr;
    bool writable_ = true;
    // Show fills the controls: their change notices are no edits of the user's.
    bool showing_ = false;
};

}  // namespace kxp::settings
