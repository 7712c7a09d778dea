#include "service/IconMetric.h"

namespace kxp {
namespace {

constexpr std::int32_t dmRamFree = 0;
constexpr std::int32_t dmRamUsage = 1;
constexpr std::int32_t dmPF = 12;

std::uint32_t Megabytes(std::int64_t bytes) {
    return static_cast<std::uint32_t>(bytes / 1024 / 1024);
}

// Metrics 2..11 come in idle / usage pairs: all processors, then processors 1 to 4.
std::optional<IconFigure> CpuFigure(std::int32_t metric, const TSystemData& sampler) {
    const std::int32_t idleFigures[] = {sampler.CpuIdleAll, sampler.CpuIdleCore1,
                                        sampler.CpuIdleCore2, sampler.CpuIdleCore3,
                                        sampler.CpuIdleCore4};
    const std::int32_t idle = idleFigures[(metric - 2) / 2];
    if (idle < 0) return std::nullopt;
    const bool usage = (metric % 2) == 1;
    return IconFigure{static_cast<std::uint32_t>(usage ? 100 - idle : idle), 100};
}

}  // namespace

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

}  // namespace kxp
