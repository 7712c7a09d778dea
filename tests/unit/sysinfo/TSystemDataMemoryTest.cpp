#include <atomic>
#include <thread>
#include <vector>

#include "SamplerFixture.h"

namespace kxp::testing {
namespace {

constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;

TEST_F(SamplerTest, MemoryFiguresAreZeroUntilTheFirstUpdate) {
    machine.SetMemory(8 * kGiB, 3 * kGiB, 12 * kGiB, 5 * kGiB);
    const MemoryFigures figures = Sampler().Memory();
    EXPECT_EQ(figures.TotalPhys, 0);
    EXPECT_EQ(figures.PeakUsedMB, 0);
}

TEST_F(SamplerTest, UpdateMemoryPublishesTheMachineFigures) {
    machine.SetMemory(8 * kGiB, 3 * kGiB, 12 * kGiB, 5 * kGiB);
    Sampler().UpdateMemory();

    const MemoryFigures figures = Sampler().Memory();
    EXPECT_EQ(figures.TotalPhys, static_cast<std::int64_t>(8 * kGiB));
    EXPECT_EQ(figures.AvailPhys, static_cast<std::int64_t>(3 * kGiB));
    EXPECT_EQ(figures.UsedPhys, static_cast<std::int64_t>(5 * kGiB));
    EXPECT_EQ(figures.PeakUsedMB, 5 * 1024);
    EXPECT_EQ(figures.TotalPageFile, static_cast<std::int64_t>(12 * kGiB));
    EXPECT_EQ(figures.AvailPageFile, static_cast<std::int64_t>(5 * kGiB));
}

struct PeakCase {
    std::uint64_t usedBytes;
    std::int64_t expectedMB;
};

void PrintTo(const PeakCase& c, std::ostream* out) {
    *out << c.usedBytes << " bytes used -> " << c.expectedMB << " MB";
}

class PeakTest : public SamplerTest, public ::testing::WithParamInterface<PeakCase> {};

TEST_P(PeakTest, PeakIsWholeMegabytesOfUsedMemory) {
    machine.SetMemory(4 * kGiB, 4 * kGiB - GetParam().usedBytes, 0, 0);
    Sampler().UpdateMemory();
    EXPECT_EQ(Sampler().Memory().PeakUsedMB, GetParam().expectedMB);
}

INSTANTIATE_TEST_SUITE_P(Boundaries, PeakTest,
                         ::testing::Values(PeakCase{0, 0}, PeakCase{1048575, 0},
                                           PeakCase{1048576, 1}, PeakCase{2097151, 1},
                                           PeakCase{2097152, 2}));

TEST_F(SamplerTest, PeakIsNeverLowered) {
    machine.SetMemory(4 * kGiB, 1 * kGiB, 0, 0);
    Sampler().UpdateMemory();
    machine.SetMemory(4 * kGiB, 3 * kGiB, 0, 0);
    Sampler().UpdateMemory();

    EXPECT_EQ(Sampler().Memory().UsedPhys, static_cast<std::int64_t>(1 * kGiB));
    EXPECT_EQ(Sampler().Memory().PeakUsedMB, 3 * 1024);
}

TEST_F(SamplerTest, ResetSamplerKeepsTheMemoryFigures) {
    machine.SetMemory(4 * kGiB, 1 * kGiB, 0, 0);
    Sampler().UpdateMemory();
    Sampler().ResetSampler();

    EXPECT_EQ(Sampler().Memory().UsedPhys, static_cast<std::int64_t>(3 * kGiB));
    EXPECT_EQ(Sampler().Memory().PeakUsedMB, 3 * 1024);
}

TEST_F(SamplerTest, ReadersSeeOnlyWholeMemoryUpdatesFromAnotherThread) {
    TSystemData& sampler = Sampler();
    std::atomic<bool> done{false};
    std::thread updater([&] {
        for (std::uint64_t i = 0; i < 2000; ++i) {
            machine.SetMemory((i + 2) * kGiB, (i + 1) * kGiB, (i + 3) * kGiB, i * kGiB);
            sampler.UpdateMemory();
        }
        done = true;
    });
    // Every set the machine gives uses 1 GiB of RAM and 3 GiB of commit; a torn copy would not.
    int reads = 0;
    int torn = 0;
    while (!done || reads == 0) {
        const MemoryFigures figures = sampler.Memory();
        const bool whole =
            figures.TotalPhys == 0 ||
            (figures.UsedPhys == static_cast<std::int64_t>(kGiB) &&
             figures.TotalPhys - figures.AvailPhys == figures.UsedPhys &&
             figures.TotalPageFile - figures.AvailPageFile == static_cast<std::int64_t>(3 * kGiB));
        torn += whole ? 0 : 1;
        ++reads;
    }
    updater.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(sampler.Memory().TotalPhys, static_cast<std::int64_t>(2001 * kGiB));
}

TEST_F(SamplerTest, PageFileInUseSumsEveryPagingFile) {
    machine.SetPageFiles({{1000, 100}, {2000, 200}, {3000, 300}});
    Sampler().UpdatePageFile();
    EXPECT_EQ(Sampler().PageFileInUse, 600u * 4096u);
}

TEST_F(SamplerTest, PageFileInUseDoesNotWrapAt4GB) {
    machine.SetPageFiles({{1'000'000, 700'000}, {1'000'000, 700'000}});
    Sampler().UpdatePageFile();
    EXPECT_EQ(Sampler().PageFileInUse, std::uint64_t{1'400'000} * 4096);
}

TEST_F(SamplerTest, FailedPageFileQueryKeepsThePreviousValue) {
    machine.SetPageFiles({{1000, 250}});
    Sampler().UpdatePageFile();
    machine.FailQuery(platform::kSystemPageFileInformation, 0xC0000001);
    machine.SetPageFiles({{1000, 999}});
    Sampler().UpdatePageFile();
    EXPECT_EQ(Sampler().PageFileInUse, 250u * 4096u);
}

TEST_F(SamplerTest, NoPagingFileQueryLeavesZero) {
    Sampler().UpdatePageFile();  // the machine answers "invalid class", as Wine does
    EXPECT_EQ(Sampler().PageFileInUse, 0u);
    EXPECT_EQ(Sampler().PageFileBufferSize(), 32768u);
}

TEST_F(SamplerTest, PageFileBufferGrowsIn8192ByteStepsAndKeepsItsSize) {
    std::vector<sim::SimPageFile> pageFiles(500, sim::SimPageFile{100, 1});
    machine.SetPageFiles(pageFiles);

    Sampler().UpdatePageFile();
    EXPECT_EQ(Sampler().PageFileInUse, 500u * 4096u);
    EXPECT_EQ(Sampler().PageFileBufferSize(), 40960u);
    Sampler().UpdatePageFile();
    EXPECT_EQ(machine.QueryLengths(platform::kSystemPageFileInformation),
              (std::vector<std::uint32_t>{32768, 40960, 40960}));
}

TEST_F(SamplerTest, UpdateFileCacheReadsTheWholeRecord) {
    platform::SystemFileCacheInformation64 info{};
    info.CurrentSize = 123456789;
    info.MinimumWorkingSet = 100;
    info.MaximumWorkingSet = 4000;
    info.Flags = 5;
    machine.SetFileCache(info);

    Sampler().UpdateFileCache();
    EXPECT_EQ(Sampler().CacheInfo.CurrentSize, 123456789u);
    EXPECT_EQ(Sampler().CacheInfo.MinimumWorkingSet, 100u);
    EXPECT_EQ(Sampler().CacheInfo.MaximumWorkingSet, 4000u);
    EXPECT_EQ(Sampler().CacheInfo.Flags, 5u);
    EXPECT_EQ(machine.QueryLengths(platform::kSystemFileCacheInformation),
              std::vector<std::uint32_t>{64});
}

}  // namespace
}  // namespace kxp::testing
