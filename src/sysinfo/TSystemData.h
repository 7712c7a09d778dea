// The service's single sampler of machine state: memory, paging file, file cache, CPU idle figures
// and the results of the process scan. Figures change only when an update is called.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/NativeRecords.h"
#include "platform/Platform.h"

namespace kxp {

// One consistent set of memory figures, in bytes (PeakUsedMB in whole MB).
struct MemoryFigures {
    std::int64_t TotalPhys = 0;
    std::int64_t AvailPhys = 0;
    std::int64_t UsedPhys = 0;
    std::int64_t PeakUsedMB = 0;
    std::int64_t TotalPageFile = 0;
    std::int64_t AvailPageFile = 0;
};

class TSystemData {
  public:
    TSystemData(platform::SystemInformation& system, platform::Clock& clock);

    // May run on the control thread (code 129) while the service thread reads: the memory figures
    // are published as one set under a lock, so no reader sees half of an update.
    void UpdateMemory();
    MemoryFigures Memory() const;

    void UpdatePageFile();
    void UpdateFileCache();
    void ScanProcesses(bool perProcessor, bool hideUpdateWindows);
    void ResetSampler();

    // Fields below are the service thread's own.
    platform::SystemFileCacheInformation64 CacheInfo{};
    std::uint64_t PageFileInUse = 0;  // bytes; 64-bit so that it does not wrap at 4 GB
    bool FullScreen = false;
    std::string ShellName;
    std::string AltShellName;
    bool UseAltShell = false;
    std::int32_t ShellProcessId = 0;
    std::int32_t InstallerProcessId = 0;
    std::uint8_t ProcessorCount = 1;
    std::int32_t CpuIdleAll = -1;
    std::int32_t CpuIdleCore1 = 0;
    std::int32_t CpuIdleCore2 = 0;
    std::int32_t CpuIdleCore3 = 0;
    std::int32_t CpuIdleCore4 = 0;
    std::uint32_t ElapsedMs = 1000;

    std::uint32_t PageFileBufferSize() const {
        return static_cast<std::uint32_t>(pageFileBuffer_.size());
    }
    std::uint32_t ProcessBufferSize() const { return processBufferSize_; }

  private:
    void SamplePerProcessorFigures();
    // Looks at one record of the process list; false when the record's times must not count as
    // idle time.
    bool WatchProcess(std::u16string_view imageName, std::uint32_t processId);
    std::uint32_t ProcessorIdleTime();

    platform::SystemInformation& system_;
    platform::Clock& clock_;

    mutable std::mutex memoryLock_;
    MemoryFigures memory_;

    std::vector<std::uint8_t> pageFileBuffer_;
    std::uint32_t processBufferSize_ = 32768;
    std::uint32_t prevIdleTime_ = 0;
    std::uint32_t prevScanTick_ = 0;
};

}  // namespace kxp
