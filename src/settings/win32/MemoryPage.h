// The "Memory" page: automatic recovery (on or off, the free-memory limit, the least pause, the
// postponement while the processor is busy and its threshold), the performance-counters switch,
// a button that asks the service to recover RAM now with the recovery's progress, and the
// highest memory use the service has seen.
#pragma once

#include "settings/win32/SettingsPage.h"

namespace kxp::settings {

class MemoryPage final : public SettingsPage {
  public:
    int TemplateId() const override;
    int TitleNumber() const override;
    const wchar_t* Title() const override;
    void Create(HWND page, SettingsHost& host) override;
    void Show(HWND page, const SettingsState& state) override;
    bool Take(HWND page, SettingsState& state) override;
    INT_PTR Handle(HWND page, UINT message, WPARAM wParam, LPARAM lParam) override;
    void Notified(HWND page, int code, LPARAM value) override;
    void ServiceRunning(HWND page, bool running) override;

  private:
    // The limit, pause and threshold follow their switches.
    void UpdateEnabled(HWND page) const;
    void SetStatus(HWND page, int number);
    void ShowRecovering(HWND page, bool recovering);
    void AskPeak();

    SettingsHost* host_ = nullptr;
    bool writable_ = true;
    // Show fills the controls: their change notices are no edits of the user's.
    bool showing_ = false;
    // The window tells at once whether the service runs, and again whenever that changes.
    bool running_ = false;
    bool recovering_ = false;
    int status_ = 0;
};

}  // namespace kxp::settings
