#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "ServiceFixture.h"

namespace kxp::test {
namespace {

constexpr std::uint64_t kMiB = 1048576;

class FileCacheControlTest : public ServiceTest {
  protected:
    FileCacheControlTest() { sim.SetMemory(512 * kMiB, 250 * kMiB, 1024 * kMiB, 768 * kMiB); }

    // Sets so far at each session check: [0] after the start, [k] after pass k.
    std::vector<int> SetsByPass(int passes) {
        std::vector<int> sets;
        service.onSessionCheck = [this, &sets](int) { sets.push_back(sim.FileCacheSetCount()); };
        QuitAfterPass(passes);
        Run();
        return sets;
    }
    void ExpectLastSet(std::uint64_t minimum, std::uint64_t maximum) {
        const auto set = sim.LastFileCacheSet();
        ASSERT_TRUE(set.has_value());
        EXPECT_EQ(set->MinimumWorkingSet, minimum);
        EXPECT_EQ(set->MaximumWorkingSet, maximum);
    }
};

TEST_F(FileCacheControlTest, ManualModeAppliesInTheFirstPassThenEveryTenthWithNobodyLoggedOn) {
    SetOption("Cache", 2);
    SetOption("CacheMax", 64);
    const auto sets = SetsByPass(25);
    const std::vector<int> expected = {0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2,
                                       2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3};
    EXPECT_EQ(sets, expected);
    ExpectLastSet(64 * kMiB, 64 * kMiB);
}

TEST_F(FileCacheControlTest, ManualModeSetsCacheMaxAsBothBoundsWhateverCacheMin) {
    SetOption("Cache", 2);
    SetOption("CacheMin", 50);
    SetOption("CacheMax", 100);
    QuitAfterPass(1);
    Run();
    ExpectLastSet(104857600, 104857600);
}

TEST_F(FileCacheControlTest, ManualModeWithoutCacheMaxSendsItsUnscaledDefault) {
    SetOption("Cache", 2);
    QuitAfterPass(1);
    Run();
    ExpectLastSet(100, 100);
}

TEST_F(FileCacheControlTest, ACacheMaxOf2048MBOrMoreStaysPositive) {
    SetOption("Cache", 2);
    SetOption("CacheMax", 4096);
    QuitAfterPass(1);
    Run();
    ExpectLastSet(4294967296, 4294967296);
}

TEST_F(FileCacheControlTest, ANegativeCacheMaxSendsNothingAndTheServiceGoesOn) {
    SetOption("Cache", 2);
    SetOption("CacheMax", -5);
    QuitAfterPass(12);
    Run();
    EXPECT_EQ(Passes(), 12);
    EXPECT_EQ(sim.FileCacheSetCount(), 0);
}

TEST_F(FileCacheControlTest, AutomaticModeWithAdvCacheOn512MBAnd250Available) {
    SetOption("Cache", 1);
    SetOption("AdvCache", 1);
    QuitAfterPass(1);
    Run();
    ExpectLastSet(115343360, 157286400);
}

// Auto-recovery off, nobody logged on: nothing else samples memory.
TEST_F(FileCacheControlTest, AutomaticModeFollowsTheMemoryFreeAtTheApplication) {
    SetOption("Cache", 1);
    SetOption("Recover", 0);
    sim.At(DuringPass(5), [this] { sim.SetMemory(512 * kMiB, 50 * kMiB, 1024 * kMiB, 0); });
    QuitAfterPass(11);
    Run();
    ExpectLastSet(41943040, 73400320);
}

// With a user logged on, icon 1 shows RAM Free: its servicing leaves the age at 1 after each
// pass, and the file cache's sample puts it back to 0 in the passes that apply the bounds.
TEST_F(FileCacheControlTest, AutomaticModeCountsAsTheMemorySampleOfThePass) {
    LogOn();
    SetOption("Cache", 1);
    SetOption("Recover", 0);
    std::vector<std::int32_t> memoryAges;
    service.onSessionCheck = [&](int) { memoryAges.push_back(service.MemoryAge); };
    QuitAfterPass(11);
    Run();
    ASSERT_EQ(memoryAges.size(), 12u);
    EXPECT_EQ(memoryAges[1], 0);
    EXPECT_EQ(memoryAges[2], 1);
    EXPECT_EQ(memoryAges[10], 1);
    EXPECT_EQ(memoryAges[11], 0);
}

TEST_F(FileCacheControlTest, AnyOtherModeRunsTheCounterAndSendsNothing) {
    SetOption("Cache", 3);
    std::vector<std::int32_t> counters;
    service.onSessionCheck = [&](int) { counters.push_back(service.CacheCounter); };
    QuitAfterPass(12);
    Run();
    EXPECT_EQ(sim.FileCacheSetCount(), 0);
    ASSERT_EQ(counters.size(), 13u);
    EXPECT_EQ(counters[1], 1);
    EXPECT_EQ(counters[10], 10);
    EXPECT_EQ(counters[11], 1);
}

TEST_F(FileCacheControlTest, ModeOffLeavesTheCounterWhereItIs) {
    SetOption("Cache", 0);
    std::vector<std::int32_t> counters;
    service.onSessionCheck = [&](int) { counters.push_back(service.CacheCounter); };
    QuitAfterPass(3);
    Run();
    EXPECT_EQ(sim.FileCacheSetCount(), 0);
    EXPECT_EQ(counters.back(), 999);
}

TEST_F(FileCacheControlTest, TheRecordGoesBackWithItsQueriedFields) {
    platform::SystemFileCacheInformation64 queried{};
    queried.CurrentSize = 111;
    queried.PageFaultCount = 77;
    queried.Flags = 5;
    sim.SetFileCache(queried);
    LogOn();  // the logon at start refreshes the file cache figures
    SetOption("Cache", 2);
    SetOption("CacheMax", 10);
    QuitAfterPass(1);
    Run();
    const auto set = sim.LastFileCacheSet();
    ASSERT_TRUE(set.has_value());
    EXPECT_EQ(set->CurrentSize, 111u);
    EXPECT_EQ(set->PageFaultCount, 77u);
    EXPECT_EQ(set->Flags, 5u);
    EXPECT_EQ(set->MinimumWorkingSet, 10 * kMiB);
}

TEST_F(FileCacheControlTest, AFailedSetIsTriedAgainTenPassesLater) {
    SetOption("Cache", 2);
    SetOption("CacheMax", 10);
    sim.FailQuery(platform::kSystemFileCacheInformation, 0xC0000061);  // privilege not held
    sim.At(DuringPass(5), [this] {
        sim.FailQuery(platform::kSystemFileCacheInformation, platform::kStatusSuccess);
    });
    const auto sets = SetsByPass(11);
    EXPECT_EQ(sets[10], 0);
    EXPECT_EQ(sets[11], 1);
}

}  // namespace
}  // namespace kxp::test
