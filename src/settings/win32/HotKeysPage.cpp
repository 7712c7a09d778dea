#include "settings/win32/HotKeysPage.h"

#include <commctrl.h>

#include <algorithm>
#include <array>

#include "settings/HotKeyChoice.h"
#include "settings/win32/HotKeysPageIds.h"
#include "settings/win32/PageControls.h"

namespace kxp::settings {
namespace {

struct HotKeyControls {
    int hotKey;
    int enabled;
    int control;
};

constexpr std::array<HotKeyControls, 2> kHotKeys{{
    {1, IDC_HOTKEY1_ENABLED, IDC_HOTKEY1},
    {2, IDC_HOTKEY2_ENABLED, IDC_HOTKEY2},
}};

// Keys of the extended keyboard: without the flag the control names them as numeric pad keys.
bool IsExtendedKey(std::uint8_t key) {
    static constexpr std::array<std::uint8_t, 13> kExtended{
        VK_PRIOR, VK_NEXT,   VK_END,    VK_HOME,   VK_LEFT,    VK_UP,      VK_RIGHT,
        VK_DOWN,  VK_INSERT, VK_DELETE, VK_DIVIDE, VK_NUMLOCK, VK_SNAPSHOT};
    return std::find(kExtended.begin(), kExtended.end(), key) != kExtended.end();
}

WORD ControlValue(const HotKeyChoice& choice) {
    BYTE modifiers = 0;
    if (choice.shift) modifiers |= HOTKEYF_SHIFT;
    if (choice.ctrl) modifiers |= HOTKEYF_CONTROL;
    if (choice.alt) modifiers |= HOTKEYF_ALT;
    if (IsExtendedKey(choice.virtualKey)) modifiers |= HOTKEYF_EXT;
    return MAKEWORD(choice.virtualKey, modifiers);
}

HotKeyChoice ChoiceOf(WORD value, bool enabled) {
    const BYTE modifiers = HIBYTE(value);
    return {enabled, LOBYTE(value), (modifiers & HOTKEYF_CONTROL) != 0,
            (modifiers & HOTKEYF_ALT) != 0, (modifiers & HOTKEYF_SHIFT) != 0};
}

}  // namespace

int HotKeysPage::TemplateId() const {
    return IDD_HOTKEYS_PAGE;
}

int HotKeysPage::TitleNumber() const {
    return IDC_HOTKEYS_TITLE;
}

void HotKeysPage::Create(HWND /*page*/, SettingsHost& host) {
    host_ = &host;
}

void HotKeysPage::Show(HWND page, const SettingsState& state) {
    for (const auto& controls : kHotKeys) {
        const HotKeyChoice choice = HotKeyChoiceOf(state.user.UserWide(), controls.hotKey);
        SetCheck(page, controls.enabled, choice.enabled);
        ::SendDlgItemMessageW(page, controls.control, HKM_SETHOTKEY, ControlValue(choice), 0);
    }
}

bool HotKeysPage::Take(HWND page, SettingsState& state) {
    TConfig taken = state.user.UserWide();
    for (const auto& controls : kHotKeys) {
        const auto value =
            static_cast<WORD>(::SendDlgItemMessageW(page, controls.control, HKM_GETHOTKEY, 0, 0));
        const HotKeyChoice choice = ChoiceOf(value, GetCheck(page, controls.enabled));
        if (!StoreHotKeyChoice(taken, controls.hotKey, choice)) {
            RefuseValue(page, controls.control,
                        host_->Caption(IDS_HOTKEY_REFUSED,
                                       L"This key cannot be a hot key. Please choose another key: "
                                       L"a letter, a digit, a function key or a key of the "
                                       L"cursor or numeric block."));
            return false;
        }
    }
    state.user.UserWide() = taken;
    return true;
}

INT_PTR HotKeysPage::Handle(HWND /*page*/, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    if (message != WM_COMMAND || host_ == nullptr) return FALSE;
    const int code = HIWORD(wParam);
    if (code == BN_CLICKED || code == EN_CHANGE) host_->Changed();
    return TRUE;
}

}  // namespace kxp::settings
