#include <algorithm>
#include <cstring>

#include "platform/sim/SimNativeImages.h"
#include "platform/sim/SimServices.h"

namespace kxp::sim::detail {
namespace {

constexpr std::uint32_t kStatusAccessViolation = 0xC0000005;

// Serves a variable-length answer the way the kernel does: the needed size is always reported,
// and a buffer too small for it gets the length-mismatch status and no data.
std::uint32_t ServeImage(const SimRawProcessBuffer& image, void* buffer, std::uint32_t length,
                         std::uint32_t* returnLength) {
    const auto needed = static_cast<std::uint32_t>(image.bytes.size());
    if (returnLength != nullptr) *returnLength = needed;
    if (length < needed) return platform::kStatusInfoLengthMismatch;
    if (needed != 0 && buffer == nullptr) return kStatusAccessViolation;
    PlaceImage(image, static_cast<std::uint8_t*>(buffer));
    return platform::kStatusSuccess;
}

SimRawProcessBuffer ProcessorImage(const SimState& state) {
    std::vector<SimProcessorTimes> times = state.processorTimes;
    if (times.empty()) times.resize(std::max<std::uint32_t>(state.processorCount, 1));
    SimRawProcessBuffer image;
    for (const SimProcessorTimes& processor : times) {
        platform::SystemProcessorPerformanceInformation64 record{};
        record.IdleTime = processor.idle;
        record.KernelTime = processor.kernel;
        record.UserTime = processor.user;
        const std::size_t start = image.bytes.size();
        image.bytes.resize(start + sizeof record);
        std::memcpy(image.bytes.data() + start, &record, sizeof record);
    }
    return image;
}

}  // namespace

bool SimSystemInformation::GlobalMemoryStatusEx(platform::MemoryStatusEx& status) {
    if (status.dwLength != sizeof(platform::MemoryStatusEx)) return false;
    std::lock_guard lock(state_.mutex);
    status = state_.memory;
    return true;
}

std::uint32_t SimSystemInformation::NumberOfProcessors() {
    std::lock_guard lock(state_.mutex);
    return state_.processorCount;
}

std::uint32_t SimSystemInformation::NtQuerySystemInformation(std::uint32_t informationClass,
                                                             void* buffer, std::uint32_t length,
                                                             std::uint32_t* returnLength) {
    std::lock_guard lock(state_.mutex);
    state_.queryLengths[informationClass].push_back(length);
    if (auto failure = state_.failures.find(informationClass); failure != state_.failures.end()) {
        if (returnLength != nullptr) *returnLength = 0;
        return failure->second;
    }
    switch (informationClass) {
        case platform::kSystemProcessInformation:
            return ServeImage(
                state_.rawProcesses ? *state_.rawProcesses : ProcessImage(state_.processes), buffer,
                length, returnLength);
        case platform::kSystemProcessorPerformanceInformation:
            return ServeImage(ProcessorImage(state_), buffer, length, returnLength);
        case platform::kSystemPageFileInformation:
            if (!state_.pageFiles) return platform::kStatusInvalidInfoClass;
            return ServeImage(PageFileImage(*state_.pageFiles), buffer, length, returnLength);
        case platform::kSystemFileCacheInformation: {
            // A fixed-size record: a longer buffer is fine, a shorter one is refused.
            SimRawProcessBuffer image;
            image.bytes.resize(sizeof state_.fileCache);
            std::memcpy(image.bytes.data(), &state_.fileCache, sizeof state_.fileCache);
            return ServeImage(image, buffer, length, returnLength);
        }
        default:
            return platform::kStatusInvalidInfoClass;
    }
}

std::uint32_t SimSystemInformation::NtSetSystemInformation(std::uint32_t informationClass,
                                                           void* buffer, std::uint32_t length) {
    std::lock_guard lock(state_.mutex);
    if (informationClass != platform::kSystemFileCacheInformation) {
        return platform::kStatusInvalidInfoClass;
    }
    if (auto failure = state_.failures.find(informationClass); failure != state_.failures.end()) {
        return failure->second;
    }
    platform::SystemFileCacheInformation64 record{};
    if (length < sizeof record) return platform::kStatusInfoLengthMismatch;
    if (buffer == nullptr) return kStatusAccessViolation;
    std::memcpy(&record, buffer, sizeof record);
    state_.lastFileCacheSet = record;
    ++state_.fileCacheSetCount;
    return platform::kStatusSuccess;
}

bool SimSystemInformation::GetVersionExA(platform::OsVersionInfoA& info) {
    std::lock_guard lock(state_.mutex);
    if (state_.versionQueryFails || info.dwOSVersionInfoSize != sizeof info) return false;
    info.dwMajorVersion = 6;
    info.dwMinorVersion = 1;
    info.dwBuildNumber = 7601;
    info.dwPlatformId = state_.platformId;
    return true;
}

}  // namespace kxp::sim::detail
