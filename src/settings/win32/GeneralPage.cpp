#include "settings/win32/GeneralPage.h"

#include <commctrl.h>

#include <string>

#include "settings/win32/DialogTexts.h"
#include "settings/win32/GeneralPageIds.h"
#include "settings/win32/PageControls.h"

namespace kxp::settings {
namespace {

constexpr const wchar_t* kAutomatic = L"Automatic";

// The languages shipped beside the program: "languages\*.klf".
void AddLanguages(HWND combo) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    std::wstring pattern(path, length);
    pattern.erase(pattern.find_last_of(L'\\') + 1);
    pattern += L"languages\\*.klf";
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    const win32::UniqueFindHandle owner(search);
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
        std::wstring name = found.cFileName;
        name.erase(name.size() - 4);
        AddComboItem(combo, name, 0);
    } while (::FindNextFileW(search, &found));
}

}  // namespace

int GeneralPage::TemplateId() const {
    return IDD_GENERAL_PAGE;
}

int GeneralPage::TitleNumber() const {
    return IDC_GENERAL_TITLE;
}

void GeneralPage::Create(HWND page, SettingsHost& host) {
    host_ = &host;
    HWND combo = ::GetDlgItem(page, IDC_LANGUAGE);
    AddLanguages(combo);
    // "Automatic" heads the list whatever the sort order: the value stored stays "Automatic".
    automatic_ = host.Caption(IDC_LANGUAGE_AUTOMATIC, kAutomatic);
    ::SendMessageW(combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(automatic_.c_str()));
    SetElevationButton(::GetDlgItem(page, IDC_GENERAL_ELEVATE));
}

void GeneralPage::Show(HWND page, const SettingsState& state) {
    const TConfig& user = state.user.UserWide();
    HWND combo = ::GetDlgItem(page, IDC_LANGUAGE);
    const std::wstring language = Widened(user.Language);
    const LRESULT found = language == kAutomatic
                              ? 0
                              : ::SendMessageW(combo, CB_FINDSTRINGEXACT, 0,
                                               reinterpret_cast<LPARAM>(language.c_str()));
    ::SendMessageW(combo, CB_SETCURSEL, found == CB_ERR ? 0 : found, 0);
    SetCheck(page, IDC_REALTIME, user.Realtime);
    SetCheck(page, IDC_AUTOHIDE, user.Autohide);
    SetCheck(page, IDC_LOAD_ON_STARTUP, state.machine.LoadOnWindowsStartup);
    ::EnableWindow(::GetDlgItem(page, IDC_LOAD_ON_STARTUP), state.machineWritable);
    ::ShowWindow(::GetDlgItem(page, IDC_GENERAL_ELEVATE),
                 state.machineWritable ? SW_HIDE : SW_SHOW);
}

bool GeneralPage::Take(HWND page, SettingsState& state) {
    TConfig& user = state.user.UserWide();
    HWND combo = ::GetDlgItem(page, IDC_LANGUAGE);
    const LRESULT selected = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    const std::wstring text = selected <= 0 ? std::wstring(kAutomatic) : ComboText(combo, selected);
    user.Language = Narrowed(text);
    user.Realtime = GetCheck(page, IDC_REALTIME);
    user.Autohide = GetCheck(page, IDC_AUTOHIDE);
    if (state.machineWritable) {
        state.machine.LoadOnWindowsStartup = GetCheck(page, IDC_LOAD_ON_STARTUP);
    }
    return true;
}

INT_PTR GeneralPage::Handle(HWND /*page*/, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    if (message != WM_COMMAND || host_ == nullptr) return FALSE;
    const int id = LOWORD(wParam);
    if (id == IDC_GENERAL_ELEVATE && HIWORD(wParam) == BN_CLICKED) {
        host_->RestartElevated();
    } else if ((id == IDC_LANGUAGE && HIWORD(wParam) == CBN_SELCHANGE) ||
               HIWORD(wParam) == BN_CLICKED) {
        host_->Changed();
    }
    return TRUE;
}

}  // namespace kxp::settings
