#include "settings/win32/TrayIconPreview.h"

#include <algorithm>

#include "platform/win32/Win32Handles.h"
#include "tray/DisplayModel.h"

namespace kxp::settings {
namespace {

// The graph shows this many samples rising to the sample value, as after a steady climb.
constexpr std::uint32_t kGraphColumns = 16;
constexpr std::uint32_t kPercent = 100;

// An object selected into a DC for a while, selected out again before either goes.
class Selection {
  public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~Selection() {
        if (previous_ != nullptr) ::SelectObject(dc_, previous_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace

TrayIconPreview::TrayIconPreview() : renderer_(drawing_, locale_) {}

void TrayIconPreview::Render(int icon, const TConfig& config, std::uint32_t sample) {
    image_.reset();
    const auto code = DecodeDisplay(config.Display1, config.Display2);
    if (!code) return;
    if (code->Kind == dkIcon) {
        image_ = OwnedIcon(drawing_.LoadIconResource("MAINICON"), DestroyIconWith{&drawing_});
        return;
    }
    // The colours as a reading of the options leaves them.
    TConfig drawn = config;
    ApplyForeColor(drawn);
    renderer_.Objects().ApplyOptions(icon, drawn);
    std::int32_t lastValue = -1;  // every rendering draws
    if (code->Kind == dkGraph) {
        history_.Reset();
        for (std::uint32_t column = 1; column < kGraphColumns; ++column) {
            renderer_.DrawIcon(icon, drawn, lastValue, history_, dkGraph,
                               sample * column / kGraphColumns, kPercent);
        }
    }
    const std::uint32_t maximum = code->Kind == dkNumeric ? 0 : kPercent;
    image_ = renderer_.DrawIcon(icon, drawn, lastValue, history_, code->Kind, sample, maximum);
}

void TrayIconPreview::Paint(HDC dc, const RECT& area, COLORREF background) {
    const win32::UniqueGdiObject brush(::CreateSolidBrush(background));
    ::FillRect(dc, &area, static_cast<HBRUSH>(brush.get()));
    if (!image_) return;
    const int scale =
        std::max<int>(1, std::min(area.right - area.left, area.bottom - area.top) / kIconSize);
    const int size = kIconSize * scale;
    const int left = area.left + (area.right - area.left - size) / 2;
    const int top = area.top + (area.bottom - area.top - size) / 2;
    // The icon at its own size over the background first, so that the enlargement copies pixels
    // and does not stretch the icon's mask.
    const win32::UniqueDc memory(::CreateCompatibleDC(dc));
    const win32::UniqueGdiObject bitmap(::CreateCompatibleBitmap(dc, kIconSize, kIconSize));
    if (!memory || !bitmap) return;
    const Selection selected(memory.get(), bitmap.get());
    const RECT square{0, 0, kIconSize, kIconSize};
    ::FillRect(memory.get(), &square, static_cast<HBRUSH>(brush.get()));
    ::DrawIconEx(memory.get(), 0, 0, reinterpret_cast<HICON>(image_.get()), kIconSize, kIconSize, 0,
                 nullptr, DI_NORMAL);
    ::SetStretchBltMode(dc, COLORONCOLOR);
    ::StretchBlt(dc, left, top, size, size, memory.get(), 0, 0, kIconSize, kIconSize, SRCCOPY);
}

}  // namespace kxp::settings
