#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <cstddef>
#include <cstring>

#include "platform/win32/Win32Desktop.h"

namespace kxp::win32 {
namespace {

std::wstring LocaleText(LCTYPE type) {
    wchar_t text[16] = {};
    if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, text, 16) == 0) return {};
    return text;
}

UINT LocaleNumber(LCTYPE type) {
    DWORD number = 0;
    ::GetLocaleInfoW(LOCALE_USER_DEFAULT, type | LOCALE_RETURN_NUMBER,
                     reinterpret_cast<LPWSTR>(&number), sizeof(number) / sizeof(wchar_t));
    return number;
}

// "3;0" (groups of three throughout) is 3 for NUMBERFMT, "3" (one group of three) 30,
// "3;2;0" 32.
UINT Grouping(const std::wstring& text) {
    UINT grouping = 0;
    for (const wchar_t c : text) {
        if (c >= L'0' && c <= L'9') grouping = grouping * 10 + static_cast<UINT>(c - L'0');
    }
    const bool repeats = text.size() >= 2 && text.compare(text.size() - 2, 2, L";0") == 0;
    return repeats ? grouping / 10 : grouping * 10;
}

}  // namespace

bool Win32Locale::GetNumberFormatW(const std::string& value, std::uint32_t decimals,
                                   std::string& formatted) {
    std::wstring decimal = LocaleText(LOCALE_SDECIMAL);
    std::wstring thousands = LocaleText(LOCALE_STHOUSAND);
    NUMBERFMTW format{};
    format.NumDigits = decimals;
    format.LeadingZero = LocaleNumber(LOCALE_ILZERO);
    format.Grouping = Grouping(LocaleText(LOCALE_SGROUPING));
    format.lpDecimalSep = decimal.data();
    format.lpThousandSep = thousands.data();
    format.NegativeOrder = LocaleNumber(LOCALE_INEGNUMBER);
    const std::wstring input = Utf16(value);
    wchar_t output[64] = {};
    const int written =
        ::GetNumberFormatW(LOCALE_USER_DEFAULT, 0, input.c_str(), &format, output, 64);
    if (written <= 0) return false;
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, output, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return false;
    std::string text(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, output, -1, text.data(), length, nullptr, nullptr);
    text.resize(static_cast<std::size_t>(length - 1));
    formatted = std::move(text);
    return true;
}

std::uint32_t Win32Mouse::GetDoubleClickTime() {
    return ::GetDoubleClickTime();
}

bool Win32Mouse::GetCursorPos(platform::Point& point) {
    POINT position{};
    if (::GetCursorPos(&position) == FALSE) return false;
    point = {position.x, position.y};
    return true;
}

bool Win32NotificationArea::Shell_NotifyIconW(std::uint32_t message,
                                              const platform::NotifyIconData& data) {
    static_assert(sizeof(platform::NotifyIconData) == NOTIFYICONDATAW_V2_SIZE);
    static_assert(offsetof(platform::NotifyIconData, hIcon) == offsetof(NOTIFYICONDATAW, hIcon));
    static_assert(offsetof(platform::NotifyIconData, uVersion) ==
                  offsetof(NOTIFYICONDATAW, uVersion));
    static_assert(offsetof(platform::NotifyIconData, dwInfoFlags) ==
                  offsetof(NOTIFYICONDATAW, dwInfoFlags));
    NOTIFYICONDATAW record{};
    std::memcpy(&record, &data, sizeof(data));
    record.cbSize = NOTIFYICONDATAW_V2_SIZE;
    return ::Shell_NotifyIconW(message, &record) != FALSE;
}

}  // namespace kxp::win32
