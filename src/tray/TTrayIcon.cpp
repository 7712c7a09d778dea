#include "tray/TTrayIcon.h"

#include <algorithm>
#include <utility>

namespace kxp {
namespace {

// How often the pointer is looked for while it is on the icon: the shell says when it comes, not
// when it goes.
constexpr std::uint32_t kExitCheckMs = 20;

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

}  // namespace

std::u16string TrayTip(const std::u16string& hint) {
    if (hint.size() <= kTrayTipLength) return hint;
    std::size_t length = kTrayTipLength;
    if (IsHighSurrogate(hint[length - 1])) --length;
    return hint.substr(0, length);
}

TTrayIcon::TTrayIcon(platform::Platform& platform, std::shared_ptr<TTrayWindow> window)
    : platform_(platform),
      window_(std::move(window)),
      identifier_(window_->Attach(*this)),
      clickTimer_(window_->Thread(), window_->NewTimerId()),
      exitTimer_(window_->Thread(), window_->NewTimerId()) {
    clickTimer_.OnTimer = [this] { ClickTimerExpired(); };
    exitTimer_.SetInterval(kExitCheckMs);
    exitTimer_.OnTimer = [this] { ExitCheck(); };
}

TTrayIcon::~TTrayIcon() {
    if (visible_) Notify(platform::kNimDelete);
    window_->Detach(identifier_);
}

void TTrayIcon::Loaded() {
    Notify(visible_ ? platform::kNimAdd : platform::kNimDelete);
    // Version 0: the classic mouse messages, one callback for each.
    Notify(platform::kNimSetVersion);
}

void TTrayIcon::SetIconIndex(int index) {
    if (iconList_ == nullptr || iconList_->Count() == 0) return;
    iconIndex_ = std::clamp(index, 0, iconList_->Count() - 1);
    icon_ = iconList_->Image(iconIndex_);
    Notify(platform::kNimModify);
    // The shell holds a copy of the list's image now; the icon it replaced may go.
    ownIcon_.reset();
}

void TTrayIcon::SetIcon(OwnedIcon icon) {
    if (!icon) return;
    // The previous icon goes only once the shell has taken the new one.
    const OwnedIcon previous = std::exchange(ownIcon_, std::move(icon));
    icon_ = ownIcon_.get();
    Notify(platform::kNimModify);
}

void TTrayIcon::SetHint(std::u16string hint) {
    hint_ = std::move(hint);
    Notify(platform::kNimModify);
}

void TTrayIcon::SetShowHint(bool show) {
    showHint_ = show;
    Notify(platform::kNimModify);
}

void TTrayIcon::SetIconVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    if (visible_) {
        Notify(platform::kNimAdd);
    } else {
        Notify(platform::kNimDelete);
        // The shell sends nothing more for it, so the pointer counts as gone.
        inside_ = false;
        exitTimer_.SetEnabled(false);
    }
}

void TTrayIcon::TaskbarCreated() {
    if (visible_) Notify(platform::kNimAdd);
}

platform::NotifyIconData TTrayIcon::Record() const {
    platform::NotifyIconData record;
    record.hWnd = window_->Window();
    record.uID = identifier_;
    record.uFlags = platform::kNifMessage | platform::kNifIcon | platform::kNifTip;
    record.uCallbackMessage = kTrayCallbackMessage;
    record.hIcon = icon_;
    if (showHint_) {
        const std::u16string tip = TrayTip(hint_);
        std::copy(tip.begin(), tip.end(), record.szTip);
    }
    return record;
}

void TTrayIcon::Notify(std::uint32_t message) {
    // An icon the shell does not have takes no changes; the next NIM_ADD carries them.
    if (message == platform::kNimModify && !visible_) return;
    // The shell's answer is of no use: a refused change shows at the next one.
    platform_.notificationArea.Shell_NotifyIconW(message, Record());
}

void TTrayIcon::CallbackMessage(std::uint32_t mouseMessage) {
    if (!Enabled) return;
    switch (mouseMessage) {
        case kWmMouseMove:
            MouseMove();
            break;
        case kWmLButtonDown:
            ButtonDown(TMouseButton::mbLeft);
            break;
        case kWmLButtonUp:
            ButtonUp(TMouseButton::mbLeft);
            break;
        case kWmLButtonDblClk:
            clickPending_ = false;
            doubleClicked_ = true;
            if (OnDblClick) OnDblClick();
            if (popupMenu_ != nullptr) popupMenu_->ClickDefaultItem();
            break;
        case kWmRButtonDown:
            ButtonDown(TMouseButton::mbRight);
            break;
        case kWmRButtonUp:
            ButtonUp(TMouseButton::mbRight);
            break;
        case kWmMButtonDown:
            ButtonDown(TMouseButton::mbMiddle);
            break;
        case kWmMButtonUp:
            ButtonUp(TMouseButton::mbMiddle);
            break;
        default:
            break;
    }
}

void TTrayIcon::MouseMove() {
    if (WantEnterExitEvents && !inside_) {
        inside_ = true;
        exitTimer_.SetEnabled(true);
        if (OnMouseEnter) OnMouseEnter();
    }
    if (OnMouseMove) OnMouseMove();
    platform_.mouse.GetCursorPos(lastPosition_);
}

void TTrayIcon::ButtonDown(TMouseButton button) {
    if (button == TMouseButton::mbLeft) {
        if (OnDblClick) {
            clickTimer_.SetInterval(platform_.mouse.GetDoubleClickTime());
            clickTimer_.SetEnabled(true);
        }
    }
    if (OnMouseDown) OnMouseDown(button);
    if (button == TMouseButton::mbLeft) {
        leftDown_ = true;
        if (LeftPopup) ShowPopup();
    } else if (button == TMouseButton::mbRight && !LeftPopup) {
        ShowPopup();
    }
}

void TTrayIcon::ButtonUp(TMouseButton button) {
    if (button == TMouseButton::mbLeft && leftDown_) {
        leftDown_ = false;
        clickPending_ = true;
        if (!clickTimer_.Enabled()) {
            clickPending_ = false;
            if (OnClick) OnClick();
        }
    }
    if (OnMouseUp) OnMouseUp(button);
}

void TTrayIcon::ClickTimerExpired() {
    clickTimer_.SetEnabled(false);
    const bool deliver = !doubleClicked_ && clickPending_;
    clickPending_ = false;
    doubleClicked_ = false;
    if (deliver && OnClick) OnClick();
}

void TTrayIcon::ExitCheck() {
    platform::Point position;
    if (!WantEnterExitEvents || !inside_) {
        exitTimer_.SetEnabled(false);
        return;
    }
    if (!platform_.mouse.GetCursorPos(position)) return;
    if (position.x == lastPosition_.x && position.y == lastPosition_.y) return;
    inside_ = false;
    exitTimer_.SetEnabled(false);
    if (OnMouseExit) OnMouseExit();
}

void TTrayIcon::ShowPopup() {
    if (popupMenu_ == nullptr || !popupMenu_->AutoPopup()) return;
    // Without the foreground the menu would not close when the user clicks elsewhere.
    platform_.windows.SetForegroundWindow(window_->Window());
    platform_.windows.PumpThreadMessages();
    platform::Point at = lastPosition_;
    platform_.mouse.GetCursorPos(at);
    popupMenu_->Popup(at);
}

}  // namespace kxp
