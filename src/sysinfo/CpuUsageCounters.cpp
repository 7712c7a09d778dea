#include "sysinfo/CpuUsageCounters.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <utility>

namespace kxp {
namespace {

constexpr std::uint32_t kInitialPerfBuffer = 8192;
constexpr std::uint32_t kPerfBufferStep = 4096;
// A query that answers "more data" for ever would keep the service thread growing the buffer;
// the "Processor" object of the largest machine is a small fraction of this.
constexpr std::size_t kMaxPerfBuffer = std::size_t{8} << 20;
constexpr const char* kProcessorObjectName = "238";

constexpr const char* kStartStatKey = "PerfStats\\StartStat";
constexpr const char* kStatDataKey = "PerfStats\\StatData";
constexpr const char* kStopStatKey = "PerfStats\\StopStat";
constexpr const char* kCpuUsageValue = "KERNEL\\CPUUsage";

// Differences of free-running counters: wrapping, never undefined.
std::int64_t Difference(std::int64_t later, std::int64_t earlier) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(later) -
                                     static_cast<std::uint64_t>(earlier));
}

}  // namespace

CpuUsageCounters::CpuUsageCounters(platform::Registry& registry,
                                   platform::SystemInformation& system)
    : registry_(registry), system_(system) {}

void CpuUsageCounters::StartCounterUnit() {
    instanceCount_ = -1;
    perfBuffer_.assign(kInitialPerfBuffer, 0);
    platform::OsVersionInfoA version;
    if (!system_.GetVersionExA(version)) throw CounterError(texts::kNoWindowsVersion);
    isNtFamily_ = version.dwPlatformId == platform::kVerPlatformWin32Nt;
}

void CpuUsageCounters::StopCounterUnit() {
    if (started_) {
        started_ = false;
        statistics_.Close();
        const auto stop =
            RegistryKey::OpenRead(registry_, platform::RegistryRoot::DynData, kStopStatKey);
        ReadNonNtUsage(stop);  // ends the statistics session; the figure is not used
    }
    perfBuffer_ = {};
}

bool CpuUsageCounters::IsNtFamily() const {
    if (!isNtFamily_) throw CounterError(texts::kNoWindowsVersion);
    return *isNtFamily_;
}

std::int32_t CpuUsageCounters::QueryProcessorCount() {
    if (!IsNtFamily()) return 1;
    if (instanceCount_ < 0) SampleProcessorCounters();
    return instanceCount_;
}

void CpuUsageCounters::SampleProcessorCounters() {
    if (IsNtFamily()) {
        SampleNt();
    } else {
        SampleNonNt();
    }
}

double CpuUsageCounters::QueryProcessorUsage(std::int32_t index) {
    if (!IsNtFamily()) {
        if (index != 0) throw CounterError(texts::kCpuIndexOutOfBounds);
        if (!started_) SampleNonNt();
        return usage_ / 100.0;
    }
    if (instanceCount_ < 0) SampleNt();
    if (index < 0 || index >= instanceCount_) return 0.0;
    if (currentTime_ == previousTime_) return 0.0;
    const auto idle = static_cast<std::size_t>(index);
    const long double idleTime =
        static_cast<long double>(Difference(current_[idle], previous_[idle]));
    const long double elapsed = static_cast<long double>(Difference(currentTime_, previousTime_));
    return static_cast<double>(1.0L - idleTime / elapsed);
}

// The bytes of the "Processor" object's block the query returned, 0 when it failed.
std::size_t CpuUsageCounters::QueryPerformanceBlock() {
    const std::size_t originalSize = perfBuffer_.size();
    std::uint32_t size = static_cast<std::uint32_t>(perfBuffer_.size());
    std::uint32_t status =
        registry_.QueryPerformanceData(kProcessorObjectName, perfBuffer_.data(), size);
    while (status == platform::kErrorMoreData) {
        if (perfBuffer_.size() + kPerfBufferStep > kMaxPerfBuffer) {
            perfBuffer_.assign(originalSize, 0);
            return 0;
        }
        perfBuffer_.resize(perfBuffer_.size() + kPerfBufferStep);
        size = static_cast<std::uint32_t>(perfBuffer_.size());
        status = registry_.QueryPerformanceData(kProcessorObjectName, perfBuffer_.data(), size);
    }
    if (status != platform::kErrorSuccess) return 0;
    return std::min<std::size_t>(size, perfBuffer_.size());
}

void CpuUsageCounters::SampleNt() {
    const std::size_t valid = QueryPerformanceBlock();
    // The whole reading is taken before anything changes: a refused block keeps the last one.
    const ProcessorObjectReading reading =
        ReadProcessorObject(std::span(perfBuffer_.data(), valid), instanceCount_);
    if (instanceCount_ < 0) {
        // The first reading is the starting point of the second: no usage from it alone.
        instanceCount_ = reading.objectInstances;
        current_ = reading.idleCounters;
        previous_ = reading.idleCounters;
        currentTime_ = previousTime_ = reading.systemTime;
        return;
    }
    previous_ = std::exchange(current_, reading.idleCounters);
    previousTime_ = std::exchange(currentTime_, reading.systemTime);
}

void CpuUsageCounters::SampleNonNt() {
    if (!started_) {
        {
            const auto start = RegistryKey::OpenWrite(registry_, platform::RegistryRoot::DynData,
                                                      kStartStatKey, false);
            if (!start.IsOpen()) throw CounterError(texts::kCannotStartMonitoring);
            ReadNonNtUsage(start);  // starts the statistics session; the figure is not used
        }
        statistics_ =
            RegistryKey::OpenRead(registry_, platform::RegistryRoot::DynData, kStatDataKey);
        if (!statistics_.IsOpen()) throw CounterError(texts::kCannotReadPerformanceData);
        started_ = true;
    }
    if (const auto usage = ReadNonNtUsage(statistics_)) usage_ = *usage;
}

// The statistics value is a 4-byte percentage; anything else is no figure.
std::optional<std::uint32_t> CpuUsageCounters::ReadNonNtUsage(const RegistryKey& key) {
    std::vector<std::uint8_t> data;
    std::uint32_t usage = 0;
    if (!key.ReadBytes(kCpuUsageValue, data) || data.size() != sizeof usage) return std::nullopt;
    std::memcpy(&usage, data.data(), sizeof usage);
    return usage;
}

}  // namespace kxp
