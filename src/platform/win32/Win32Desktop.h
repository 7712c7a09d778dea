// GDI drawing and icons, the user's number format, the mouse and the notification area.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace kxp::win32 {

// UTF-8 to UTF-16; text that is not UTF-8 comes out empty.
std::wstring Utf16(const std::string& text);

class Win32Drawing final : public platform::Drawing {
  public:
    platform::Handle CreateCompatibleDC() override;
    bool DeleteDC(platform::Handle dc) override;
    platform::Handle CreateBitmap(std::int32_t width, std::int32_t height) override;
    platform::Handle CreateSolidBrush(platform::ColorRef color) override;
    platform::Handle CreatePen(std::int32_t width, platform::ColorRef color) override;
    platform::Handle CreateFontIndirectW(const platform::FontRequest& font) override;
    bool DeleteObject(platform::Handle object) override;
    platform::Handle SelectObject(platform::Handle dc, platform::Handle object) override;
    bool FillRect(platform::Handle dc, const platform::Rect& rect, platform::Handle brush) override;
    bool MoveToEx(platform::Handle dc, std::int32_t x, std::int32_t y) override;
    bool LineTo(platform::Handle dc, std::int32_t x, std::int32_t y) override;
    bool BitBlt(platform::Handle dc, std::int32_t x, std::int32_t y, std::int32_t width,
                std::int32_t height, platform::Handle source, std::int32_t sourceX,
                std::int32_t sourceY) override;
    platform::ColorRef SetTextColor(platform::Handle dc, platform::ColorRef color) override;
    platform::ColorRef SetBkColor(platform::Handle dc, platform::ColorRef color) override;
    std::int32_t SetBkMode(platform::Handle dc, std::int32_t mode) override;
    bool GetTextExtentPoint32W(platform::Handle dc, const std::string& text,
                               platform::Size& size) override;
    bool TextOutW(platform::Handle dc, std::int32_t x, std::int32_t y,
                  const std::string& text) override;
    platform::ColorRef GetSysColor(std::int32_t index) override;
    platform::Handle CreateIconFromBitmap(platform::Handle bitmap) override;
    platform::Handle LoadIconResource(const std::string& name) override;
    bool DestroyIcon(platform::Handle icon) override;
};

class Win32Locale final : public platform::Locale {
  public:
    bool GetNumberFormatW(const std::string& value, std::uint32_t decimals,
                          std::string& formatted) override;
};

class Win32Mouse final : public platform::Mouse {
  public:
    std::uint32_t GetDoubleClickTime() override;
    bool GetCursorPos(platform::Point& point) override;
};

class Win32NotificationArea final : public platform::NotificationArea {
  public:
    bool Shell_NotifyIconW(std::uint32_t message, const platform::NotifyIconData& data) override;
};

}  // namespace kxp::win32
