// A simulated machine and the sampler on it, with small builders for process tables.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/SimMachine.h"
#include "sysinfo/CpuUsageCounters.h"
#include "sysinfo/TSystemData.h"

namespace kxp::testing {

// One processor fully idle for one millisecond, in the 100 ns units of process times.
inline constexpr std::int64_t kIdleUnitsPerMs = 10'000;

inline sim::SimProcess IdleProcess(std::int64_t kernelTime, std::int64_t userTime = 0) {
    return sim::SimProcess{0, std::nullopt, userTime, kernelTime};
}

inline sim::SimProcess NamedProcess(std::uint32_t pid, std::u16string name,
                                    std::int64_t kernelTime = 0, std::int64_t userTime = 0) {
    return sim::SimProcess{pid, std::move(name), userTime, kernelTime};
}

class SamplerTest : public ::testing::Test {
  protected:
    // A real machine's tick count is far from 0 when the service starts; the first scan is
    // gated against a previous tick of 0.
    static constexpr std::uint32_t kStartTick = 100'000;

    SamplerTest() {
        machine.SetNow(kStartTick);
        counters.StartCounterUnit();
    }

    // With the counter reader, which the per-processor flag puts to use.
    TSystemData& Sampler() {
        if (!sampler_) sampler_.emplace(machine.platform(), &counters);
        return *sampler_;
    }

    // Two scans elapsedMs apart, the idle process going from 0 to idleTime.
    void ScanTwice(std::uint32_t elapsedMs, std::int64_t idleKernel, std::int64_t idleUser,
                   bool perProcessor = false) {
        machine.SetProcesses({IdleProcess(0), NamedProcess(4, u"System")});
        Sampler().ScanProcesses(perProcessor, false);
        machine.platform().clock.Sleep(elapsedMs);
        machine.SetProcesses({IdleProcess(idleKernel, idleUser), NamedProcess(4, u"System")});
        Sampler().ScanProcesses(perProcessor, false);
    }

    // Two scans a second apart with the process table of ScanTwice, the per-processor times going
    // from what is set to after.
    void ScanTwiceWithTimes(std::vector<sim::SimProcessorTimes> after) {
        machine.SetProcesses({IdleProcess(0)});
        Sampler().ScanProcesses(false, false);
        machine.platform().clock.Sleep(1000);
        machine.SetProcessorTimes(std::move(after));
        Sampler().ScanProcesses(false, false);
    }

    sim::SimMachine machine;
    CpuUsageCounters counters{machine.platform().registry, machine.platform().system};

  private:
    std::optional<TSystemData> sampler_;
};

}  // namespace kxp::testing
