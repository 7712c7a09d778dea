#include "sysinfo/FileCache.h"

#include <cstdio>
#include <span>

#include "platform/NativeRecords.h"
#include "platform/Trace.h"
#include "service/TKorvanelXPService.h"

namespace kxp {
namespace {

constexpr std::int64_t kMB = 1048576;
constexpr std::int32_t kCachePeriod = 10;  // passes between two applications

enum CacheMode : std::int32_t { kCacheAutomatic = 1, kCacheManual = 2 };

struct CacheRow {
    std::int64_t availableAbove;  // the row applies when available memory is more than this
    FileCacheBounds bounds;
};

// One automatic table: its rows tried from the top, then the bounds for less than 20 MB
// available, then those for everything in between.
struct CacheTable {
    std::span<const CacheRow> rows;
    FileCacheBounds scarce;
    FileCacheBounds otherwise;
};

constexpr std::int64_t kScarceBelow = 20 * kMB;
constexpr std::int64_t kSmallMachine = 256 * kMB;   // installed memory at most this
constexpr std::int64_t kMediumMachine = 512 * kMB;  // installed memory at most this

constexpr CacheRow kBasicRows[] = {
    {200 * kMB, {150 * kMB, 180 * kMB}},
    {100 * kMB, {80 * kMB, 120 * kMB}},
};
constexpr CacheRow kSmallRows[] = {
    {120 * kMB, {70 * kMB, 70 * kMB}},
    {60 * kMB, {50 * kMB, 50 * kMB}},
};
constexpr CacheRow kMediumRows[] = {
    {300 * kMB, {140 * kMB, 200 * kMB}},
    {200 * kMB, {110 * kMB, 150 * kMB}},
    {100 * kMB, {90 * kMB, 90 * kMB}},
};
constexpr CacheRow kLargeRows[] = {
    {500 * kMB, {300 * kMB, 400 * kMB}}, {400 * kMB, {200 * kMB, 300 * kMB}},
    {300 * kMB, {150 * kMB, 220 * kMB}}, {200 * kMB, {110 * kMB, 150 * kMB}},
    {100 * kMB, {90 * kMB, 90 * kMB}},
};

constexpr CacheTable kBasicTable{kBasicRows, {4 * kMB, 8 * kMB}, {40 * kMB, 70 * kMB}};
constexpr CacheTable kSmallTable{kSmallRows, {4 * kMB, 12 * kMB}, {16 * kMB, 40 * kMB}};
constexpr CacheTable kMediumTable{kMediumRows, {4 * kMB, 12 * kMB}, {40 * kMB, 70 * kMB}};
constexpr CacheTable kLargeTable{kLargeRows, {4 * kMB, 12 * kMB}, {40 * kMB, 70 * kMB}};

FileCacheBounds Lookup(const CacheTable& table, std::int64_t availPhys) {
    for (const CacheRow& row : table.rows) {
        if (availPhys > row.availableAbove) return row.bounds;
    }
    return availPhys < kScarceBelow ? table.scarce : table.otherwise;
}

std::string StatusText(std::uint32_t status) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(status));
    return text;
}

}  // namespace

FileCacheBounds AutomaticFileCacheBounds(bool advanced, std::int64_t totalPhys,
                                         std::int64_t availPhys) {
    if (!advanced) return Lookup(kBasicTable, availPhys);
    if (totalPhys <= kSmallMachine) return Lookup(kSmallTable, availPhys);
    if (totalPhys <= kMediumMachine) return Lookup(kMediumTable, availPhys);
    return Lookup(kLargeTable, availPhys);
}

void TKorvanelXPService::SetFileCache(std::int64_t minimum, std::int64_t maximum) {
    // A negative size would reach the system as a huge unsigned one: nothing is sent, and the
    // system keeps the bounds it has.
    if (minimum < 0 || maximum < 0) {
        Trace("SetFileCache refused " + std::to_string(minimum) + " " + std::to_string(maximum));
        return;
    }
    auto& record = SystemData->CacheInfo;
    record.MinimumWorkingSet = static_cast<std::uint64_t>(minimum);
    record.MaximumWorkingSet = static_cast<std::uint64_t>(maximum);
    // The status does not change what the service does: the next application tries again.
    const std::uint32_t status = platform_.system.NtSetSystemInformation(
        platform::kSystemFileCacheInformation, &record, sizeof record);
    Trace("SetFileCache " + std::to_string(minimum) + " " + std::to_string(maximum) + " " +
          StatusText(status));
}

void TKorvanelXPService::AdjustFileCache() {
    // The cache fields of the options are written on this thread only: read without the lock.
    const std::int32_t mode = LocalOptions.Cache;
    if (mode <= 0) return;
    if (CacheCounter >= kCachePeriod) {
        CacheCounter = 0;
        if (mode == kCacheAutomatic) {
            if (!MemorySampledThisPass) SystemData->UpdateMemory();
            MemorySampledThisPass = true;
            MemoryAge = 0;
            const MemoryFigures memory = SystemData->Memory();
            const FileCacheBounds bounds =
                AutomaticFileCacheBounds(LocalOptions.AdvCache, memory.TotalPhys, memory.AvailPhys);
            SetFileCache(bounds.Minimum, bounds.Maximum);
        } else if (mode == kCacheManual) {
            SetFileCache(LocalOptions.CacheMax, LocalOptions.CacheMax);
        }
    }
    ++CacheCounter;
}

}  // namespace kxp
