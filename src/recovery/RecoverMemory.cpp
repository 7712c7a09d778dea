// RecoverMemory: the service takes almost all free memory for a moment, writes every byte of it and
// gives it back, so that the system has to find real pages and other processes lose those they were
// not using. Runs on the service thread, from the main loop only.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include "platform/Trace.h"
#include "recovery/FillBlock.h"
#include "service/TKorvanelXPService.h"

namespace kxp {
namespace {

constexpr std::int64_t kMiB = 1048576;
constexpr std::int64_t kHeadroom = 2 * kMiB;
// The downward search stops once the size would fall below this, or after 1,999 requests.
constexpr std::int64_t kSmallestSearchSize = 1024;
constexpr int kSearchCounterLimit = 2000;
constexpr std::int32_t kSliceMs = 100;
// The fill goes in pieces of this size, each followed by a word to the control manager, so that a
// stop requested while gigabytes are written does not time out.
constexpr std::size_t kFillPieceBytes = std::size_t{256} << 20;
constexpr const char* kBanner =
    "************************************* RecoverMemory *************************************";

// Figures from a failed or odd sample may be anything: their sums wrap instead of overflowing, and
// a size that comes out negative is a request the heap refuses.
std::int64_t WrappingSum(std::int64_t a, std::int64_t b) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) + static_cast<std::uint64_t>(b));
}

std::string MiB(double bytes) {
    char text[32];
    const auto written = std::to_chars(std::begin(text), std::end(text), bytes / 1024 / 1024,
                                       std::chars_format::general, 15);
    return std::string(text, written.ptr);
}

std::string MiB(std::int64_t bytes) {
    return MiB(static_cast<double>(bytes));
}

struct HeapRelease {
    platform::Heap* heap;
    void operator()(void* block) const { heap->HeapFree(block); }
};
using HeapBlock = std::unique_ptr<void, HeapRelease>;

HeapBlock Request(platform::Heap& heap, std::int64_t size) {
    return HeapBlock(heap.HeapAlloc(static_cast<std::uint64_t>(size)), HeapRelease{&heap});
}

// Free memory plus a tenth of the used plus 2 MiB; failing that, free memory plus 2 MiB; failing
// that, free memory and then 1 MiB less at each step. Each step reads the latest sample, which
// code 129 may have renewed from the control thread meanwhile.
HeapBlock RequestBlock(platform::Heap& heap, const TSystemData& sampler, std::int64_t& size) {
    const MemoryFigures figures = sampler.Memory();
    size = WrappingSum(WrappingSum(figures.AvailPhys, figures.UsedPhys / 10), kHeadroom);
    Trace("Getmem: " + MiB(size));
    if (auto block = Request(heap, size)) return block;

    Trace("RecoverMemory except 1");
    size = WrappingSum(sampler.Memory().AvailPhys, kHeadroom);
    Trace("Getmem2: " + MiB(size));
    if (auto block = Request(heap, size)) return block;

    Trace("RecoverMemory except 2");
    size = sampler.Memory().AvailPhys;
    for (int counter = 1;; size -= kMiB) {
        if (auto block = Request(heap, size)) return block;
        ++counter;
        if (counter >= kSearchCounterLimit || size < kSmallestSearchSize + kMiB) {
            return HeapBlock(nullptr, HeapRelease{&heap});
        }
    }
}

void FillInPieces(void* block, std::size_t size, const std::function<void()>& afterPiece) {
    auto* bytes = static_cast<std::uint8_t*>(block);
    for (std::size_t done = 0; done < size;) {
        const std::size_t piece = std::min(kFillPieceBytes, size - done);
        FillBlock(bytes + done, piece);
        done += piece;
        afterPiece();
    }
}

// The block is written, the memory sampled, the block released and sampled again. False when no
// block could be had at all.
bool FillAndRelease(platform::Heap& heap, TSystemData& sampler, std::int64_t before,
                    const std::function<void()>& afterPiece) {
    std::int64_t size = 0;
    HeapBlock block = RequestBlock(heap, sampler, size);
    if (!block) {
        Trace("### no recovery ###");
        return false;
    }
    Trace("### FILLING ###");
    // A block the heap handed out is addressable in full, so its size fits the address space.
    FillInPieces(block.get(), static_cast<std::size_t>(size), afterPiece);

    sampler.UpdateMemory();
    Trace("RecoverMemory free after fill: " + MiB(sampler.Memory().AvailPhys));
    Trace("### FREEING ###");
    block.reset();
    sampler.UpdateMemory();
    const std::int64_t after = sampler.Memory().AvailPhys;
    Trace("RecoverMemory free after free: " + MiB(after));

    if (after > before) {
        const std::uint64_t gained =
            static_cast<std::uint64_t>(after) - static_cast<std::uint64_t>(before);
        Trace("RecoverMemory recovered: " + MiB(static_cast<double>(gained)));
    } else {
        Trace("### nothing recovered ###");
    }
    return true;
}

}  // namespace

void TKorvanelXPService::RecoverMemory() {
    Trace(kBanner);
    // The icons restored at the end are the ones made busy here, even if a quiet request arrives
    // while the recovery runs.
    const bool keepIcons = KeepIconsOnRecover;
    if (!keepIcons) ShowBusyIcons();
    SendToSettings(kSettingsRecoveryStarting, 0);
    SleepSliced(kSliceMs);
    framework_.ProcessRequests();
    const std::int64_t before = SystemData->Memory().AvailPhys;
    Trace("RecoverMemory before: " + MiB(before));

    const auto closing = [this, keepIcons] {
        Trace("RecoverMemory finally");
        SleepSliced(kSliceMs);
        if (!keepIcons) RestoreIcons();
        framework_.ProcessRequests();
        platform_.process.TrimWorkingSet();
        SleepSliced(kSliceMs);
        SendToSettings(kSettingsRecoveryFinished, 0);
        SleepSliced(2 * kSliceMs);
        PassesSinceRecovery = 0;
        KeepIconsOnRecover = false;
        Trace("+finally");
    };
    bool filled = false;
    try {
        filled = FillAndRelease(platform_.heap, *SystemData, before,
                                [this] { framework_.ReportStopProgress(); });
    } catch (...) {
        closing();
        throw;
    }
    closing();
    if (filled) Trace("+RecoverMemory");
}

void TKorvanelXPService::SleepSliced(std::int32_t milliseconds) {
    for (std::int32_t slices = milliseconds / kSliceMs; slices > 0; --slices) {
        platform_.clock.Sleep(kSliceMs);
        framework_.ProcessRequests();
        if (framework_.Terminated() || QuitRequested || SendPeakRequested) return;
    }
}

void TKorvanelXPService::miRecoverRamClick() {
    RecoverRequested = true;
}

}  // namespace kxp
