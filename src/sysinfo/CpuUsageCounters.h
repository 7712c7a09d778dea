// The counter reader: per-processor CPU load from the "Processor" object of the performance data.
// Two successive readings give each processor instance's busy fraction. Service thread only.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/Platform.h"
#include "platform/RegistryKey.h"
#include "sysinfo/PerformanceDataWalk.h"

namespace kxp {

class CpuUsageCounters {
  public:
    CpuUsageCounters(platform::Registry& registry, platform::SystemInformation& system);
    ~CpuUsageCounters() { StopCounterUnit(); }
    CpuUsageCounters(const CpuUsageCounters&) = delete;
    CpuUsageCounters& operator=(const CpuUsageCounters&) = delete;

    // Module start and end. Until a start succeeds, every operation below throws the start's
    // error (kNoWindowsVersion).
    void StartCounterUnit();
    void StopCounterUnit();

    // 1 on the non-NT family; else the instance count, taking a first reading if it is unknown.
    std::int32_t QueryProcessorCount();
    // Takes a new reading; throws CounterError.
    void SampleProcessorCounters();
    // The busy fraction of an instance between the last two readings, not clamped: 0.0 for an
    // instance the machine does not have and before there are two readings.
    double QueryProcessorUsage(std::int32_t index);

    std::uint32_t PerfBufferSize() const { return static_cast<std::uint32_t>(perfBuffer_.size()); }

  private:
    bool IsNtFamily() const;
    std::size_t QueryPerformanceBlock();
    void SampleNt();
    void SampleNonNt();
    static std::optional<std::uint32_t> ReadNonNtUsage(const RegistryKey& key);

    platform::Registry& registry_;
    platform::SystemInformation& system_;
    std::optional<bool> isNtFamily_;  // set by a successful start

    std::vector<std::uint8_t> perfBuffer_;
    std::int32_t instanceCount_ = -1;  // fixed by the first reading
    std::vector<std::int64_t> current_;
    std::vector<std::int64_t> previous_;
    std::int64_t currentTime_ = 0;  // 100 ns units
    std::int64_t previousTime_ = 0;

    // The statistics session of the non-NT family.
    bool started_ = false;
    RegistryKey statistics_;
    std::uint32_t usage_ = 0;  // percent
};

}  // namespace kxp
