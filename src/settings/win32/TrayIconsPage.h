// The Tray icons page: what each icon shows and how, for both option sets of both icons, one
// record at a time, with a live preview drawn by the service's own renderer.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "settings/UserSettings.h"
#include "settings/win32/SettingsPage.h"
#include "settings/win32/TrayIconPreview.h"
#include "settings/win32/TrayIconsPageIds.h"

namespace kxp::settings {

class TrayIconsPage final : public SettingsPage {
  public:
    int TemplateId() const override { return IDD_TRAY_ICONS_PAGE; }
    int TitleNumber() const override { return IDC_TRAY_TITLE; }
    const wchar_t* Title() const override { return L"Tray icons"; }
    void Create(HWND page, SettingsHost& host) override;
    void Show(HWND page, const SettingsState& state) override;
    bool Take(HWND page, SettingsState& state) override;
    INT_PTR Handle(HWND page, UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    // The record the controls show: icon 1 or 2, set 0 (primary) or 1 (alternate).
    TConfig& Record() { return working_.Set(icon_, set_); }
    bool& ShownSet() { return working_.alternate[icon_ == 2 ? 1 : 0]; }

    // TrayIconsPageRecord.cpp: the record in the controls and the controls' edits in the record.
    void FillCombos(HWND page);
    void ShowRecord(HWND page);
    void ShowFonts(HWND page);
    // True when the control's message changed the record.
    bool RecordEdited(HWND page, int control, int notification);
    bool ChooseFor(HWND page, int control);
    // The first edit of the record whose text is no whole number; 0 when all are.
    static int BadNumber(HWND page);

    void Redraw(HWND page);
    void DrawItem(const DRAWITEMSTRUCT& item);

    SettingsHost* host_ = nullptr;
    UserSettings working_;
    int icon_ = 1;
    int set_ = 0;
    std::int32_t sample_ = 42;
    // While the page fills its own controls, their notifications are no edits.
    bool filling_ = false;
    std::unique_ptr<TrayIconPreview> preview_;
    std::array<COLORREF, 16> customColours_{};
    std::wstring bold_ = L"bold";
    std::wstring italic_ = L"italic";
};

}  // namespace kxp::settings
