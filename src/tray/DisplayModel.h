// What a tray icon can show: the display kind and metric codes stored in "Display1" and
// "Display2", their captions and menu items, each metric's (value, maximum) pair for the renderer,
// and the level a graph or block draws a pair at.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "sysinfo/TSystemData.h"

namespace kxp {

enum TDisplayKind : std::int32_t { dkIcon = 0, dkNumeric = 1, dkGraph = 2, dkBlock = 3 };

enum TDisplayMetric : std::int32_t {
    dmRamFree = 0,
    dmRamUsage = 1,
    dmCpuIdleAll = 2,
    dmCpuUsageAll = 3,
    dmCpuIdleCore1 = 4,
    dmCpuUsageCore1 = 5,
    dmCpuIdleCore2 = 6,
    dmCpuUsageCore2 = 7,
    dmCpuIdleCore3 = 8,
    dmCpuUsageCore3 = 9,
    dmCpuIdleCore4 = 10,
    dmCpuUsageCore4 = 11,
    dmPF = 12,
};

// A row of a code table: the part of the menu item's name after "miD_" (or "mi2D_") and the
// built-in English caption.
struct DisplayCodeName {
    const char* MenuItem;
    const char* Caption;
};

// Indexed by the code.
inline constexpr std::array<DisplayCodeName, 4> kDisplayKinds{{
    {"Icon", "KorvanelXP Icon"},
    {"Numeric", "Numeric"},
    {"Graph", "Graph"},
    {"Block", "Block"},
}};

inline constexpr std::array<DisplayCodeName, 13> kDisplayMetrics{{
    {"RamFree", "RAM Free"},
    {"RamUsage", "RAM Usage"},
    {"CpuIdleAll", "CPU Idle Time - All"},
    {"CpuUsageAll", "CPU Usage - All"},
    {"CpuIdleCore1", "CPU Idle Time - Core 1"},
    {"CpuUsageCore1", "CPU Usage - Core 1"},
    {"CpuIdleCore2", "CPU Idle Time - Core 2"},
    {"CpuUsageCore2", "CPU Usage - Core 2"},
    {"CpuIdleCore3", "CPU Idle Time - Core 3"},
    {"CpuUsageCore3", "CPU Usage - Core 3"},
    {"CpuIdleCore4", "CPU Idle Time - Core 4"},
    {"CpuUsageCore4", "CPU Usage - Core 4"},
    {"PF", "Paging File Usage"},
}};

// An icon's display: the product icon (its metric not looked at, dmRamFree) or a kind with its
// metric.
struct DisplayCode {
    TDisplayKind Kind = dkIcon;
    TDisplayMetric Metric = dmRamFree;
    friend bool operator==(const DisplayCode&, const DisplayCode&) = default;
};

// Nothing for a kind or, with kinds 1 to 3, a metric outside the tables.
std::optional<DisplayCode> DecodeDisplay(std::int32_t display1, std::int32_t display2);

// The menu item of a display on tray icon 1 or 2: "miD_Icon", "mi2D_Graph_CpuUsageAll"...
std::string DisplayMenuItem(int icon, DisplayCode code);

struct IconFigure {
    std::uint32_t Value = 0;
    std::uint32_t Maximum = 0;
    friend bool operator==(const IconFigure&, const IconFigure&) = default;
};

// Nothing for a metric outside 0..12 or a CPU metric without a figure yet (negative idle value).
// Idle figures are taken at 100 at most, so that neither an idle nor a usage value leaves 0..100.
std::optional<IconFigure> MetricFigure(std::int32_t metric, const TSystemData& sampler);

// The level 0..15 of a figure, for a maximum above 0: value / maximum x 100 / 6.666666 in
// extended precision, rounded to nearest with ties to even.
std::int64_t FigureLevel(std::uint32_t value, std::uint32_t maximum);

// The bitmap row a graph column or a block starts at: 15 - level (15 - value for a maximum of 0),
// as an unsigned 8-bit number; rows beyond 15 lie outside the bitmap.
std::uint8_t FigureRow(std::uint32_t value, std::uint32_t maximum);

}  // namespace kxp
