#include "settings/win32/FileCachePage.h"

#include <array>
#include <string>

#include "settings/win32/DialogTexts.h"
#include "settings/win32/FileCachePageIds.h"
#include "settings/win32/MachinePageControls.h"
#include "settings/win32/PageControls.h"

namespace kxp::settings {
namespace {

// The stored "Cache" modes.
constexpr std::int32_t kCacheOff = 0;
constexpr std::int32_t kCacheAutomatic = 1;
constexpr std::int32_t kCacheFixed = 2;

constexpr std::array kCacheEdits{IDC_CACHE_MIN, IDC_CACHE_MAX, IDC_CACHE_SHELL};
constexpr std::array kCacheSwitches{IDC_CACHE_OFF, IDC_CACHE_AUTOMATIC, IDC_CACHE_FIXED,
                                    IDC_CACHE_ADVANCED};

// The radio button of a stored mode; a value that controls nothing checks none of them.
int ModeButton(std::int32_t cache) {
    if (cache <= kCacheOff) return IDC_CACHE_OFF;
    if (cache == kCacheAutomatic) return IDC_CACHE_AUTOMATIC;
    if (cache == kCacheFixed) return IDC_CACHE_FIXED;
    return 0;
}

// The mode the buttons choose; an unchanged stored mode is kept as stored (-1 stays -1).
std::int32_t ChosenMode(HWND page, std::int32_t stored) {
    if (GetCheck(page, IDC_CACHE_AUTOMATIC)) return kCacheAutomatic;
    if (GetCheck(page, IDC_CACHE_FIXED)) return kCacheFixed;
    if (GetCheck(page, IDC_CACHE_OFF)) return stored <= kCacheOff ? stored : kCacheOff;
    return stored;
}

}  // namespace

int FileCachePage::TemplateId() const {
    return IDD_FILE_CACHE_PAGE;
}

int FileCachePage::TitleNumber() const {
    return IDC_CACHE_TITLE;
}

const wchar_t* FileCachePage::Title() const {
    return L"File cache";
}

void FileCachePage::Create(HWND page, SettingsHost& host) {
    host_ = &host;
    ::SendDlgItemMessageW(page, IDC_CACHE_MIN, EM_LIMITTEXT, 4, 0);
    ::SendDlgItemMessageW(page, IDC_CACHE_MAX, EM_LIMITTEXT, 4, 0);
}

void FileCachePage::Show(HWND page, const SettingsState& state) {
    const MachineSettings& machine = state.machine;
    showing_ = true;
    const int mode = ModeButton(machine.Cache);
    for (const int id : {IDC_CACHE_OFF, IDC_CACHE_AUTOMATIC, IDC_CACHE_FIXED}) {
        SetCheck(page, id, id == mode);
    }
    SetCheck(page, IDC_CACHE_ADVANCED, machine.AdvCache);
    SetNumber(page, IDC_CACHE_MIN, machine.CacheMin);
    SetNumber(page, IDC_CACHE_MAX, machine.CacheMax);
    ::SetDlgItemTextW(page, IDC_CACHE_SHELL, Widened(machine.Shell).c_str());
    writable_ = state.machineWritable;
    ShowWritable(page, writable_, kCacheEdits, kCacheSwitches, IDC_CACHE_ELEVATE,
                 IDC_CACHE_ELEVATE_NOTE);
    UpdateEnabled(page);
    showing_ = false;
}

bool FileCachePage::Take(HWND page, SettingsState& state) {
    // Read-only: the page changes nothing, whatever its fields hold.
    if (!writable_) return true;
    MachineSettings machine = state.machine;
    machine.Cache = ChosenMode(page, machine.Cache);
    machine.AdvCache = GetCheck(page, IDC_CACHE_ADVANCED);
    if (!TakeNumber(page, *host_, IDC_CACHE_MIN, IDC_CACHE_MIN_LABEL, IDS_CACHE_RANGE, 1,
                    kMaxMachineMiB, machine.CacheMin) ||
        !TakeNumber(page, *host_, IDC_CACHE_MAX, IDC_CACHE_MAX_LABEL, IDS_CACHE_RANGE, 1,
                    kMaxMachineMiB, machine.CacheMax)) {
        return false;
    }
    // In the system code page, as the service reads it back.
    machine.Shell = Narrowed(WindowText(::GetDlgItem(page, IDC_CACHE_SHELL)));
    state.machine = machine;
    return true;
}

INT_PTR FileCachePage::Handle(HWND page, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    if (message != WM_COMMAND) return FALSE;
    const int id = LOWORD(wParam);
    const int notice = HIWORD(wParam);
    if (notice == EN_CHANGE) {
        if (!showing_) host_->Changed();
        return TRUE;
    }
    if (notice != BN_CLICKED) return FALSE;
    switch (id) {
        case IDC_CACHE_OFF:
        case IDC_CACHE_AUTOMATIC:
        case IDC_CACHE_FIXED:
        case IDC_CACHE_ADVANCED:
            UpdateEnabled(page);
            if (!showing_) host_->Changed();
            return TRUE;
        case IDC_CACHE_ELEVATE:
            host_->RestartElevated();
            return TRUE;
        default:
            return FALSE;
    }
}

void FileCachePage::UpdateEnabled(HWND page) const {
    const bool automatic = GetCheck(page, IDC_CACHE_AUTOMATIC);
    const bool fixed = GetCheck(page, IDC_CACHE_FIXED);
    EnableControl(page, IDC_CACHE_ADVANCED, writable_ && automatic);
    EnableControl(page, IDC_CACHE_TABLES_NOTE, automatic);
    for (const int id : {IDC_CACHE_MIN, IDC_CACHE_MIN_LABEL, IDC_CACHE_MIN_UNIT, IDC_CACHE_MAX,
                         IDC_CACHE_MAX_LABEL, IDC_CACHE_MAX_UNIT}) {
        EnableControl(page, id, fixed);
    }
}

}  // namespace kxp::settings
