// What an icon's display metric shows: the (value, maximum) pair handed to the renderer.
#pragma once

#include <cstdint>
#include <optional>

#include "sysinfo/TSystemData.h"

namespace kxp {

struct IconFigure {
    std::uint32_t Value = 0;
    std::uint32_t Maximum = 0;
    friend bool operator==(const IconFigure&, const IconFigure&) = default;
};

// Nothing for a metric outside 0..12 or a CPU metric without a figure yet (negative idle value).
std::optional<IconFigure> MetricFigure(std::int32_t metric, const TSystemData& sampler);

}  // namespace kxp
