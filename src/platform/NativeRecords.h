// The records of NtQuerySystemInformation as the x64 kernel lays them out. The simulated machine
// writes the same bytes, so the code that walks them is exercised exactly as on Windows.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kxp::platform {

inline constexpr std::uint32_t kStatusSuccess = 0x00000000;
inline constexpr std::uint32_t kStatusNotImplemented = 0xC0000002;
inline constexpr std::uint32_t kStatusInvalidInfoClass = 0xC0000003;
inline constexpr std::uint32_t kStatusInfoLengthMismatch = 0xC0000004;

inline constexpr std::uint32_t kSystemProcessInformation = 5;
inline constexpr std::uint32_t kSystemProcessorPerformanceInformation = 8;
inline constexpr std::uint32_t kSystemPageFileInformation = 18;
inline constexpr std::uint32_t kSystemFileCacheInformation = 21;

struct UnicodeString64 {
    std::uint16_t Length;  // bytes, without a terminator
    std::uint16_t MaximumLength;
    std::uint32_t Padding;
    std::uint64_t Buffer;  // address of UTF-16 text
};

// SYSTEM_PROCESS_INFORMATION without its trailing thread records.
struct SystemProcessInformation64 {
    std::uint32_t NextEntryOffset;
    std::uint32_t NumberOfThreads;
    std::int64_t WorkingSetPrivateSize;
    std::uint32_t HardFaultCount;
    std::uint32_t NumberOfThreadsHighWatermark;
    std::uint64_t CycleTime;
    std::int64_t CreateTime;
    std::int64_t UserTime;
    std::int64_t KernelTime;
    UnicodeString64 ImageName;
    std::int32_t BasePriority;
    std::uint32_t Padding1;
    std::uint64_t UniqueProcessId;
    std::uint64_t InheritedFromUniqueProcessId;
    std::uint32_t HandleCount;
    std::uint32_t SessionId;
    std::uint64_t UniqueProcessKey;
    std::uint64_t PeakVirtualSize;
    std::uint64_t VirtualSize;
    std::uint32_t PageFaultCount;
    std::uint32_t Padding2;
    std::uint64_t PeakWorkingSetSize;
    std::uint64_t WorkingSetSize;
    std::uint64_t QuotaPeakPagedPoolUsage;
    std::uint64_t QuotaPagedPoolUsage;
    std::uint64_t QuotaPeakNonPagedPoolUsage;
    std::uint64_t QuotaNonPagedPoolUsage;
    std::uint64_t PagefileUsage;
    std::uint64_t PeakPagefileUsage;
    std::uint64_t PrivatePageCount;
    std::int64_t ReadOperationCount;
    std::int64_t WriteOperationCount;
    std::int64_t OtherOperationCount;
    std::int64_t ReadTransferCount;
    std::int64_t WriteTransferCount;
    std::int64_t OtherTransferCount;
};
static_assert(sizeof(SystemProcessInformation64) == 256);
static_assert(offsetof(SystemProcessInformation64, UserTime) == 40);
static_assert(offsetof(SystemProcessInformation64, KernelTime) == 48);
static_assert(offsetof(SystemProcessInformation64, ImageName) == 56);
static_assert(offsetof(SystemProcessInformation64, UniqueProcessId) == 80);

// SYSTEM_PROCESSOR_PERFORMANCE_INFORMATION, one per processor.
struct SystemProcessorPerformanceInformation64 {
    std::int64_t IdleTime;
    std::int64_t KernelTime;
    std::int64_t UserTime;
    std::int64_t DpcTime;
    std::int64_t InterruptTime;
    std::uint32_t InterruptCount;
    std::uint32_t Padding;
};
static_assert(sizeof(SystemProcessorPerformanceInformation64) == 48);

// SYSTEM_PAGEFILE_INFORMATION.
struct SystemPageFileInformation64 {
    std::uint32_t NextEntryOffset;
    std::uint32_t TotalSize;   // pages
    std::uint32_t TotalInUse;  // pages
    std::uint32_t PeakUsage;   // pages
    UnicodeString64 PageFileName;
};
static_assert(sizeof(SystemPageFileInformation64) == 32);

// SYSTEM_FILECACHE_INFORMATION.
struct SystemFileCacheInformation64 {
    std::uint64_t CurrentSize;
    std::uint64_t PeakSize;
    std::uint32_t PageFaultCount;
    std::uint32_t Padding;
    std::uint64_t MinimumWorkingSet;
    std::uint64_t MaximumWorkingSet;
    std::uint64_t CurrentSizeIncludingTransitionInPages;
    std::uint64_t PeakSizeIncludingTransitionInPages;
    std::uint32_t TransitionRePurposeCount;
    std::uint32_t Flags;
};
static_assert(sizeof(SystemFileCacheInformation64) == 64);
static_assert(offsetof(SystemFileCacheInformation64, MinimumWorkingSet) == 24);

}  // namespace kxp::platform
