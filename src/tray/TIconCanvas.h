// A bitmap with its own memory DC, fill colour (brush) and line colour (pen), as an icon is drawn
// on it. Fonts are the caller's: selected for one text only, so that they can be replaced between
// drawings.
#pragma once

#include <cstdint>
#include <string>

#include "config/TConfig.h"
#include "platform/DrawingHandles.h"
#include "platform/Platform.h"

namespace kxp {

// A colour as GDI takes it: system colours (0x80000000 plus an index) looked up.
platform::ColorRef ColorToRGB(platform::Drawing& drawing, TColor color);

class TIconCanvas {
  public:
    // Throws std::runtime_error when the system has no DC or bitmap to give.
    TIconCanvas(platform::Drawing& drawing, std::int32_t width, std::int32_t height);
    ~TIconCanvas();
    TIconCanvas(const TIconCanvas&) = delete;
    TIconCanvas& operator=(const TIconCanvas&) = delete;

    platform::Handle Bitmap() const { return bitmap_.get(); }
    TColor BrushColor() const { return brushColor_; }
    void SetBrushColor(TColor color);
    void SetPenColor(TColor color);

    void FillRect(const platform::Rect& rect);
    // Copies the whole of source, which has the same size.
    void CopyFrom(const TIconCanvas& source);
    // From (x, top) to (x, bottom), bottom excluded, in the pen's colour.
    void VerticalLine(std::int32_t x, std::int32_t top, std::int32_t bottom);
    platform::Size TextExtent(platform::Handle font, const std::string& text);
    // In color, on an opaque box of the fill colour.
    void WriteText(platform::Handle font, TColor color, std::int32_t x, std::int32_t y,
                   const std::string& text);

    // The icon of the bitmap as it stands (white transparent); 0 on failure. The bitmap leaves
    // the DC for the conversion, as the system asks.
    platform::Handle ToIcon();

  private:
    platform::Drawing& drawing_;
    std::int32_t width_;
    std::int32_t height_;
    // Before the objects made in these colours.
    TColor brushColor_ = clWhite;
    TColor penColor_ = clBlack;
    OwnedDc dc_;
    OwnedGdiObject bitmap_;
    OwnedGdiObject pen_;
    OwnedGdiObject brush_;
    platform::Handle originalBitmap_ = 0;
    platform::Handle originalPen_ = 0;
};

}  // namespace kxp
