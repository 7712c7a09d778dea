// DrawIcon: one figure of tray icon 1 or 2 drawn as digits, a scrolling graph or a bar on the
// icon's 16 x 16 bitmap, and turned into the icon the tray shows.
#pragma once

#include <cstdint>
#include <string>

#include "config/TConfig.h"
#include "platform/DrawingHandles.h"
#include "platform/Platform.h"
#include "sysinfo/TPipe.h"
#include "tray/TDrawingObjects.h"

namespace kxp {

// The text of a numeric icon: plain digits below 1000, else the value in thousands with two
// decimals in the user's number format ("1.23"). Empty when the format cannot be had.
std::string NumericText(std::uint32_t value, platform::Locale& locale);

class TIconRenderer {
  public:
    // Throws std::runtime_error when the system has no DC or bitmap to give.
    TIconRenderer(platform::Drawing& drawing, platform::Locale& locale);

    TDrawingObjects& Objects() { return objects_; }

    // Draws value (of maximum) on tray icon 1 or 2 in the display kind, with the icon's options,
    // last drawn value and graph history. A value equal to the last one is not drawn again,
    // except on a graph, which scrolls. Returns the new icon for the tray, empty when nothing was
    // drawn; whoever holds it releases it.
    OwnedIcon DrawIcon(int icon, const TConfig& config, std::int32_t& lastValue, TPipe& history,
                       std::int32_t kind, std::uint32_t value, std::uint32_t maximum);

  private:
    void DrawNumeric(int icon, TIconCanvas& canvas, const TConfig& config, std::uint32_t value);
    void DrawGraph(TIconCanvas& canvas, const TConfig& config, TPipe& history, std::uint8_t row);
    void DrawBlock(TIconCanvas& canvas, const TConfig& config, std::uint8_t row);
    void StartFromBlank(TIconCanvas& canvas, const TConfig& config);

    platform::Drawing& drawing_;
    platform::Locale& locale_;
    TDrawingObjects objects_;
};

}  // namespace kxp
