#include "settings/win32/DialogControls.h"

#include <commctrl.h>

#include <charconv>
#include <string_view>

namespace kxp::settings {
namespace {

std::wstring ControlText(HWND control) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)), L'\0');
    if (!text.empty()) {
        const int copied =
            ::GetWindowTextW(control, text.data(), static_cast<int>(text.size() + 1));
        text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    }
    return text;
}

// A label as a field's name: without its accelerator marks and a closing colon.
std::wstring FieldName(HWND label) {
    std::wstring name;
    for (const wchar_t c : ControlText(label)) {
        if (c != L'&') name += c;
    }
    while (!name.empty() && (name.back() == L':' || name.back() == L' ')) name.pop_back();
    return name;
}

void Replace(std::wstring& text, std::wstring_view mark, const std::wstring& by) {
    if (const auto at = text.find(mark); at != std::wstring::npos) {
        text.replace(at, mark.size(), by);
    }
}

// Digits only, as an ES_NUMBER field holds them (pasted text can still hold anything else).
bool ParseNumber(const std::wstring& text, std::int64_t& number) {
    std::string digits;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9' || digits.size() > 12) return false;
        digits += static_cast<char>(c);
    }
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    return !digits.empty() && result.ec == std::errc{};
}

}  // namespace

void SetChecked(HWND page, int id, bool checked) {
    ::CheckDlgButton(page, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool IsChecked(HWND page, int id) {
    return ::IsDlgButtonChecked(page, id) == BST_CHECKED;
}

void EnableControl(HWND page, int id, bool enabled) {
    ::EnableWindow(::GetDlgItem(page, id), enabled ? TRUE : FALSE);
}

void SetNumber(HWND page, int id, std::int32_t value) {
    ::SetDlgItemTextW(page, id, std::to_wstring(value).c_str());
}

std::wstring PageText(const SettingsHost& host, int number) {
    const wchar_t* text = nullptr;
    // With a length of 0 the call lends a pointer to the resource's own text.
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), static_cast<UINT>(number),
                                     reinterpret_cast<wchar_t*>(&text), 0);
    return host.Caption(
        number, length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring());
}

bool TakeNumber(HWND page, const SettingsHost& host, int id, int labelId, int messageNumber,
                std::int32_t minimum, std::int32_t maximum, std::int32_t& value) {
    HWND field = ::GetDlgItem(page, id);
    std::int64_t number = 0;
    if (ParseNumber(ControlText(field), number) && number >= minimum && number <= maximum) {
        value = static_cast<std::int32_t>(number);
        return true;
    }
    // The user cannot correct a field that is switched off: it keeps the value it stands for.
    if (!::IsWindowEnabled(field)) return true;
    std::wstring message = PageText(host, messageNumber);
    Replace(message, L"%2", std::to_wstring(minimum));
    Replace(message, L"%3", std::to_wstring(maximum));
    // The name last: a label may hold a percent sign of its own.
    Replace(message, L"%1", FieldName(::GetDlgItem(page, labelId)));
    HWND window = ::GetAncestor(page, GA_ROOT);
    const std::wstring title = ControlText(window);
    ::MessageBoxW(window, message.c_str(), title.c_str(), MB_OK | MB_ICONWARNING);
    ::SendMessageW(field, EM_SETSEL, 0, -1);
    ::SetFocus(field);
    return false;
}

void ShowWritable(HWND page, bool writable, std::span<const int> edits, std::span<const int> others,
                  int shieldButton, int shieldNote) {
    for (const int id : edits) {
        ::SendDlgItemMessageW(page, id, EM_SETREADONLY, writable ? FALSE : TRUE, 0);
    }
    for (const int id : others) EnableControl(page, id, writable);
    HWND shield = ::GetDlgItem(page, shieldButton);
    Button_SetElevationRequiredState(shield, TRUE);
    ::ShowWindow(shield, writable ? SW_HIDE : SW_SHOW);
    ::ShowWindow(::GetDlgItem(page, shieldNote), writable ? SW_HIDE : SW_SHOW);
}

}  // namespace kxp::settings
