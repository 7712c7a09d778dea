#include "tray/DisplayModel.h"

#include <algorithm>
#include <cmath>

namespace kxp {
namespace {

std::uint32_t Megabytes(std::int64_t bytes) {
    return static_cast<std::uint32_t>(bytes / 1024 / 1024);
}

// Metrics 2..11 come in idle / usage pairs: all processors, then processors 1 to 4.
std::optional<IconFigure> CpuFigure(std::int32_t metric, const TSystemData& sampler) {
    const std::int32_t idleFigures[] = {sampler.CpuIdleAll, sampler.CpuIdleCore1,
                                        sampler.CpuIdleCore2, sampler.CpuIdleCore3,
                                        sampler.CpuIdleCore4};
    const std::int32_t figure = idleFigures[(metric - dmCpuIdleAll) / 2];
    if (figure < 0) return std::nullopt;
    // The counters may overshoot 100 by rounding; 100 - idle would then wrap.
    const std::int32_t idle = std::min(figure, 100);
    const bool usage = (metric % 2) == 1;
    return IconFigure{static_cast<std::uint32_t>(usage ? 100 - idle : idle), 100};
}

}  // namespace

std::optional<DisplayCode> DecodeDisplay(std::int32_t display1, std::int32_t display2) {
    if (display1 == dkIcon) return DisplayCode{};
    if (display1 < dkNumeric || display1 > dkBlock || display2 < dmRamFree || display2 > dmPF) {
        return std::nullopt;
    }
    return DisplayCode{static_cast<TDisplayKind>(display1), static_cast<TDisplayMetric>(display2)};
}

std::string DisplayMenuItem(int icon, DisplayCode code) {
    std::string name = icon == 2 ? "mi2D_" : "miD_";
    name += kDisplayKinds[static_cast<std::size_t>(code.Kind)].MenuItem;
    if (code.Kind != dkIcon) {
        name += '_';
        name += kDisplayMetrics[static_cast<std::size_t>(code.Metric)].MenuItem;
    }
    return name;
}

std::optional<IconFigure> MetricFigure(std::int32_t metric, const TSystemData& sampler) {
    if (metric < dmRamFree || metric > dmPF) return std::nullopt;
    if (metric > dmRamUsage && metric < dmPF) return CpuFigure(metric, sampler);
    const MemoryFigures memory = sampler.Memory();
    if (metric == dmPF) {
        return IconFigure{static_cast<std::uint32_t>(sampler.PageFileInUse >> 20),
                          Megabytes(memory.TotalPageFile)};
    }
    const std::int64_t value = metric == dmRamFree ? memory.AvailPhys : memory.UsedPhys;
    return IconFigure{Megabytes(value), Megabytes(memory.TotalPhys)};
}

std::int64_t FigureLevel(std::uint32_t value, std::uint32_t maximum) {
    const long double percent = static_cast<long double>(value) / maximum * 100;
    return static_cast<std::int64_t>(std::nearbyint(percent / 6.666666L));
}

std::uint8_t FigureRow(std::uint32_t value, std::uint32_t maximum) {
    const std::int64_t level = maximum > 0 ? FigureLevel(value, maximum) : value;
    return static_cast<std::uint8_t>(15 - level);
}

}  // namespace kxp
