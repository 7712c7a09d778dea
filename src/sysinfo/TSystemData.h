// The service's single sampler of machine state: memory, paging file, file cache, CPU idle figures
// and the results of the process scan. Figures change only when an update is called.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/NativeRecords.h"
#include "platform/Platform.h"
#include "sysinfo/NativeRecordWalk.h"

namespace kxp {

struct ProcessRecord;
class UpdateWindowHider;

// One consistent set of memory figures, in bytes (PeakUsedMB in whole MB).
struct MemoryFigures {
    std::int64_t TotalPhys = 0;
    std::int64_t AvailPhys = 0;
    std::int64_t UsedPhys = 0;
    std::int64_t PeakUsedMB = 0;
    std::int64_t TotalPageFile = 0;
    std::int64_t AvailPageFile = 0;
};

class CpuUsageCounters;

class TSystemData {
  public:
    // The per-processor figures come from counters while the scan is asked for them; without
    // counters, or when it is not, from the native per-processor times.
    explicit TSystemData(platform::Platform& platform, CpuUsageCounters* counters = nullptr);

    // May run on the control thread (code 129) while the service thread reads: the memory figures
    // are published as one set under a lock, so no reader sees half of an update.
    void UpdateMemory();
    MemoryFigures Memory() const;

    void UpdatePageFile();
    void UpdateFileCache();
    void ScanProcesses(bool perProcessor, bool hideUpdateWindows);
    void CheckFullScreen();
    void ResetSampler();

    // Bytes; 64-bit so that it does not wrap at 4 GB. Any thread may update it.
    std::atomic<std::uint64_t> PageFileInUse{0};

    // Fields below are the service thread's own.
    platform::SystemFileCacheInformation64 CacheInfo{};
    bool FullScreen = false;
    std::string ShellName;
    std::string AltShellName;
    bool UseAltShell = false;
    // Set once per full scan, when the walk is complete: a thread that reads the shell process
    // between scans (an impersonation off the service thread) never sees a half-walked list.
    std::atomic<std::int32_t> ShellProcessId{0};
    std::atomic<std::int32_t> InstallerProcessId{0};
    std::uint8_t ProcessorCount = 1;
    std::int32_t CpuIdleAll = -1;
    std::int32_t CpuIdleCore1 = 0;
    std::int32_t CpuIdleCore2 = 0;
    std::int32_t CpuIdleCore3 = 0;
    std::int32_t CpuIdleCore4 = 0;
    std::uint32_t ElapsedMs = 1000;

    std::uint32_t PageFileBufferSize() const { return pageFileBufferSize_.load(); }
    std::uint32_t ProcessBufferSize() const { return processBufferSize_; }

  private:
    // Step 1 of the scan: the four processor figures from the counters. Throws CounterError.
    void SampleCounterFigures();
    // Without counters: each processor's idle share since the previous full scan; processors the
    // machine does not have read 100.
    void SetFiguresFromProcessorTimes(const std::optional<std::vector<ProcessorTimes>>& times);
    std::optional<std::vector<ProcessorTimes>> QueryProcessorTimes();
    struct ProcessFindings {
        std::int32_t shell = 0;
        std::int32_t installer = 0;
    };
    // The checks on one record of the process list, in list order; false when the record's times
    // must not count as idle time (a "korvanel.exe", which it ends).
    bool WatchProcess(const ProcessRecord& record, bool hideUpdateWindows, UpdateWindowHider& hider,
                      ProcessFindings& found);

    platform::SystemInformation& system_;
    platform::Clock& clock_;
    platform::Windows& windows_;
    platform::Security& security_;
    CpuUsageCounters* counters_;

    mutable std::mutex memoryLock_;
    MemoryFigures memory_;

    std::atomic<std::uint32_t> pageFileBufferSize_;
    std::uint32_t processBufferSize_ = 32768;
    std::uint32_t prevIdleTime_ = 0;
    std::uint32_t prevScanTick_ = 0;
    std::vector<ProcessorTimes> prevProcessorTimes_;
};

}  // namespace kxp
