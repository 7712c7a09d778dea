// The settings program's entry: the window, or one of the command-line requests to the service.
#include <windows.h>
// The common controls and the shell need windows.h first.
#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"
#include "settings/CommandLine.h"
#include "settings/win32/ServiceChannel.h"
#include "settings/win32/SettingsWindow.h"

namespace kxp::settings {
namespace {

constexpr const wchar_t* kProgramTitle = L"KorvanelXP Settings";
// Longer than any recovery takes, so that only a lost notification ends the wait.
constexpr UINT kRecoverLimitMs = 60000;
// How long an elevated start waits for the window that asked for it to go, and a second start for
// the first one's window to appear.
constexpr DWORD kOtherWindowWaitMs = 5000;
constexpr DWORD kOtherWindowStepMs = 100;
// Held by the start that shows the window, for the whole session.
constexpr const wchar_t* kWindowMutexName = L"Local\\KorvanelXPSettingsWindow";

std::vector<std::wstring> Arguments() {
    int count = 0;
    LPWSTR* list = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    const win32::UniqueLocalMemory owner(list);
    if (list == nullptr || count < 1) return {};
    return std::vector<std::wstring>(list + 1, list + count);
}

// The visible settings window of another start; a hidden one is a command-line request waiting.
HWND VisibleSettingsWindow() {
    HWND window = nullptr;
    while ((window = ::FindWindowExW(nullptr, window, kSettingsWindowClass, nullptr)) != nullptr) {
        if (::IsWindowVisible(window)) return window;
    }
    return nullptr;
}

void BringForward(HWND window) {
    if (::IsIconic(window)) ::ShowWindow(window, SW_RESTORE);
    ::SetForegroundWindow(window);
}

// "/recover": a hidden window of the settings class hears the service's notifications.
struct RecoverWait {
    UINT message = 0;
    bool done = false;
};

LRESULT CALLBACK RecoverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* wait = reinterpret_cast<RecoverWait*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (wait != nullptr && message == wait->message && wParam == kRecoveryDone) {
        wait->done = true;
        ::PostQuitMessage(0);
        return 0;
    }
    if (message == WM_TIMER) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

int Recover(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = RecoverWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kSettingsWindowClass;
    if (::RegisterClassExW(&windowClass) == 0) return 1;
    // A top-level window: the notifications are broadcast, and broadcasts pass message-only
    // windows by.
    HWND window = ::CreateWindowExW(0, kSettingsWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                    nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    RecoverWait wait;
    wait.message = ::RegisterWindowMessageW(kSettingsMessageName);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&wait));
    if (wait.message == 0 || !SendServiceCode(kRecover)) {
        ::DestroyWindow(window);
        return 1;
    }
    ::SetTimer(window, 1, kRecoverLimitMs, nullptr);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
    ::DestroyWindow(window);
    return wait.done ? 0 : 1;
}

// The start that may show the window holds the mutex; another start brings that window forward,
// once it is there. An elevated start waits for the start that asked for it to end.
bool TakeWindowMutex(const win32::UniqueKernelHandle& mutex, bool elevated) {
    if (!mutex) return true;
    const DWORD wait = ::WaitForSingleObject(mutex.get(), elevated ? kOtherWindowWaitMs : 0);
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) return true;
    for (DWORD waited = 0; waited < kOtherWindowWaitMs; waited += kOtherWindowStepMs) {
        if (HWND existing = VisibleSettingsWindow()) {
            BringForward(existing);
            return false;
        }
        ::Sleep(kOtherWindowStepMs);
    }
    return false;
}

int ShowWindowAndWait(HINSTANCE instance, int showCommand, bool elevated) {
    const win32::UniqueKernelHandle mutex(::CreateMutexW(nullptr, FALSE, kWindowMutexName));
    if (!TakeWindowMutex(mutex, elevated)) return 0;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES |
                                                        ICC_HOTKEY_CLASS | ICC_UPDOWN_CLASS |
                                                        ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    win32::Win32Platform platform;
    SettingsWindow window(instance, platform);
    if (!window.Create(showCommand)) return 1;
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        HWND dialog = window.Window();
        if (dialog != nullptr && ::IsDialogMessageW(dialog, &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}

int Run(HINSTANCE instance, int showCommand) {
    switch (ParseCommandLine(Arguments())) {
        case SettingsCommand::Window:
            return ShowWindowAndWait(instance, showCommand, false);
        case SettingsCommand::Elevated:
            return ShowWindowAndWait(instance, showCommand, true);
        case SettingsCommand::Recover:
            return Recover(instance);
        case SettingsCommand::Quit:
            return SendServiceCode(kQuit) ? 0 : 1;
        case SettingsCommand::Reload: {
            const bool user = SendServiceCode(kReadUserOptions);
            const bool machine = SendServiceCode(kReadLocalOptions);
            return user && machine ? 0 : 1;
        }
        case SettingsCommand::Usage:
            ::MessageBoxW(nullptr, kUsageText, kProgramTitle, MB_OK | MB_ICONINFORMATION);
            return 1;
    }
    return 1;
}

}  // namespace
}  // namespace kxp::settings

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    return kxp::settings::Run(instance, showCommand);
}
