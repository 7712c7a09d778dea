#include "sysinfo/PerformanceDataWalk.h"

#include <chrono>
#include <cstring>

namespace kxp {
namespace {

// Field offsets of the published structures, the same on 32 and 64 bits.
constexpr std::uint64_t kBlockHeaderLength = 24;
constexpr std::uint64_t kBlockObjectTypes = 28;
constexpr std::uint64_t kBlockSystemTime = 36;
constexpr std::uint64_t kObjectDefinitionLength = 4;
constexpr std::uint64_t kObjectHeaderLength = 8;
constexpr std::uint64_t kObjectNameIndex = 12;
constexpr std::uint64_t kObjectCounters = 32;
constexpr std::uint64_t kObjectInstances = 40;
constexpr std::uint64_t kCounterNameIndex = 4;
constexpr std::uint64_t kCounterOffset = 36;
// The smallest whole records: a step shorter than these would walk the same bytes again.
constexpr std::uint32_t kObjectMinLength = 44;
constexpr std::uint32_t kCounterDefinitionLength = 40;
constexpr std::uint32_t kInstanceDefinitionLength = 24;
constexpr std::uint32_t kCounterBlockMinLength = 4;

constexpr std::int64_t kUnitsPerMs = 10'000;

// Offsets are summed in 64 bits, so no sum of 32-bit fields can wrap.
template <typename T>
bool ReadAt(std::span<const std::uint8_t> block, std::uint64_t offset, T& value) {
    if (offset > block.size() || block.size() - offset < sizeof(T)) return false;
    std::memcpy(&value, block.data() + offset, sizeof(T));
    return true;
}

template <typename T>
T Field(std::span<const std::uint8_t> block, std::uint64_t offset) {
    T value{};
    if (!ReadAt(block, offset, value)) throw CounterError(texts::kNoProcessorObject);
    return value;
}

// SYSTEMTIME to 100 ns units since 1601, refusing what SystemTimeToFileTime refuses.
std::int64_t BlockSystemTime(std::span<const std::uint8_t> block) {
    std::uint16_t t[8];
    for (std::uint64_t i = 0; i < 8; ++i)
        t[i] = Field<std::uint16_t>(block, kBlockSystemTime + 2 * i);
    using namespace std::chrono;
    const year_month_day date{year{t[0]}, month{t[1]}, day{t[3]}};
    if (t[0] < 1601 || t[0] > 30827 || !date.ok() || t[4] > 23 || t[5] > 59 || t[6] > 59 ||
        t[7] > 999) {
        throw CounterError(texts::kNoProcessorObject);
    }
    const auto days = (sys_days{date} - sys_days{year{1601} / January / 1}).count();
    const std::int64_t ms =
        ((std::int64_t{days} * 24 + t[4]) * 60 + t[5]) * 60'000 + std::int64_t{t[6]} * 1000 + t[7];
    return ms * kUnitsPerMs;
}

// The offset of the first object with the "Processor" index.
std::uint64_t FindProcessorObject(std::span<const std::uint8_t> block) {
    std::uint64_t object = Field<std::uint32_t>(block, kBlockHeaderLength);
    const auto objects = Field<std::uint32_t>(block, kBlockObjectTypes);
    for (std::uint32_t i = 0; i < objects; ++i) {
        std::uint32_t length = 0;
        std::uint32_t index = 0;
        if (!ReadAt(block, object, length) || !ReadAt(block, object + kObjectNameIndex, index)) {
            break;
        }
        if (index == kProcessorObjectIndex) return object;
        if (length < kObjectMinLength) break;
        object += length;
    }
    throw CounterError(texts::kNoProcessorObject);
}

// The offset of the processor time counter within each instance's counter block.
std::uint32_t FindProcessorTimeCounter(std::span<const std::uint8_t> block, std::uint64_t object) {
    std::uint64_t definition = object + Field<std::uint32_t>(block, object + kObjectHeaderLength);
    const auto counters = Field<std::uint32_t>(block, object + kObjectCounters);
    for (std::uint32_t i = 0; i < counters; ++i) {
        std::uint32_t length = 0;
        std::uint32_t index = 0;
        std::uint32_t offset = 0;
        if (!ReadAt(block, definition, length) ||
            !ReadAt(block, definition + kCounterNameIndex, index) ||
            !ReadAt(block, definition + kCounterOffset, offset)) {
            break;
        }
        if (index == kProcessorTimeCounterIndex) return offset;
        if (length < kCounterDefinitionLength) break;
        definition += length;
    }
    throw CounterError(texts::kNoProcessorTimeCounter);
}

}  // namespace

ProcessorObjectReading ReadProcessorObject(std::span<const std::uint8_t> block,
                                           std::int32_t instances) {
    ProcessorObjectReading reading;
    const std::uint64_t object = FindProcessorObject(block);
    reading.objectInstances = Field<std::int32_t>(block, object + kObjectInstances);
    const std::int32_t walked = instances < 0 ? reading.objectInstances : instances;
    // A negative count is an object without instances: no per-processor figures in it.
    if (walked < 0) throw CounterError(texts::kNoProcessorObject);
    const std::uint32_t counterOffset = FindProcessorTimeCounter(block, object);

    // Each step moves on by at least a whole instance, so a count larger than the block can
    // hold ends at its end.
    std::uint64_t instance = object + Field<std::uint32_t>(block, object + kObjectDefinitionLength);
    for (std::int32_t i = 0; i < walked; ++i) {
        const auto definitionLength = Field<std::uint32_t>(block, instance);
        if (definitionLength < kInstanceDefinitionLength) {
            throw CounterError(texts::kNoProcessorObject);
        }
        const std::uint64_t counterBlock = instance + definitionLength;
        const auto blockLength = Field<std::uint32_t>(block, counterBlock);
        if (blockLength < kCounterBlockMinLength) throw CounterError(texts::kNoProcessorObject);
        reading.idleCounters.push_back(Field<std::int64_t>(block, counterBlock + counterOffset));
        instance = counterBlock + blockLength;
    }
    reading.systemTime = BlockSystemTime(block);
    return reading;
}

}  // namespace kxp
