// The preview of one option record: the 16 x 16 tray icon drawn by the service's own renderer for
// a sample value, shown enlarged pixel by pixel.
#pragma once

#include <windows.h>

#include <cstdint>

#include "config/TConfig.h"
#include "platform/win32/Win32Desktop.h"
#include "sysinfo/TPipe.h"
#include "tray/TIconRenderer.h"

namespace kxp::settings {

class TrayIconPreview {
  public:
    // Throws std::runtime_error when the system has no DC or bitmap to give.
    TrayIconPreview();

    // Draws the record of tray icon 1 or 2 as the service would after reading it: digits of the
    // sample for Numeric, a graph rising to the sample (in percent) for Graph, a bar of the sample
    // for Block, the program icon for the KorvanelXP icon. Nothing for a code outside the tables.
    void Render(int icon, const TConfig& config, std::uint32_t sample);
    // The last image, each pixel as a square as large as fits into area, centred, over background
    // where the icon is transparent.
    void Paint(HDC dc, const RECT& area, COLORREF background);

  private:
    win32::Win32Drawing drawing_;
    win32::Win32Locale locale_;
    TIconRenderer renderer_;
    TPipe history_{15};
    OwnedIcon image_;
};

}  // namespace kxp::settings
