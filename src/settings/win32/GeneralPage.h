// The General page: language, priority, the update windows and start with Windows.
#pragma once

#include "settings/win32/SettingsPage.h"

namespace kxp::settings {

class GeneralPage final : public SettingsPage {
  public:
    int TemplateId() const override;
    int TitleNumber() const override;
    const wchar_t* Title() const override { return L"General"; }
    void Create(HWND page, SettingsHost& host) override;
    void Show(HWND page, const SettingsState& state) override;
    bool Take(HWND page, SettingsState& state) override;
    INT_PTR Handle(HWND page, UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    SettingsHost* host_ = nullptr;
    std::wstring automatic_;
};

}  // namespace kxp::settings
