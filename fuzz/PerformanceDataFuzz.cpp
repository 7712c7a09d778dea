// The performance-data walker on any bytes: it must raise or read, never step outside the block.
#include <cstdint>
#include <cstring>
#include <vector>

#include "sysinfo/PerformanceDataWalk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first four bytes choose how many instances to walk (negative: the object's own count).
    std::int32_t instances = -1;
    if (size >= sizeof instances) {
        std::memcpy(&instances, data, sizeof instances);
        data += sizeof instances;
        size -= sizeof instances;
    }
    // A block of exactly the returned bytes, so that any read past it is caught.
    const std::vector<std::uint8_t> block(data, data + size);
    try {
        const kxp::ProcessorObjectReading reading = kxp::ReadProcessorObject(block, instances);
        if (instances >= 0 && reading.idleCounters.size() != static_cast<std::size_t>(instances)) {
            __builtin_trap();
        }
    } catch (const kxp::CounterError&) {
    }
    return 0;
}
