// RecoverMemory on the simulated machine, started by control codes: the sizes requested, the
// write of every byte, the notifications, the icons and the waits.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ServiceFixture.h"

namespace kxp::test {
namespace {

using Requests = std::vector<std::uint64_t>;

constexpr std::uint64_t Bytes(double mib) {
    return static_cast<std::uint64_t>(mib * kMiB);
}

class RecoverMemoryTest : public ServiceTest {
  protected:
    RecoverMemoryTest() {
        SetMemory(8, 3);  // 5 MiB used: the first request is 3 + 0.5 + 2 MiB
        sim.SetHeapLimit(64 * kMiB);
        SetOption("Recover", 0);  // only the requests recover
        LogOn();
        settings = AddSettingsWindow();
    }

    // The lines from the first recovery's banner to its last line.
    std::vector<std::string> FirstRecoveryLines() const {
        const auto traces = Traces();
        const auto first = std::find(traces.begin(), traces.end(), kRecoveryBanner);
        const auto last = std::find(first, traces.end(), "+finally");
        if (last == traces.end()) return {first, last};
        const bool closed = last + 1 != traces.end() && *(last + 1) == "+RecoverMemory";
        return {first, last + (closed ? 2 : 1)};
    }

    // The notifications of the recoveries, 3 and 4, in order.
    std::vector<std::uintptr_t> RecoveryNoteCodes() const {
        std::vector<std::uintptr_t> codes;
        for (const auto& note : SettingsMessages(settings)) {
            if (note.code == 3 || note.code == 4) codes.push_back(note.code);
        }
        return codes;
    }

    platform::Handle settings = 0;
};

TEST_F(RecoverMemoryTest, FirstRequestIsFreePlusATenthOfUsedPlusTwoMiBAndEveryByteHolds37) {
    ControlAt(0, RECOVER);
    RunPasses(1);
    EXPECT_EQ(sim.HeapRequests(), Requests{5767168});  // 3 MiB + 524288 + 2 MiB
    const auto releases = sim.HeapReleases();
    ASSERT_EQ(releases.size(), 1u);
    EXPECT_EQ(releases[0].size, 5767168u);
    EXPECT_EQ(releases[0].uniformByte, std::optional<std::uint8_t>(37));
    EXPECT_EQ(sim.HeapBlocksInUse(), 0);
    EXPECT_EQ(sim.HeapBadFrees(), 0);
}

TEST_F(RecoverMemoryTest, SuccessfulRecoveryWritesTheseLinesInThisOrder) {
    // The icons are busy before the settings program hears of the recovery, and back before it
    // hears of the end.
    std::vector<TrayMoment> atNotes;
    std::size_t restoredAtEnd = 0;
    onTrace = [&](const std::string& message) {
        if (message == "Message to settings: 3") {
            atNotes.push_back({1, TrayImage(1), TrayImage(2)});
        }
        if (message == "Message to settings: 4") restoredAtEnd = service.restoredMoments.size();
    };
    ControlAt(0, RECOVER);
    RunPasses(1);
    const std::vector<std::string> expected = {
        kRecoveryBanner,
        "Message to settings: 3",
        "RecoverMemory before: 3",
        "Getmem: 5.5",
        "### FILLING ###",
        "RecoverMemory free after fill: 3",
        "### FREEING ###",
        "RecoverMemory free after free: 3",
        "### nothing recovered ###",
        "RecoverMemory finally",
        "Message to settings: 4",
        "+finally",
        "+RecoverMemory",
    };
    EXPECT_EQ(FirstRecoveryLines(), expected);
    EXPECT_EQ(RecoveryNoteCodes(), (std::vector<std::uintptr_t>{3, 4}));
    EXPECT_EQ(sim.TrimCount(), 3);  // the start's, the peak report's and the recovery's
    EXPECT_EQ(atNotes, (std::vector<TrayMoment>{{1, "BUSYICON", "BUSYICON"}}));
    EXPECT_EQ(restoredAtEnd, 1u);
}

TEST_F(RecoverMemoryTest, MemoryFreedMeanwhileIsTracedAsRecovered) {
    // Sampled after the fill and after the release; "before" is the sample taken at the start.
    service.onBusyIcons = [this] { SetMemory(8, 4.25); };
    ControlAt(0, RECOVER);
    RunPasses(1);
    EXPECT_TRUE(Traced("RecoverMemory free after free: 4.25"));
    EXPECT_TRUE(Traced("RecoverMemory recovered: 1.25"));
    EXPECT_FALSE(Traced("### nothing recovered ###"));
}

TEST_F(RecoverMemoryTest, BeforeAndTheRequestUseTheLatestSampleAlsoOneTakenForCode129) {
    service.onBusyIcons = [this] {
        SetMemory(8, 2);
        service.Control(SV_SENDPEAKMEMUSAGE);  // samples memory on the dispatcher thread
    };
    ControlAt(0, RECOVER);
    RunPasses(1);
    EXPECT_TRUE(Traced("RecoverMemory before: 2"));
    EXPECT_EQ(sim.HeapRequests(), Requests{Bytes(2) + Bytes(6) / 10 + Bytes(2)});
}

TEST_F(RecoverMemoryTest, SecondRequestIsFreePlusTwoMiB) {
    sim.SetHeapLimit(Bytes(5));
    ControlAt(0, RECOVER);
    RunPasses(1);
    EXPECT_EQ(sim.HeapRequests(), (Requests{5767168, Bytes(5)}));
    ASSERT_EQ(sim.HeapReleases().size(), 1u);
    EXPECT_EQ(sim.HeapReleases()[0].size, Bytes(5));
    EXPECT_EQ(sim.HeapReleases()[0].uniformByte, std::optional<std::uint8_t>(37));
    EXPECT_TRUE(Traced("RecoverMemory except 1"));
    EXPECT_TRUE(Traced("Getmem2: 5"));
    EXPECT_FALSE(Traced("RecoverMemory except 2"));
}

TEST_F(RecoverMemoryTest, DownwardSearchTakesTheFirstSizeThatFits) {
    SetMemory(16, 10);
    sim.SetHeapLimit(Bytes(3));
    ControlAt(0, RECOVER);
    RunPasses(1);
    const auto requests = sim.HeapRequests();
    ASSERT_EQ(requests.size(), 2u + 8u);  // 10, 9, ... 3 MiB
    EXPECT_EQ(requests[2], Bytes(10));
    EXPECT_EQ(requests.back(), Bytes(3));
    ASSERT_EQ(sim.HeapReleases().size(), 1u);
    EXPECT_EQ(sim.HeapReleases()[0].uniformByte, std::optional<std::uint8_t>(37));
    EXPECT_TRUE(Traced("+RecoverMemory"));
}

TEST_F(RecoverMemoryTest, WhenEveryRequestFailsTheSearchMakes1999AndTheClosingStepsStillRun) {
    SetMemory(8192, 4096);
    sim.SetHeapLimit(0);
    ControlAt(0, RECOVER);
    RunPasses(2);
    const auto requests = sim.HeapRequests();
    ASSERT_EQ(requests.size(), 2u + 1999u);
    EXPECT_EQ(requests[2], Bytes(4096));
    EXPECT_EQ(requests.back(), Bytes(4096 - 1998));
    EXPECT_TRUE(sim.HeapReleases().empty());
    EXPECT_TRUE(Traced("### no recovery ###"));
    EXPECT_FALSE(Traced("### FILLING ###"));
    EXPECT_FALSE(Traced("+RecoverMemory"));
    EXPECT_EQ(RestoredPasses(), std::vector<int>{1});
    EXPECT_EQ(RecoveryNoteCodes(), (std::vector<std::uintptr_t>{3, 4}));
    EXPECT_EQ(service.PassesSinceRecovery, 0);
    EXPECT_FALSE(service.KeepIconsOnRecover);
    // The service carries on: the second pass ran and the loop ended normally.
    EXPECT_TRUE(Traced("+++++++++++ QUIT user +++++++++++++"));
}

struct SearchCase {
    std::int64_t availBytes;
    std::size_t searchRequests;
};

class DownwardSearchEnd : public RecoverMemoryTest,
                          public ::testing::WithParamInterface<SearchCase> {};

TEST_P(DownwardSearchEnd, StopsOnceTheNextSizeWouldFallBelow1024Bytes) {
    const auto [avail, searchRequests] = GetParam();
    sim.SetMemory(Bytes(8192), static_cast<std::uint64_t>(avail), 0, 0);
    sim.SetHeapLimit(0);
    sim.FailHeapRequests(3000);  // a block of 0 bytes would otherwise be granted
    ControlAt(0, RECOVER);
    RunPasses(1);
    const auto requests = sim.HeapRequests();
    ASSERT_EQ(requests.size(), 2 + searchRequests);
    EXPECT_EQ(requests[2], static_cast<std::uint64_t>(avail));
    EXPECT_EQ(SettingsMessageCount(settings, 4), 1);
}

INSTANTIATE_TEST_SUITE_P(RecoverMemory, DownwardSearchEnd,
                         ::testing::Values(SearchCase{5 * kMiB + 100, 5},
                                           SearchCase{kMiB + 1024, 2}, SearchCase{kMiB + 1023, 1},
                                           SearchCase{0, 1}, SearchCase{2000 * kMiB, 1999}));

TEST_F(RecoverMemoryTest, AbsurdMemoryFiguresGiveRefusedRequestsNotACrash) {
    // Available above the signed range: every size comes out negative and is refused.
    sim.SetMemory(0, (std::uint64_t{1} << 63) + 5, 0, 0);
    ControlAt(0, RECOVER);
    RunPasses(1);
    EXPECT_EQ(sim.HeapRequests().size(), 3u);
    EXPECT_TRUE(Traced("### no recovery ###"));
    EXPECT_EQ(RecoveryNoteCodes(), (std::vector<std::uintptr_t>{3, 4}));
}

TEST_F(RecoverMemoryTest, QuietRecoveryLeavesTheIconsAndTheNextRecoveryShowsTheBusyImageAgain) {
    ControlAt(0, RECOVER_KEEPICONS);
    ControlAt(1, RECOVER);
    RunPasses(2);
    EXPECT_EQ(PassesOf(kRecoveryBanner), (std::vector<int>{1, 2}));
    EXPECT_EQ(BusyPasses(), std::vector<int>{2});
    EXPECT_EQ(RestoredPasses(), std::vector<int>{2});
    EXPECT_EQ(RecoveryNoteCodes(), (std::vector<std::uintptr_t>{3, 4, 3, 4}));
    EXPECT_FALSE(service.KeepIconsOnRecover);
}

TEST_F(RecoverMemoryTest, QuietCodeThenPlainCodeBeforeTheLoopActsGiveOneQuietRecovery) {
    ControlAt(0, RECOVER_KEEPICONS);
    ControlAt(0, RECOVER);
    RunPasses(2);
    EXPECT_EQ(TraceCount(kRecoveryBanner), 1);
    EXPECT_TRUE(service.busyMoments.empty());
    EXPECT_TRUE(service.restoredMoments.empty());
}

TEST_F(RecoverMemoryTest, TwoRequestsInOnePassGiveOneRecovery) {
    ControlAt(0, RECOVER);
    ControlAt(0, RECOVER);
    RunPasses(3);
    EXPECT_EQ(PassesOf(kRecoveryBanner), std::vector<int>{1});
    EXPECT_EQ(SettingsMessageCount(settings, 3), 1);
    EXPECT_EQ(SettingsMessageCount(settings, 4), 1);
}

TEST_F(RecoverMemoryTest, RequestArrivingDuringARecoveryGivesExactlyOneMoreInTheNextPass) {
    int busy = 0;
    service.onBusyIcons = [&] {
        if (++busy == 1) {
            service.Control(RECOVER);
            service.Control(RECOVER);
        }
    };
    ControlAt(0, RECOVER);
    RunPasses(4);
    EXPECT_EQ(PassesOf(kRecoveryBanner), (std::vector<int>{1, 2}));
    EXPECT_EQ(RecoveryNoteCodes(), (std::vector<std::uintptr_t>{3, 4, 3, 4}));
}

TEST_F(RecoverMemoryTest, QuietRequestDuringAPlainRecoveryStillRestoresTheIcons) {
    int busy = 0;
    service.onBusyIcons = [&] {
        if (++busy == 1) service.Control(RECOVER_KEEPICONS);
    };
    ControlAt(0, RECOVER);
    RunPasses(3);
    EXPECT_EQ(RestoredPasses(), BusyPasses());
    EXPECT_EQ(TraceCount(kRecoveryBanner), 2);
    EXPECT_FALSE(service.KeepIconsOnRecover);
}

TEST_F(RecoverMemoryTest, AfterAnyRecoveryTheAutoPauseRestartsAndQuietIsOff) {
    ControlAt(0, RECOVER_KEEPICONS);
    int passesSinceRecoveryAfter = -1;
    bool keepIconsAfter = true;
    AtSessionCheck(1, [&] {
        passesSinceRecoveryAfter = service.PassesSinceRecovery;
        keepIconsAfter = service.KeepIconsOnRecover;
    });
    RunPasses(1);
    EXPECT_EQ(passesSinceRecoveryAfter, 0);
    EXPECT_FALSE(keepIconsAfter);
}

TEST_F(RecoverMemoryTest, FixedWaitsAddHalfASecond) {
    ControlAt(0, RECOVER);
    RunPasses(1);
    EXPECT_EQ(sim.TotalSleptMs(), 1000u + 500u);
}

struct CutShort {
    const char* name;
    std::uint32_t code;
    std::uint64_t sleptMs;  // the recovery's waits and the pass's sleep
};

class WaitsCutShort : public RecoverMemoryTest, public ::testing::WithParamInterface<CutShort> {};

TEST_P(WaitsCutShort, EachWaitEndsAfterItsFirstSliceAndCode4IsStillSent) {
    const std::uint32_t code = GetParam().code;
    service.onBusyIcons = [this, code] { service.Control(code); };
    ControlAt(0, RECOVER);
    RunPasses(1);
    EXPECT_EQ(sim.TotalSleptMs(), GetParam().sleptMs);
    EXPECT_EQ(RecoveryNoteCodes(), (std::vector<std::uintptr_t>{3, 4}));
    EXPECT_TRUE(Traced("+RecoverMemory"));
}

INSTANTIATE_TEST_SUITE_P(RecoverMemory, WaitsCutShort,
                         ::testing::Values(CutShort{"Quit", SV_QUIT,
                                                    400},  // the pass skips its sleep
                                           CutShort{"Peak", SV_SENDPEAKMEMUSAGE, 400 + 1000},
                                           CutShort{"Stop", platform::kControlStop, 400 + 1000}),
                         [](const auto& info) { return std::string(info.param.name); });

struct SlicedWait {
    std::int32_t ms;
    std::uint64_t slept;
};

class SleepSlicedTest : public ServiceTest, public ::testing::WithParamInterface<SlicedWait> {};

TEST_P(SleepSlicedTest, WaitsWholeSlicesOf100Ms) {
    service.SleepSliced(GetParam().ms);
    EXPECT_EQ(sim.TotalSleptMs(), GetParam().slept);
}

INSTANTIATE_TEST_SUITE_P(RecoverMemory, SleepSlicedTest,
                         ::testing::Values(SlicedWait{0, 0}, SlicedWait{50, 0}, SlicedWait{99, 0},
                                           SlicedWait{-100, 0}, SlicedWait{100, 100},
                                           SlicedWait{250, 200}, SlicedWait{1000, 1000}));

TEST_F(ServiceTest, SleepSlicedEndsAfterOneSliceWhileAQuitIsPending) {
    service.QuitRequested = true;
    service.SleepSliced(500);
    EXPECT_EQ(sim.TotalSleptMs(), 100u);
}

TEST_F(RecoverMemoryTest, RequestWithNobodyLoggedOnRunsInTheFirstPassAfterTheLogon) {
    LogOff();
    ControlAt(0, RECOVER);
    // Seen by the session check after pass 3.
    AtSessionCheck(2, [this] { LogOn(); });
    RunPasses(5);
    EXPECT_EQ(PassesOf(kRecoveryBanner), std::vector<int>{4});
}

TEST_F(RecoverMemoryTest, MenuItemAsksForARecoveryInTheNextPass) {
    AtSessionCheck(1, [this] { service.miRecoverRamClick(); });
    RunPasses(3);
    EXPECT_EQ(PassesOf(kRecoveryBanner), std::vector<int>{2});
}

}  // namespace
}  // namespace kxp::test
