// The simulated user's desktop: GDI drawing on real pixel buffers, icons, the locale's number
// format, the mouse and the shell's notification area. Records what the tests assert on: pixels,
// text drawn, shell calls, and every GDI object still alive or released wrongly. Thread-safe.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace kxp::sim {

// Pixels row by row from the top left, each $00BBGGRR.
struct SimBitmap {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<platform::ColorRef> pixels;
    platform::ColorRef At(std::int32_t x, std::int32_t y) const {
        return pixels[static_cast<std::size_t>(y * width + x)];
    }
};

struct SimIcon {
    SimBitmap image;
    std::vector<bool> transparent;  // the mask, in the order of the pixels
    std::string resource;           // the resource it was loaded from, empty for a conversion
};

struct SimTextOut {
    std::string text;
    std::int32_t x = 0;
    std::int32_t y = 0;
    platform::FontRequest font;
    platform::ColorRef textColor = 0;
    platform::ColorRef bkColor = 0;
    std::int32_t bkMode = 0;
};

struct SimShellCall {
    std::uint32_t message = 0;
    platform::NotifyIconData data;
};

class SimDesktop final : public platform::Drawing,
                         public platform::Locale,
                         public platform::Mouse,
                         public platform::NotificationArea {
  public:
    SimDesktop();

    // Text metrics of the simulated fonts: every character is Size / 2 + 2 pixels wide, and a
    // line is Size + 4 pixels high (sizes below 0 count as 0). A character is drawn as a vertical
    // stroke in the middle of its cell, one pixel inside the cell's top and bottom.
    static platform::Size CharacterCell(const platform::FontRequest& font);

    std::optional<SimBitmap> Bitmap(platform::Handle bitmap) const;
    std::optional<SimIcon> Icon(platform::Handle icon) const;
    std::vector<SimTextOut> TextOuts() const;
    std::vector<platform::FontRequest> FontsCreated() const;
    // Bitmaps, brushes, pens, fonts, DCs and icons made and not yet released.
    int LiveObjectCount() const;
    // Releases of handles that are not alive, or of objects still selected into a DC.
    int BadReleaseCount() const;
    void SetSysColor(std::int32_t index, platform::ColorRef color);
    // The program's own "MAINICON" and "BUSYICON" are there from the start.
    void AddIconResource(const std::string& name);

    // "." and "," with groups of three until set.
    void SetNumberSeparators(const std::string& decimal, const std::string& thousands);
    void SetDoubleClickTime(std::uint32_t milliseconds);  // 500 until set
    void SetCursorPos(platform::Point point);
    std::vector<SimShellCall> ShellCalls() const;

    // platform::Drawing
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

    // platform::Locale
    bool GetNumberFormatW(const std::string& value, std::uint32_t decimals,
                          std::string& formatted) override;
    // platform::Mouse
    std::uint32_t GetDoubleClickTime() override;
    bool GetCursorPos(platform::Point& point) override;
    // platform::NotificationArea
    bool Shell_NotifyIconW(std::uint32_t message, const platform::NotifyIconData& data) override;

  private:
    enum class Kind { Bitmap, Brush, Pen, Font, Icon };
    struct Object {
        Kind kind = Kind::Bitmap;
        platform::ColorRef color = 0;  // brush and pen
        platform::FontRequest font;
        SimBitmap bitmap;
        SimIcon icon;
        int selections = 0;
    };
    struct Dc {
        platform::Handle bitmap = 0;
        platform::Handle pen = 0;
        platform::Handle font = 0;
        platform::Handle brush = 0;
        platform::ColorRef textColor = 0;
        platform::ColorRef bkColor = 0xFFFFFF;
        std::int32_t bkMode = platform::kOpaqueBk;
        platform::Point position;
    };

    static Object Made(Kind kind);
    platform::Handle AddObject(Object object);
    Object* Find(platform::Handle object, Kind kind);
    // The kind of a live or stock object.
    std::optional<Kind> KindOf(platform::Handle object) const;
    SimBitmap* Target(platform::Handle dc);
    platform::Size TextSize(const Dc& dc, const std::string& text);
    platform::Handle& Slot(Dc& dc, Kind kind);
    bool Release(platform::Handle object, Kind kind);

    mutable std::mutex mutex_;
    std::map<platform::Handle, Object> objects_;
    std::map<platform::Handle, Dc> dcs_;
    platform::Handle next_ = 0x4000;
    int badReleases_ = 0;
    std::vector<SimTextOut> textOuts_;
    std::vector<platform::FontRequest> fontsCreated_;
    std::map<std::int32_t, platform::ColorRef> sysColors_;
    std::vector<std::string> iconResources_;
    std::string decimalSeparator_ = ".";
    std::string thousandsSeparator_ = ",";
    std::uint32_t doubleClickTime_ = 500;
    platform::Point cursor_;
    std::vector<SimShellCall> shellCalls_;
};

}  // namespace kxp::sim
