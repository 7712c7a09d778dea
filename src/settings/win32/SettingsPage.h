// One page of the settings window: a child dialog (DS_CONTROL | WS_CHILD) inside the tab control,
// made from its template in the resource script. The window owns the pages and the state; a page
// only shows the state in its controls and takes it back from them.
#pragma once

#include <windows.h>

#include <string>

#include "settings/SettingsState.h"

namespace kxp::settings {

// What the window offers its pages.
class SettingsHost {
  public:
    virtual ~SettingsHost() = default;
    // The user edited a control: Apply becomes available.
    virtual void Changed() = 0;
    // Sends a control code to the service; false when the service is not running or refuses it.
    virtual bool SendToService(int code) = 0;
    // Caption number in the user's language, or the fallback.
    virtual std::wstring Caption(int number, const std::wstring& fallback) const = 0;
    // Restarts the settings program elevated (the shield button of the machine pages).
    virtual void RestartElevated() = 0;
};

class SettingsPage {
  public:
    virtual ~SettingsPage() = default;
    // The page's dialog template in the resource script.
    virtual int TemplateId() const = 0;
    // Caption number and English caption of the page's tab.
    virtual int TitleNumber() const = 0;
    virtual const wchar_t* Title() const = 0;
    // Once, right after the page dialog was made and translated (combo box items, ranges...).
    virtual void Create(HWND page, SettingsHost& host) = 0;
    // Shows the state in the page's controls (at start, after a reload, after Restore defaults).
    virtual void Show(HWND page, const SettingsState& state) = 0;
    // Takes the controls' values into state. False, after telling the user why, refuses the
    // whole OK or Apply: nothing is written.
    virtual bool Take(HWND page, SettingsState& state) = 0;
    // The page dialog's messages after WM_INITDIALOG; TRUE when handled. Call host.Changed()
    // when the user edits a value.
    virtual INT_PTR Handle(HWND page, UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // A notification from the service: 3 recovery started, 4 finished, 5 peak (value in MB),
    // 7 the service has ended; running tells whether the service is there now.
    virtual void Notified(HWND /*page*/, int /*code*/, LPARAM /*value*/) {}
    virtual void ServiceRunning(HWND /*page*/, bool /*running*/) {}
};

}  // namespace kxp::settings
