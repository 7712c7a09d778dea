#include "settings/win32/MemoryPage.h"

#include <commctrl.h>

#include <array>
#include <string>

#include "settings/win32/MachinePageControls.h"
#include "settings/win32/MemoryPageIds.h"
#include "settings/win32/PageControls.h"
#include "settings/win32/ServiceChannel.h"

namespace kxp::settings {
namespace {

// Milliseconds between two steps of the marquee.
constexpr UINT kMarqueeStep = 30;

constexpr std::array kMemoryEdits{IDC_MEMORY_BELOW, IDC_MEMORY_PAUSE, IDC_MEMORY_THRESHOLD};
constexpr std::array kMemorySwitches{IDC_MEMORY_RECOVER, IDC_MEMORY_POSTPONE, IDC_MEMORY_COUNTERS};

}  // namespace

int MemoryPage::TemplateId() const {
    return IDD_MEMORY_PAGE;
}

int MemoryPage::TitleNumber() const {
    return IDC_MEMORY_TITLE;
}

const wchar_t* MemoryPage::Title() const {
    return L"Memory";
}

void MemoryPage::Create(HWND page, SettingsHost& host) {
    host_ = &host;
    ::SendDlgItemMessageW(page, IDC_MEMORY_BELOW, EM_LIMITTEXT, 4, 0);
    ::SendDlgItemMessageW(page, IDC_MEMORY_PAUSE, EM_LIMITTEXT, 5, 0);
    ::SendDlgItemMessageW(page, IDC_MEMORY_THRESHOLD, EM_LIMITTEXT, 3, 0);
    ::SetDlgItemTextW(page, IDC_MEMORY_PEAK, PageText(host, IDS_MEMORY_PEAK_UNKNOWN).c_str());
    ShowRecovering(page, false);
}

void MemoryPage::Show(HWND page, const SettingsState& state) {
    const MachineSettings& machine = state.machine;
    showing_ = true;
    SetCheck(page, IDC_MEMORY_RECOVER, machine.Recover);
    SetNumber(page, IDC_MEMORY_BELOW, machine.Below);
    SetNumber(page, IDC_MEMORY_PAUSE, machine.Pause);
    SetCheck(page, IDC_MEMORY_POSTPONE, machine.Postpone);
    SetNumber(page, IDC_MEMORY_THRESHOLD, machine.Threshold);
    SetCheck(page, IDC_MEMORY_COUNTERS, !machine.NoCounters);
    writable_ = state.machineWritable;
    ShowWritable(page, writable_, kMemoryEdits, kMemorySwitches, IDC_MEMORY_ELEVATE,
                 IDC_MEMORY_ELEVATE_NOTE);
    UpdateEnabled(page);
    showing_ = false;
}

bool MemoryPage::Take(HWND page, SettingsState& state) {
    // Read-only: the page changes nothing, whatever its fields hold.
    if (!writable_) return true;
    MachineSettings machine = state.machine;
    machine.Recover = GetCheck(page, IDC_MEMORY_RECOVER);
    machine.Postpone = GetCheck(page, IDC_MEMORY_POSTPONE);
    machine.NoCounters = !GetCheck(page, IDC_MEMORY_COUNTERS);
    if (!TakeNumber(page, *host_, IDC_MEMORY_BELOW, IDC_MEMORY_BELOW_LABEL, IDS_MEMORY_RANGE, 1,
                    kMaxMachineMiB, machine.Below) ||
        !TakeNumber(page, *host_, IDC_MEMORY_PAUSE, IDC_MEMORY_PAUSE_LABEL, IDS_MEMORY_RANGE, 1,
                    kMaxPauseMinutes, machine.Pause) ||
        !TakeNumber(page, *host_, IDC_MEMORY_THRESHOLD, IDC_MEMORY_THRESHOLD_LABEL,
                    IDS_MEMORY_RANGE, 0, kMaxThreshold, machine.Threshold)) {
        return false;
    }
    state.machine = machine;
    return true;
}

INT_PTR MemoryPage::Handle(HWND page, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    if (message == WM_SHOWWINDOW && wParam != FALSE) {
        AskPeak();
        return FALSE;
    }
    if (message != WM_COMMAND) return FALSE;
    const int id = LOWORD(wParam);
    const int notice = HIWORD(wParam);
    if (notice == EN_CHANGE) {
        if (!showing_) host_->Changed();
        return TRUE;
    }
    if (notice != BN_CLICKED) return FALSE;
    switch (id) {
        case IDC_MEMORY_RECOVER:
        case IDC_MEMORY_POSTPONE:
        case IDC_MEMORY_COUNTERS:
            UpdateEnabled(page);
            if (!showing_) host_->Changed();
            return TRUE;
        case IDC_MEMORY_RECOVER_NOW:
            SetStatus(page,
                      host_->SendToService(kRecover) ? IDS_MEMORY_REQUESTED : IDS_MEMORY_NOT_TAKEN);
            return TRUE;
        case IDC_MEMORY_ELEVATE:
            host_->RestartElevated();
            return TRUE;
        default:
            return FALSE;
    }
}

void MemoryPage::Notified(HWND page, int code, LPARAM value) {
    switch (code) {
        case kRecoveryStarted:
            ShowRecovering(page, true);
            SetStatus(page, IDS_MEMORY_RECOVERING);
            break;
        case kRecoveryDone:
            ShowRecovering(page, false);
            SetStatus(page, IDS_MEMORY_RECOVERED);
            // The recovery itself takes memory: the peak may have grown.
            AskPeak();
            break;
        case kPeakUsage: {
            const std::wstring peak =
                std::to_wstring(value) + L" " + host_->Caption(IDC_MEMORY_BELOW_UNIT, L"MB");
            ::SetDlgItemTextW(page, IDC_MEMORY_PEAK, peak.c_str());
            break;
        }
        default:
            break;
    }
}

void MemoryPage::ServiceRunning(HWND page, bool running) {
    running_ = running;
    if (!running) {
        ShowRecovering(page, false);
        SetStatus(page, IDS_MEMORY_NOT_RUNNING);
    } else if (status_ == IDS_MEMORY_NOT_RUNNING) {
        SetStatus(page, 0);
    }
    EnableControl(page, IDC_MEMORY_RECOVER_NOW, running_ && !recovering_);
}

void MemoryPage::UpdateEnabled(HWND page) const {
    const bool recover = GetCheck(page, IDC_MEMORY_RECOVER);
    const bool postpone = GetCheck(page, IDC_MEMORY_POSTPONE);
    for (const int id : {IDC_MEMORY_BELOW, IDC_MEMORY_BELOW_LABEL, IDC_MEMORY_BELOW_UNIT,
                         IDC_MEMORY_PAUSE, IDC_MEMORY_PAUSE_LABEL, IDC_MEMORY_PAUSE_UNIT}) {
        EnableControl(page, id, recover);
    }
    EnableControl(page, IDC_MEMORY_POSTPONE, writable_ && recover);
    for (const int id :
         {IDC_MEMORY_THRESHOLD, IDC_MEMORY_THRESHOLD_LABEL, IDC_MEMORY_THRESHOLD_UNIT}) {
        EnableControl(page, id, recover && postpone);
    }
}

void MemoryPage::SetStatus(HWND page, int number) {
    status_ = number;
    const std::wstring text = number != 0 ? PageText(*host_, number) : std::wstring();
    ::SetDlgItemTextW(page, IDC_MEMORY_STATUS, text.c_str());
}

void MemoryPage::ShowRecovering(HWND page, bool recovering) {
    recovering_ = recovering;
    HWND progress = ::GetDlgItem(page, IDC_MEMORY_PROGRESS);
    ::SendMessageW(progress, PBM_SETMARQUEE, recovering ? TRUE : FALSE, kMarqueeStep);
    ::ShowWindow(progress, recovering ? SW_SHOW : SW_HIDE);
    EnableControl(page, IDC_MEMORY_RECOVER_NOW, running_ && !recovering);
}

void MemoryPage::AskPeak() {
    // The answer comes back as notification 5.
    if (host_ != nullptr && running_) host_->SendToService(kSendPeakMemoryUsage);
}

}  // namespace kxp::settings
