#include "settings/win32/MachinePageControls.h"

#include <string_view>

#include "settings/win32/DialogTexts.h"
#include "settings/win32/PageControls.h"

namespace kxp::settings {
namespace {

// A label as a field's name: without its accelerator marks and a closing colon.
std::wstring FieldName(HWND label) {
    std::wstring name;
    for (const wchar_t c : WindowText(label)) {
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

}  // namespace

void EnableControl(HWND page, int id, bool enabled) {
    ::EnableWindow(::GetDlgItem(page, id), enabled ? TRUE : FALSE);
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
    const std::optional<int> number = GetNumber(page, id);
    if (number && *number >= minimum && *number <= maximum) {
        value = *number;
        return true;
    }
    HWND field = ::GetDlgItem(page, id);
    // The user cannot correct a field that is switched off: it keeps the value it stands for.
    if (!::IsWindowEnabled(field)) return true;
    std::wstring message = PageText(host, messageNumber);
    Replace(message, L"%2", std::to_wstring(minimum));
    Replace(message, L"%3", std::to_wstring(maximum));
    // The name last: a label may hold a percent sign of its own.
    Replace(message, L"%1", FieldName(::GetDlgItem(page, labelId)));
    RefuseValue(page, id, message);
    ::SendMessageW(field, EM_SETSEL, 0, -1);
    return false;
}

void ShowWritable(HWND page, bool writable, std::span<const int> edits, std::span<const int> others,
                  int shieldButton, int shieldNote) {
    for (const int id : edits) {
        ::SendDlgItemMessageW(page, id, EM_SETREADONLY, writable ? FALSE : TRUE, 0);
    }
    for (const int id : others) EnableControl(page, id, writable);
    HWND shield = ::GetDlgItem(page, shieldButton);
    SetElevationButton(shield);
    ::ShowWindow(shield, writable ? SW_HIDE : SW_SHOW);
    ::ShowWindow(::GetDlgItem(page, shieldNote), writable ? SW_HIDE : SW_SHOW);
}

}  // namespace kxp::settings
