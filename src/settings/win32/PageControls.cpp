#include "settings/win32/PageControls.h"

#include <commctrl.h>

#include <cerrno>
#include <climits>
#include <cwchar>
#include <vector>

#include "settings/win32/DialogTexts.h"

namespace kxp::settings {

void SetCheck(HWND page, int id, bool checked) {
    ::CheckDlgButton(page, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool GetCheck(HWND page, int id) {
    return ::IsDlgButtonChecked(page, id) == BST_CHECKED;
}

std::optional<int> GetNumber(HWND page, int id) {
    const std::wstring text = WindowText(::GetDlgItem(page, id));
    if (text.empty()) return std::nullopt;
    wchar_t* end = nullptr;
    errno = 0;
    const long value = std::wcstol(text.c_str(), &end, 10);
    if (errno != 0 || end == nullptr || *end != L'\0' || value < INT_MIN || value > INT_MAX) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

void SetNumber(HWND page, int id, int value) {
    ::SetDlgItemTextW(page, id, std::to_wstring(value).c_str());
}

LRESULT AddComboItem(HWND combo, const std::wstring& text, LPARAM data) {
    const LRESULT index =
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index >= 0) ::SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), data);
    return index;
}

std::wstring ComboText(HWND combo, LRESULT index) {
    const LRESULT length = ::SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::wstring Widened(const std::string& text) {
    if (text.empty()) return {};
    const int size =
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (size <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

std::string Narrowed(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string narrow(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), narrow.data(),
                          size, nullptr, nullptr);
    return narrow;
}

void SetElevationButton(HWND button) {
    ::SendMessageW(button, BCM_SETSHIELD, 0, TRUE);
}

void RefuseValue(HWND page, int id, const std::wstring& text) {
    HWND root = ::GetAncestor(page, GA_ROOT);
    ::MessageBoxW(root, text.c_str(), WindowText(root).c_str(), MB_OK | MB_ICONWARNING);
    ::SetFocus(::GetDlgItem(page, id));
}

}  // namespace kxp::settings
