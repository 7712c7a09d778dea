#include "settings/win32/SettingsWindow.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "lang/CaptionList.h"
#include "lang/LanguageHandlerUnit.h"
#include "settings/win32/DialogTexts.h"
#include "settings/win32/ServiceChannel.h"
#include "settings/win32/SettingsPages.h"
#include "settings/win32/SettingsWindowIds.h"

namespace kxp::settings {
namespace {

constexpr UINT_PTR kServiceTimer = 1;
// How often the window looks whether the service has come or gone.
constexpr UINT kServiceTimerMs = 2000;

HWND Tabs(HWND window) {
    return ::GetDlgItem(window, IDC_TABS);
}

}  // namespace

SettingsWindow::SettingsWindow(HINSTANCE instance, win32::Win32Platform& platform)
    : instance_(instance), platform_(platform) {}

SettingsWindow::~SettingsWindow() {
    if (window_ != nullptr) ::DestroyWindow(window_);
}

bool SettingsWindow::Create(int showCommand) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    // A dialog of a class of its own, so that the service can find it by the class name.
    windowClass.lpfnWndProc = ::DefDlgProcW;
    windowClass.cbWndExtra = DLGWINDOWEXTRA;
    windowClass.hInstance = instance_;
    windowClass.hIcon = ::LoadIconW(instance_, MAKEINTRESOURCEW(IDI_MAINICON));
    windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kSettingsWindowClass;
    if (::RegisterClassExW(&windowClass) == 0) return false;

    LoadState();
    LoadLanguage();
    if (::CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_SETTINGS), nullptr, MainProc,
                             reinterpret_cast<LPARAM>(this)) == nullptr) {
        return false;
    }
    ::ShowWindow(window_, showCommand);
    return true;
}

INT_PTR CALLBACK SettingsWindow::MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<SettingsWindow*>(lParam);
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
        self->window_ = window;
        self->OnInit();
        return TRUE;
    }
    auto* self = reinterpret_cast<SettingsWindow*>(::GetWindowLongPtrW(window, DWLP_USER));
    return self != nullptr ? self->OnMessage(message, wParam, lParam) : FALSE;
}

INT_PTR CALLBACK SettingsWindow::PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
        return TRUE;
    }
    auto* slot = reinterpret_cast<PageSlot*>(::GetWindowLongPtrW(window, DWLP_USER));
    if (slot == nullptr || slot->window == nullptr) return FALSE;
    return slot->page->Handle(window, message, wParam, lParam);
}

void SettingsWindow::OnInit() {
    notificationMessage_ = ::RegisterWindowMessageW(kSettingsMessageName);
    TranslateDialog(window_, *this);
    ::SetWindowTextW(window_, Caption(IDC_WINDOW_TITLE, WindowText(window_)).c_str());
    TranslateControl(::GetDlgItem(window_, IDOK), IDC_OK_CAPTION, *this);
    TranslateControl(::GetDlgItem(window_, IDCANCEL), IDC_CANCEL_CAPTION, *this);

    HWND tabs = Tabs(window_);
    for (auto& made : MakeSettingsPages()) {
        auto slot = std::make_unique<PageSlot>();
        slot->owner = this;
        slot->page = std::move(made);
        HWND page = ::CreateDialogParamW(instance_, MAKEINTRESOURCEW(slot->page->TemplateId()),
                                         window_, PageProc, reinterpret_cast<LPARAM>(slot.get()));
        if (page == nullptr) continue;
        TranslateDialog(page, *this);
        std::wstring title = Caption(slot->page->TitleNumber(), slot->page->Title());
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = title.data();
        ::SendMessageW(tabs, TCM_INSERTITEMW, pages_.size(), reinterpret_cast<LPARAM>(&item));
        slot->page->Create(page, *this);
        slot->window = page;
        pages_.push_back(std::move(slot));
    }
    // The pages' place is known once the tabs have their captions.
    RECT area{};
    ::GetWindowRect(tabs, &area);
    ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&area), 2);
    TabCtrl_AdjustRect(tabs, FALSE, &area);
    for (const auto& slot : pages_) {
        // Behind the tab control in the Z order, which clips itself around it, and so next to it
        // in the order of the Tab key.
        ::SetWindowPos(slot->window, tabs, area.left, area.top, area.right - area.left,
                       area.bottom - area.top, SWP_NOACTIVATE);
    }
    ShowState();
    SelectPage(0);
    FollowService();
    ::SetTimer(window_, kServiceTimer, kServiceTimerMs, nullptr);
}

INT_PTR SettingsWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == notificationMessage_ && notificationMessage_ != 0) {
        OnNotification(static_cast<int>(wParam), lParam);
        return TRUE;
    }
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam));
            return TRUE;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom == IDC_TABS && header->code == TCN_SELCHANGE) {
                SelectPage(TabCtrl_GetCurSel(Tabs(window_)));
            }
            return TRUE;
        }
        case WM_TIMER:
            if (wParam == kServiceTimer) FollowService();
            return TRUE;
        case WM_CLOSE:
            ::DestroyWindow(window_);
            return TRUE;
        case WM_DESTROY:
            ::KillTimer(window_, kServiceTimer);
            window_ = nullptr;
            ::PostQuitMessage(0);
            return TRUE;
        default:
            return FALSE;
    }
}

void SettingsWindow::OnCommand(int id) {
    switch (id) {
        case IDOK:
            if (Apply()) ::DestroyWindow(window_);
            break;
        case IDCANCEL:
            ::DestroyWindow(window_);
            break;
        case IDC_APPLY:
            Apply();
            break;
        case IDC_RESTORE_DEFAULTS:
            RestoreDefaults();
            break;
        default:
            break;
    }
}

void SettingsWindow::LoadState() {
    state_.user = LoadUserSettings(platform_.platform().registry);
    state_.machine = LoadMachineSettings(platform_.platform().registry);
    state_.machineWritable = CanWriteMachineSettings(platform_.platform().registry);
}

void SettingsWindow::LoadLanguage() {
    platform::Platform& platform = platform_.platform();
    lang::LanguageHandler language(
        platform.files, lang::ExecutableDirectory(platform.process.ModuleFileName()),
        lang::ProcessCaptions(), lang::LanguageHandler::SystemMessageBox(platform.windows), [] {});
    language.SelectLanguage(state_.user.UserWide().Language);
}

void SettingsWindow::ShowState() {
    for (const auto& slot : pages_) slot->page->Show(slot->window, state_);
    ::EnableWindow(::GetDlgItem(window_, IDC_APPLY), FALSE);
}

void SettingsWindow::SelectPage(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= pages_.size()) return;
    TabCtrl_SetCurSel(Tabs(window_), index);
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        ::ShowWindow(pages_[i]->window, i == static_cast<std::size_t>(index) ? SW_SHOW : SW_HIDE);
    }
}

bool SettingsWindow::Apply() {
    SettingsState next = state_;
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        if (!pages_[i]->page->Take(pages_[i]->window, next)) {
            SelectPage(static_cast<int>(i));
            return false;
        }
    }
    platform::Registry& registry = platform_.platform().registry;
    bool saved = SaveUserSettings(registry, next.user);
    SendToService(kReadUserOptions);
    if (next.machineWritable) {
        saved = SaveMachineSettings(registry, next.machine) && saved;
        SendToService(kReadLocalOptions);
    }
    state_ = std::move(next);
    if (!saved) {
        ::MessageBoxW(window_,
                      Caption(IDS_SAVE_FAILED, L"Some options could not be saved.").c_str(),
                      WindowText(window_).c_str(), MB_OK | MB_ICONWARNING);
        return false;
    }
    ::EnableWindow(::GetDlgItem(window_, IDC_APPLY), FALSE);
    return true;
}

void SettingsWindow::RestoreDefaults() {
    const std::wstring question = Caption(
        IDS_RESTORE_QUESTION, L"Every option returns to its default. Restore the defaults?");
    if (::MessageBoxW(window_, question.c_str(), WindowText(window_).c_str(),
                      MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    platform::Registry& registry = platform_.platform().registry;
    // The service reads nothing between the two codes, so it never sees half the defaults.
    SendToService(kRestoreStart);
    bool saved = SaveUserSettings(registry, DefaultUserSettings());
    if (state_.machineWritable) {
        MachineSettings defaults;
        defaults.LoadOnWindowsStartup = state_.machine.LoadOnWindowsStartup;
        saved = SaveMachineSettings(registry, defaults) && saved;
    }
    SendToService(kRestoreEnd);
    if (!saved) {
        ::MessageBoxW(window_,
                      Caption(IDS_RESTORE_FAILED, L"Some defaults could not be saved.").c_str(),
                      WindowText(window_).c_str(), MB_OK | MB_ICONWARNING);
    }
    LoadState();
    ShowState();
}

void SettingsWindow::OnNotification(int code, LPARAM value) {
    switch (code) {
        case kBringForward:
            if (::IsIconic(window_)) ::ShowWindow(window_, SW_RESTORE);
            ::SetForegroundWindow(window_);
            break;
        case kUserOptionsChanged:
            // The tray menus wrote a choice: what the window shows follows it.
            state_.user = LoadUserSettings(platform_.platform().registry);
            ShowState();
            break;
        case kMachineOptionsChanged:
            state_.machine = LoadMachineSettings(platform_.platform().registry);
            ShowState();
            break;
        case kServiceEnded:
            serviceRunning_ = false;
            for (const auto& slot : pages_) slot->page->ServiceRunning(slot->window, false);
            ::SetDlgItemTextW(
                window_, IDC_SERVICE_STATE,
                Caption(IDS_SERVICE_STOPPED, L"The KorvanelXP service is not running.").c_str());
            break;
        default:
            for (const auto& slot : pages_) slot->page->Notified(slot->window, code, value);
            break;
    }
}

void SettingsWindow::FollowService() {
    const bool running = ServiceIsRunning();
    const bool first = ::GetWindowTextLengthW(::GetDlgItem(window_, IDC_SERVICE_STATE)) == 0;
    if (!first && running == serviceRunning_) return;
    serviceRunning_ = running;
    ::SetDlgItemTextW(
        window_, IDC_SERVICE_STATE,
        running ? Caption(IDS_SERVICE_RUNNING, L"The KorvanelXP service is running.").c_str()
                : Caption(IDS_SERVICE_STOPPED, L"The KorvanelXP service is not running.").c_str());
    for (const auto& slot : pages_) slot->page->ServiceRunning(slot->window, running);
    if (running) SendToService(kSendPeakMemoryUsage);
}

void SettingsWindow::Changed() {
    ::EnableWindow(::GetDlgItem(window_, IDC_APPLY), TRUE);
}

bool SettingsWindow::SendToService(int code) {
    return SendServiceCode(code);
}

std::wstring SettingsWindow::Caption(int number, const std::wstring& fallback) const {
    const std::u16string caption = lang::ProcessCaptions().LookupCaption(number);
    if (caption.empty()) return fallback;
    return std::wstring(caption.begin(), caption.end());
}

void SettingsWindow::RestartElevated() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof(execute);
    execute.fMask = SEE_MASK_NOASYNC;
    execute.hwnd = window_;
    execute.lpVerb = L"runas";
    execute.lpFile = path;
    execute.lpParameters = L"/elevated";
    execute.nShow = SW_SHOWNORMAL;
    // Declined at the prompt: this window stays as it is.
    if (::ShellExecuteExW(&execute)) ::DestroyWindow(window_);
}

}  // namespace kxp::settings
