// The "Processor" object of a performance-data block (HKEY_PERFORMANCE_DATA). The block comes from
// outside the service, so every length, count and offset in it is checked against the bytes that
// were returned before it is followed; a block that does not hold together is refused whole.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

namespace kxp {

// The counter reader's errors, with the texts the service traces.
class CounterError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

namespace texts {
inline constexpr const char* kNoWindowsVersion = "Can't get the Windows version";
inline constexpr const char* kNoProcessorObject =
    "Unable to locate the \"Processor\" performance object";
inline constexpr const char* kNoProcessorTimeCounter =
    "Unable to locate the \"% of CPU usage\" performance counter";
inline constexpr const char* kCannotStartMonitoring = "Unable to start performance monitoring";
inline constexpr const char* kCannotReadPerformanceData = "Unable to read performance data";
inline constexpr const char* kCpuIndexOutOfBounds = "CPU index out of bounds";
}  // namespace texts

inline constexpr std::uint32_t kProcessorObjectIndex = 238;
inline constexpr std::uint32_t kProcessorTimeCounterIndex = 6;

struct ProcessorObjectReading {
    std::int32_t objectInstances = 0;        // the object's own number of instances
    std::vector<std::int64_t> idleCounters;  // the processor time counter of each instance walked
    std::int64_t systemTime = 0;             // the block's system time, 100 ns units since 1601
};

// Reads the processor time counter of the first instances of the "Processor" object (all of the
// object's instances when instances is negative). Throws CounterError: kNoProcessorTimeCounter when
// the object has no such counter, kNoProcessorObject when there is no such object or it does not
// lie within the block.
ProcessorObjectReading ReadProcessorObject(std::span<const std::uint8_t> block,
                                           std::int32_t instances);

}  // namespace kxp
