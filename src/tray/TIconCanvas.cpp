#include "tray/TIconCanvas.h"

#include <stdexcept>

namespace kxp {
namespace {

constexpr const char* kOutOfResources = "Out of system resources";

platform::Handle Checked(platform::Handle handle) {
    if (handle == 0) throw std::runtime_error(kOutOfResources);
    return handle;
}

}  // namespace

platform::ColorRef ColorToRGB(platform::Drawing& drawing, TColor color) {
    if ((color & 0x80000000u) != 0)
        return drawing.GetSysColor(static_cast<std::int32_t>(color & 0xFF));
    return color;
}

TIconCanvas::TIconCanvas(platform::Drawing& drawing, std::int32_t width, std::int32_t height)
    : drawing_(drawing),
      width_(width),
      height_(height),
      dc_(Checked(drawing.CreateCompatibleDC()), DeleteDcWith{&drawing}),
      bitmap_(Checked(drawing.CreateBitmap(width, height)), DeleteObjectWith{&drawing}),
      pen_(Checked(drawing.CreatePen(1, penColor_)), DeleteObjectWith{&drawing}),
      brush_(Checked(drawing.CreateSolidBrush(brushColor_)), DeleteObjectWith{&drawing}) {
    originalBitmap_ = drawing_.SelectObject(dc_.get(), bitmap_.get());
    originalPen_ = drawing_.SelectObject(dc_.get(), pen_.get());
}

TIconCanvas::~TIconCanvas() {
    // Selected out first, so that the members can release them.
    if (originalPen_ != 0) drawing_.SelectObject(dc_.get(), originalPen_);
    if (originalBitmap_ != 0) drawing_.SelectObject(dc_.get(), originalBitmap_);
}

void TIconCanvas::SetBrushColor(TColor color) {
    if (color == brushColor_) return;
    const platform::Handle brush = drawing_.CreateSolidBrush(ColorToRGB(drawing_, color));
    if (brush == 0) return;
    brush_ = OwnedGdiObject(brush, DeleteObjectWith{&drawing_});
    brushColor_ = color;
}

void TIconCanvas::SetPenColor(TColor color) {
    if (color == penColor_) return;
    OwnedGdiObject pen(drawing_.CreatePen(1, ColorToRGB(drawing_, color)),
                       DeleteObjectWith{&drawing_});
    if (!pen) return;
    drawing_.SelectObject(dc_.get(), pen.get());
    // The old pen is out of the DC now and goes.
    pen_ = std::move(pen);
    penColor_ = color;
}

platform::Handle TIconCanvas::ToIcon() {
    drawing_.SelectObject(dc_.get(), originalBitmap_);
    const platform::Handle icon = drawing_.CreateIconFromBitmap(bitmap_.get());
    drawing_.SelectObject(dc_.get(), bitmap_.get());
    return icon;
}

void TIconCanvas::FillRect(const platform::Rect& rect) {
    drawing_.FillRect(dc_.get(), rect, brush_.get());
}

void TIconCanvas::CopyFrom(const TIconCanvas& source) {
    drawing_.BitBlt(dc_.get(), 0, 0, width_, height_, source.dc_.get(), 0, 0);
}

void TIconCanvas::VerticalLine(std::int32_t x, std::int32_t top, std::int32_t bottom) {
    drawing_.MoveToEx(dc_.get(), x, top);
    drawing_.LineTo(dc_.get(), x, bottom);
}

platform::Size TIconCanvas::TextExtent(platform::Handle font, const std::string& text) {
    const platform::Handle previous = drawing_.SelectObject(dc_.get(), font);
    platform::Size size;
    drawing_.GetTextExtentPoint32W(dc_.get(), text, size);
    if (previous != 0) drawing_.SelectObject(dc_.get(), previous);
    return size;
}

void TIconCanvas::WriteText(platform::Handle font, TColor color, std::int32_t x, std::int32_t y,
                            const std::string& text) {
    const platform::Handle previous = drawing_.SelectObject(dc_.get(), font);
    drawing_.SetTextColor(dc_.get(), ColorToRGB(drawing_, color));
    drawing_.SetBkColor(dc_.get(), ColorToRGB(drawing_, brushColor_));
    drawing_.SetBkMode(dc_.get(), platform::kOpaqueBk);
    drawing_.TextOutW(dc_.get(), x, y, text);
    if (previous != 0) drawing_.SelectObject(dc_.get(), previous);
}

}  // namespace kxp
