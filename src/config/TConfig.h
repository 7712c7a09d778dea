// The per-icon option record; icon 1's instance also carries the user-wide and machine options.
#pragma once

#include <cstdint>
#include <string>

namespace kxp {

// Colours are $00BBGGRR, or 0x80000000 plus a system colour index.
using TColor = std::uint32_t;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWindowText = 0x80000008;
// Reserved for the transparent pixels of the tray icons.
inline constexpr TColor clWhite = 0xFFFFFF;

// One of an icon's three text fonts.
struct TFontOptions {
    std::string Name = "";
    std::int32_t Size = 0;  // points
    bool Bold = false;
    bool Italic = false;
    TColor Color = clWindowText;
};

struct TConfig {
    std::int32_t Refresh = 1000;  // ms between two redraws of the icon
    std::int32_t Display1 = 1;    // TDisplayKind: 0 product icon, 1 Numeric, 2 Graph, 3 Block
    std::int32_t Display2 = 0;    // TDisplayMetric, 0..12 in the order of the Display menu
    // Text positions for one, two and three or more characters when not centred.
    std::int32_t X1 = 5;
    std::int32_t X2 = 2;
    std::int32_t X3 = 0;
    std::int32_t Y1 = 1;
    std::int32_t Y2 = 1;
    std::int32_t Y3 = 3;
    // Fonts for values below 10, below 100, and all others.
    TFontOptions Font1{"Arial", 8, true, false, clWindowText};
    TFontOptions Font2{"Arial", 8, true, false, clWindowText};
    TFontOptions Font3{"Small Fonts", 7, false, false, clWindowText};
    TColor ForeColor = 0x00FF00;
    TColor BackColor = clBlack;
    bool Transparent = false;
    bool Center1 = true;
    bool Center2 = true;
    bool Center3 = true;
    std::string Suffix = "";  // "_2" while the alternate set is active

    // User-wide options, kept in icon 1's record only.
    // Hot keys: key numbers into the hot-key table, each with its switches.
    std::uint16_t HotKey1 = 45;  // R
    bool Hotkey1Enabled = false;
    bool Hotkey1Ctrl = true;
    bool Hotkey1Alt = true;
    bool Hotkey1Shift = false;
    std::uint16_t HotKey2 = 10;  // End
    bool Hotkey2Enabled = true;
    bool Hotkey2Ctrl = true;
    bool Hotkey2Alt = true;
    bool Hotkey2Shift = false;
    bool Realtime = false;  // high priority class for the service, real-time for the settings
    bool Autohide = false;  // the process scan moves update windows out of sight
    std::string Language = "Automatic";
    bool NoSecondTray = false;  // tray icon 2 hidden
};

inline TConfig DefaultIcon1Config() {
    return TConfig{};
}

inline TConfig DefaultIcon2Config() {
    TConfig config;
    config.Display1 = 2;
    config.Display2 = 3;
    config.ForeColor = 0x00FFFF;
    return config;
}

// The colour rules every reading of the options ends with: a pure white ForeColor becomes
// $00FFFFFE, and fonts left at the window-text colour or black draw in ForeColor.
void ApplyForeColor(TConfig& config);

}  // namespace kxp
