#include "platform/sim/SimPerformanceData.h"

#include <cstring>

namespace kxp::sim {
namespace {

constexpr std::uint32_t kBlockHeader = 88;
constexpr std::uint32_t kObjectHeader = 64;
constexpr std::uint32_t kCounterDefinition = 40;
constexpr std::uint32_t kInstanceDefinition = 32;  // 24 bytes and the name "0", padded
constexpr std::uint32_t kCounterBlockHeader = 8;   // its length, padded to 8

template <typename T>
void Put(std::vector<std::uint8_t>& bytes, std::size_t offset, T value) {
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

std::vector<std::uint8_t> ObjectBytes(const SimPerformanceObject& object) {
    const auto counters = static_cast<std::uint32_t>(object.counterIndices.size());
    const std::uint32_t definitionLength = kObjectHeader + counters * kCounterDefinition;
    const std::uint32_t counterBlock = kCounterBlockHeader + counters * 8;
    const std::uint32_t instance = kInstanceDefinition + counterBlock;
    const auto instances = static_cast<std::uint32_t>(object.idleCounters.size());
    std::vector<std::uint8_t> bytes(definitionLength + instances * instance + object.padding);

    Put<std::uint32_t>(bytes, 0, static_cast<std::uint32_t>(bytes.size()));
    Put<std::uint32_t>(bytes, 4, definitionLength);
    Put<std::uint32_t>(bytes, 8, kObjectHeader);
    Put<std::uint32_t>(bytes, 12, object.nameIndex);
    Put<std::uint32_t>(bytes, 32, counters);
    Put<std::int32_t>(bytes, 40,
                      object.declaredInstances.value_or(static_cast<std::int32_t>(instances)));
    for (std::uint32_t c = 0; c < counters; ++c) {
        const std::size_t definition = kObjectHeader + c * kCounterDefinition;
        Put<std::uint32_t>(bytes, definition, kCounterDefinition);
        Put<std::uint32_t>(bytes, definition + 4, object.counterIndices[c]);
        Put<std::uint32_t>(bytes, definition + 32, 8);
        Put<std::uint32_t>(bytes, definition + 36, kCounterBlockHeader + c * 8);
    }
    for (std::uint32_t i = 0; i < instances; ++i) {
        const std::size_t at = definitionLength + i * instance;
        Put<std::uint32_t>(bytes, at, kInstanceDefinition);
        Put<std::uint32_t>(bytes, at + 16, 24);  // name offset
        Put<std::uint32_t>(bytes, at + 20, 4);   // name length: "0" and its terminator
        Put<char16_t>(bytes, at + 24, static_cast<char16_t>(u'0' + i % 10));
        const std::size_t block = at + kInstanceDefinition;
        Put<std::uint32_t>(bytes, block, counterBlock);
        for (std::uint32_t c = 0; c < counters; ++c) {
            const bool idle = object.counterIndices[c] == 6;
            Put<std::int64_t>(bytes, block + kCounterBlockHeader + c * 8,
                              idle ? object.idleCounters[i] : 0x5A5A5A5A5A5A5A5ALL);
        }
    }
    return bytes;
}

}  // namespace

std::vector<std::uint8_t> PerformanceBlockBytes(const SimPerformanceBlock& block) {
    std::vector<std::uint8_t> bytes(kBlockHeader);
    std::memcpy(bytes.data(), u"PERF", 8);
    Put<std::uint32_t>(bytes, 8, 1);  // little endian
    Put<std::uint32_t>(bytes, 24, kBlockHeader);
    Put<std::uint32_t>(bytes, 28, static_cast<std::uint32_t>(block.objects.size()));
    for (std::size_t i = 0; i < block.systemTime.size(); ++i) {
        Put<std::uint16_t>(bytes, 36 + 2 * i, block.systemTime[i]);
    }
    for (const SimPerformanceObject& object : block.objects) {
        const std::vector<std::uint8_t> objectBytes = ObjectBytes(object);
        bytes.insert(bytes.end(), objectBytes.begin(), objectBytes.end());
    }
    Put<std::uint32_t>(bytes, 20, static_cast<std::uint32_t>(bytes.size()));
    return bytes;
}

}  // namespace kxp::sim
