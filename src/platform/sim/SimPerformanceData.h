// Performance-data blocks as HKEY_PERFORMANCE_DATA returns them, built byte by byte from a short
// description, for SimMachine::SetPerformanceData.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace kxp::sim {

struct SimPerformanceObject {
    std::uint32_t nameIndex = 238;  // the "Processor" object
    // Counter name indices in definition order; each instance holds one 64-bit value per counter.
    std::vector<std::uint32_t> counterIndices{240, 6, 142};
    // Per instance, the value of the counter with index 6 (the others hold other figures).
    std::vector<std::int64_t> idleCounters;
    // The number of instances the object declares, when not as many as idleCounters.
    std::optional<std::int32_t> declaredInstances;
    std::uint32_t padding = 0;  // bytes after the instances, inside the object
};

struct SimPerformanceBlock {
    // SYSTEMTIME: year, month, day of week, day, hour, minute, second, milliseconds.
    std::array<std::uint16_t, 8> systemTime{2024, 5, 5, 3, 15, 10, 20, 0};
    std::vector<SimPerformanceObject> objects{SimPerformanceObject{}};
};

std::vector<std::uint8_t> PerformanceBlockBytes(const SimPerformanceBlock& block);

}  // namespace kxp::sim
