#include "settings/win32/DialogTexts.h"

namespace kxp::settings {
namespace {

constexpr int kFirstCaption = 100;
constexpr int kLastCaption = 999;

struct Translation {
    HWND dialog;
    const SettingsHost* host;
};

BOOL CALLBACK TranslateChild(HWND child, LPARAM lParam) {
    const auto& translation = *reinterpret_cast<const Translation*>(lParam);
    // Only the dialog's own controls: a page's controls are translated with the page.
    if (::GetParent(child) != translation.dialog) return TRUE;
    const int id = ::GetDlgCtrlID(child);
    if (id >= kFirstCaption && id <= kLastCaption) TranslateControl(child, id, *translation.host);
    return TRUE;
}

}  // namespace

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void TranslateControl(HWND control, int number, const SettingsHost& host) {
    ::SetWindowTextW(control, host.Caption(number, WindowText(control)).c_str());
}

void TranslateDialog(HWND dialog, const SettingsHost& host) {
    Translation translation{dialog, &host};
    ::EnumChildWindows(dialog, TranslateChild, reinterpret_cast<LPARAM>(&translation));
}

}  // namespace kxp::settings
