#include "sysinfo/TSystemData.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "platform/Trace.h"
#include "sysinfo/CpuUsageCounters.h"
#include "sysinfo/ProcessWatch.h"

namespace kxp {
namespace {

using platform::kStatusInfoLengthMismatch;
using platform::kStatusSuccess;

constexpr std::uint32_t kInitialBufferSize = 32768;
constexpr std::uint32_t kBufferGrowStep = 8192;
// A query that reports a length mismatch for ever would otherwise grow the buffer for ever, with
// the service thread stuck in the loop; no real answer comes near this size.
constexpr std::size_t kMaxQueryBuffer = std::size_t{64} << 20;
constexpr std::uint32_t kMinScanIntervalMs = 500;
constexpr std::size_t kProcessorRecordsFirstTry = 64;
constexpr std::size_t kMaxProcessorRecords = 4096;
constexpr std::int32_t kIdle = 100;

struct QueryResult {
    std::uint32_t status;
    std::uint32_t validLength;  // bytes the query says it wrote, within the buffer
};

// Queries one class into buffer, growing it by 8192 bytes at each length mismatch. Past the cap
// the query is abandoned: the buffer gets back its size from before the call, and the status
// stays the mismatch, so the caller keeps its previous figures.
QueryResult QueryGrowing(platform::SystemInformation& system, std::uint32_t informationClass,
                         std::vector<std::uint8_t>& buffer) {
    const std::size_t originalSize = buffer.size();
    std::uint32_t returned = 0;
    std::uint32_t status = system.NtQuerySystemInformation(
        informationClass, buffer.data(), static_cast<std::uint32_t>(buffer.size()), &returned);
    while (status == kStatusInfoLengthMismatch) {
        if (buffer.size() + kBufferGrowStep > kMaxQueryBuffer) {
            buffer = std::vector<std::uint8_t>(originalSize);
            return {status, 0};
        }
        buffer.resize(buffer.size() + kBufferGrowStep);
        returned = 0;
        status = system.NtQuerySystemInformation(
            informationClass, buffer.data(), static_cast<std::uint32_t>(buffer.size()), &returned);
    }
    return {status, static_cast<std::uint32_t>(std::min<std::size_t>(returned, buffer.size()))};
}

// An idle percentage from a busy fraction, ties to even. A fraction a little out of 0 to 1 (the
// counters and the block's time stamp are not taken at one instant) reads as the nearest bound:
// a negative figure would mean "no figure" to every reader.
std::int32_t IdleFromUsage(double usage) {
    return kIdle - static_cast<std::int32_t>(std::nearbyint(std::clamp(usage, 0.0, 1.0) * 100.0));
}

std::int64_t Difference(std::int64_t later, std::int64_t earlier) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(later) -
                                     static_cast<std::uint64_t>(earlier));
}

std::string Figures(const TSystemData& sampler) {
    return "CPU idle: " + std::to_string(sampler.CpuIdleAll) + ", cores " +
           std::to_string(sampler.CpuIdleCore1) + " " + std::to_string(sampler.CpuIdleCore2) + " " +
           std::to_string(sampler.CpuIdleCore3) + " " + std::to_string(sampler.CpuIdleCore4);
}

}  // namespace

TSystemData::TSystemData(platform::Platform& platform, CpuUsageCounters* counters)
    : system_(platform.system),
      clock_(platform.clock),
      windows_(platform.windows),
      security_(platform.security),
      counters_(counters),
      pageFileBufferSize_(kInitialBufferSize) {
    const auto processors = static_cast<std::uint8_t>(system_.NumberOfProcessors());
    ProcessorCount = processors == 0 ? 1 : processors;
}

void TSystemData::UpdateMemory() {
    // The platform call runs outside the lock; only the publication of the new set is guarded.
    platform::MemoryStatusEx status{};
    system_.GlobalMemoryStatusEx(status);

    const auto total = status.ullTotalPhys;
    const auto avail = status.ullAvailPhys;
    std::lock_guard lock(memoryLock_);
    memory_.TotalPhys = static_cast<std::int64_t>(total);
    memory_.AvailPhys = static_cast<std::int64_t>(avail);
    memory_.UsedPhys = static_cast<std::int64_t>(total - avail);
    const std::int64_t usedMB = memory_.UsedPhys / 1024 / 1024;
    memory_.PeakUsedMB = std::max(memory_.PeakUsedMB, usedMB);
    memory_.TotalPageFile = static_cast<std::int64_t>(status.ullTotalPageFile);
    memory_.AvailPageFile = static_cast<std::int64_t>(status.ullAvailPageFile);
}

MemoryFigures TSystemData::Memory() const {
    std::lock_guard lock(memoryLock_);
    return memory_;
}

void TSystemData::UpdatePageFile() {
    // A buffer of its own for each caller: a tray hint on the main thread may refresh the figure
    // while the service thread does.
    std::vector<std::uint8_t> buffer(pageFileBufferSize_.load());
    const QueryResult result = QueryGrowing(system_, platform::kSystemPageFileInformation, buffer);
    pageFileBufferSize_ = static_cast<std::uint32_t>(buffer.size());
    if (result.status != kStatusSuccess) return;
    PageFileInUse = PageFileBytesInUse(std::span(buffer.data(), result.validLength));
}

void TSystemData::UpdateFileCache() {
    // Unchecked: a failed query leaves the record as it was.
    system_.NtQuerySystemInformation(platform::kSystemFileCacheInformation, &CacheInfo,
                                     sizeof CacheInfo, nullptr);
}

void TSystemData::ScanProcesses(bool perProcessor, bool hideUpdateWindows) {
    const bool fromCounters = perProcessor && counters_ != nullptr;
    if (fromCounters) SampleCounterFigures();

    const std::uint32_t t0 = clock_.GetTickCount();
    if (t0 - prevScanTick_ < kMinScanIntervalMs) return;

    std::vector<std::uint8_t> buffer(processBufferSize_);
    const QueryResult result = QueryGrowing(system_, platform::kSystemProcessInformation, buffer);
    processBufferSize_ = static_cast<std::uint32_t>(buffer.size());

    const std::uint32_t t1 = clock_.GetTickCount();
    if (result.status != kStatusSuccess) {
        ShellProcessId = 0;
        InstallerProcessId = 0;
        return;
    }

    std::uint32_t idleSum = 0;
    bool idleRecordSeen = false;
    ProcessFindings found;
    {
        // Holds the window snapshot, if a check takes one, until the walk is over.
        UpdateWindowHider hider(windows_);
        WalkProcessRecords(std::span(buffer.data(), result.validLength),
                           [&](const ProcessRecord& record) {
                               if (!WatchProcess(record, hideUpdateWindows, hider, found)) return;
                               idleRecordSeen = idleRecordSeen || record.nullName;
                               if (record.nullName || NameEquals(record.imageName, "cpuidle.exe")) {
                                   idleSum += static_cast<std::uint32_t>(record.kernelTime) +
                                              static_cast<std::uint32_t>(record.userTime);
                               }
                           });
    }
    ShellProcessId = found.shell;
    InstallerProcessId = found.installer;
    std::optional<std::vector<ProcessorTimes>> processorTimes;
    if (!idleRecordSeen || !fromCounters) processorTimes = QueryProcessorTimes();
    // Wine lists no idle process; without this the machine would always look fully busy.
    if (!idleRecordSeen && processorTimes) {
        for (const ProcessorTimes& times : *processorTimes) {
            idleSum += static_cast<std::uint32_t>(times.idle);
        }
    }

    // Never 0, so neither the division below nor a reader of ElapsedMs divides by zero.
    const std::uint32_t elapsed = std::max<std::uint32_t>(t1 - prevScanTick_, 1);
    if (CpuIdleAll == -1) {
        CpuIdleAll = -2;
    } else {
        CpuIdleAll =
            static_cast<std::int32_t>((idleSum - prevIdleTime_) / 100u / ProcessorCount / elapsed);
        if (!fromCounters) SetFiguresFromProcessorTimes(processorTimes);
        Trace(Figures(*this));
    }
    ElapsedMs = elapsed;
    prevIdleTime_ = idleSum;
    prevScanTick_ = t1;
    if (processorTimes) prevProcessorTimes_ = std::move(*processorTimes);
}

void TSystemData::ResetSampler() {
    prevIdleTime_ = 0;
    PageFileInUse = 0;
    FullScreen = false;
    CpuIdleAll = -1;
    CpuIdleCore1 = CpuIdleCore2 = CpuIdleCore3 = CpuIdleCore4 = -1;
    ElapsedMs = 1000;
}

void TSystemData::SampleCounterFigures() {
    counters_->SampleProcessorCounters();
    CpuIdleCore1 = IdleFromUsage(counters_->QueryProcessorUsage(0));
    if (ProcessorCount <= 1) {
        CpuIdleCore2 = kIdle;
        return;
    }
    CpuIdleCore2 = IdleFromUsage(counters_->QueryProcessorUsage(1));
    CpuIdleCore3 = IdleFromUsage(counters_->QueryProcessorUsage(2));
    CpuIdleCore4 = IdleFromUsage(counters_->QueryProcessorUsage(3));
}

void TSystemData::SetFiguresFromProcessorTimes(
    const std::optional<std::vector<ProcessorTimes>>& times) {
    std::int32_t* const cores[] = {&CpuIdleCore1, &CpuIdleCore2, &CpuIdleCore3, &CpuIdleCore4};
    // Without any per-processor times the machine's own figure is the best there is.
    if (!times || times->empty() || times->size() != prevProcessorTimes_.size()) {
        for (std::int32_t* core : cores) *core = CpuIdleAll;
        return;
    }
    for (std::size_t i = 0; i < std::size(cores); ++i) {
        if (i >= times->size()) {
            *cores[i] = kIdle;
            continue;
        }
        const ProcessorTimes& now = (*times)[i];
        const ProcessorTimes& before = prevProcessorTimes_[i];
        const double total = static_cast<double>(Difference(now.kernel, before.kernel)) +
                             static_cast<double>(Difference(now.user, before.user));
        // A processor that accounted no time since the last scan keeps its figure.
        if (total <= 0) continue;
        const double idle = static_cast<double>(Difference(now.idle, before.idle));
        *cores[i] = IdleFromUsage(1.0 - idle / total);
    }
}

bool TSystemData::WatchProcess(const ProcessRecord& record, bool hideUpdateWindows,
                               UpdateWindowHider& hider, ProcessFindings& found) {
    // Compared as ANSI text; a null name is the empty string.
    const std::string name = AnsiName(record.imageName);
    if (hideUpdateWindows && AnsiNameEquals(name, "wuauclt.exe")) hider.Hide(record.processId);
    if (AnsiNameEquals(name, "korvanel.exe")) {
        EndProcess(security_, record.processId);
        return false;
    }
    const auto processId = static_cast<std::int32_t>(record.processId);
    // Each match overwrites the one before: the last process in list order wins.
    if (AnsiNameEquals(name, ShellName)) found.shell = processId;
    if (record.imageName.find(u"_INS") != std::u16string::npos) found.installer = processId;
    if (UseAltShell && AnsiNameEquals(name, AltShellName)) found.shell = processId;
    return true;
}

// The per-processor performance records; nothing when the query fails.
std::optional<std::vector<ProcessorTimes>> TSystemData::QueryProcessorTimes() {
    using Record = platform::SystemProcessorPerformanceInformation64;
    std::vector<std::uint8_t> buffer(sizeof(Record) * kProcessorRecordsFirstTry);
    std::uint32_t returned = 0;
    std::uint32_t status = system_.NtQuerySystemInformation(
        platform::kSystemProcessorPerformanceInformation, buffer.data(),
        static_cast<std::uint32_t>(buffer.size()), &returned);
    if (status == kStatusInfoLengthMismatch && returned > buffer.size() &&
        returned <= sizeof(Record) * kMaxProcessorRecords) {
        buffer.assign(returned, 0);
        status = system_.NtQuerySystemInformation(
            platform::kSystemProcessorPerformanceInformation, buffer.data(),
            static_cast<std::uint32_t>(buffer.size()), &returned);
    }
    if (status != kStatusSuccess) return std::nullopt;
    return ReadProcessorTimes(buffer, returned);
}

}  // namespace kxp
