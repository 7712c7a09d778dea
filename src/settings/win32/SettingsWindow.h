// The settings window: a dialog of its own class "TKorvanelXPF", so that the service finds it,
// with one tab per page, OK / Cancel / Apply and "Restore defaults"; it listens for the service's
// notifications and follows whether the service runs.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "settings/SettingsState.h"
#include "settings/win32/SettingsPage.h"

namespace kxp::settings {

class SettingsWindow final : public SettingsHost {
  public:
    SettingsWindow(HINSTANCE instance, win32::Win32Platform& platform);
    SettingsWindow(const SettingsWindow&) = delete;
    SettingsWindow& operator=(const SettingsWindow&) = delete;
    ~SettingsWindow() override;

    // Loads the options and the user's language, makes the window and its pages and shows it.
    // False when the window could not be made.
    bool Create(int showCommand);
    HWND Window() const { return window_; }

    void Changed() override;
    bool SendToService(int code) override;
    std::wstring Caption(int number, const std::wstring& fallback) const override;
    void RestartElevated() override;

  private:
    struct PageSlot {
        SettingsWindow* owner = nullptr;
        std::unique_ptr<SettingsPage> page;
        HWND window = nullptr;
    };

    static INT_PTR CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInit();
    void OnCommand(int id);
    void LoadState();
    void LoadLanguage();
    void ShowState();
    void SelectPage(int index);
    // Takes every page's values and writes them; false when a page refused or a write failed.
    bool Apply();
    void RestoreDefaults();
    void OnNotification(int code, LPARAM value);
    void FollowService();

    HINSTANCE instance_;
    win32::Win32Platform& platform_;
    std::vector<std::unique_ptr<PageSlot>> pages_;
    SettingsState state_;
    HWND window_ = nullptr;
    UINT notificationMessage_ = 0;
    bool serviceRunning_ = false;
};

}  // namespace kxp::settings
