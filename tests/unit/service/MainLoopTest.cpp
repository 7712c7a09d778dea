#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "ServiceFixture.h"

namespace kxp::test {
namespace {

class MainLoopTest : public ServiceTest {
  protected:
    std::int64_t PeakUsedMB() { return service.SystemData->Memory().PeakUsedMB; }

    // sim.TrimCount() seen at each session check: [0] before the start's trim, [k] after pass k's
    // sleep.
    std::vector<int> TrimsByPass(int passes) {
        std::vector<int> trims;
        service.onSessionCheck = [this, &trims](int) { trims.push_back(sim.TrimCount()); };
        QuitAfterPass(passes);
        Run();
        return trims;
    }
};

TEST_F(MainLoopTest, FirstPassWithAUserReportsThePeakAgainAndTrims) {
    LogOn();
    const auto settings = AddSettingsWindow();
    QuitAfterPass(1);
    Run();
    const std::vector<SettingsMessage> expected = {{5, 256}, {5, 256}, {7, 0}};
    EXPECT_EQ(SettingsMessages(settings), expected);
    EXPECT_EQ(sim.TrimCount(), 2);  // at the start and after the peak report
}

TEST_F(MainLoopTest, WithNobodyLoggedOnRequestsWaitAndOnlyTheStartTrims) {
    const auto settings = AddSettingsWindow();
    sim.At(DuringPass(2), [this] { sim.SendControl(RECOVER); });
    QuitAfterPass(30);
    Run();
    EXPECT_EQ(Passes(), 30);
    EXPECT_EQ(sim.TrimCount(), 1);
    EXPECT_EQ(SettingsMessages(settings), (std::vector<SettingsMessage>{{7, 0}}));
    EXPECT_TRUE(service.SendPeakRequested);
    EXPECT_TRUE(service.RecoverRequested);
}

TEST_F(MainLoopTest, QuitBeforeThePassSleepsSkipsTheSleepAndNotifiesOnce) {
    LogOn();
    const auto settings = AddSettingsWindow();
    // The peak report of the first pass comes before its sleep; a quit that arrives with it is
    // honoured without sleeping. Set the flag as another thread would, without tracing.
    int peakReports = 0;
    SetTraceSink([&](const std::string& message) {
        if (message == "Message to settings: 5" && ++peakReports == 2) service.QuitRequested = true;
    });
    Run();
    EXPECT_EQ(sim.TotalSleptMs(), 0u);
    const auto messages = SettingsMessages(settings);
    EXPECT_EQ(std::count(messages.begin(), messages.end(), SettingsMessage{7, 0}), 1);
    EXPECT_EQ(messages.size(), 3u);
}

TEST_F(MainLoopTest, QuitDuringTheSleepEndsTheLoopAfterThatPass) {
    LogOn();
    const auto settings = AddSettingsWindow();
    QuitAfterPass(3);
    Run();
    EXPECT_EQ(Passes(), 3);
    EXPECT_TRUE(Traced("+++++++++++ QUIT user +++++++++++++"));
    EXPECT_EQ(SettingsMessages(settings).back(), (SettingsMessage{7, 0}));
    EXPECT_TRUE(service.QuitRequested);
}

TEST_F(MainLoopTest, PeakRequestedWhileNobodyIsLoggedOnIsSampledAtOnceAndSentAfterTheLogon) {
    const auto settings = AddSettingsWindow();
    std::int64_t peakRightAfterRequest = 0;
    sim.At(DuringPass(1), [&] {
        sim.SetMemory(1024 * kMiB, 700 * kMiB, 2048 * kMiB, 1536 * kMiB);
        sim.SendControl(SV_SENDPEAKMEMUSAGE);
        peakRightAfterRequest = PeakUsedMB();
    });
    sim.At(DuringPass(2), [this] { LogOn(); });
    // The logon after pass 2 waits a second: the quit comes in the sleep of pass 3.
    QuitAfterPass(4);
    Run();
    EXPECT_EQ(peakRightAfterRequest, 324);
    EXPECT_EQ(SettingsMessages(settings), (std::vector<SettingsMessage>{{5, 324}, {7, 0}}));
}

TEST_F(MainLoopTest, RestoreEndWithoutRestoreStartRereadsAndRefreshesInTheNextPass) {
    LogOn();
    int fileCacheQueriesBefore = 0;
    sim.At(DuringPass(2), [&] {
        fileCacheQueriesBefore = sim.QueryCount(platform::kSystemFileCacheInformation);
        sim.SendControl(RESTOREEND);
    });
    QuitAfterPass(3);
    Run();
    EXPECT_EQ(fileCacheQueriesBefore, 1);  // the start's refresh
    EXPECT_EQ(sim.QueryCount(platform::kSystemFileCacheInformation), 2);
    EXPECT_FALSE(service.RestoreInProgress);
    EXPECT_FALSE(service.ReadUserOptionsRequested);
    EXPECT_FALSE(service.ReadLocalOptionsRequested);
}

TEST_F(MainLoopTest, RequestFlagsHaveTheirStartValuesWhenTheLoopBegins) {
    for (auto* flag :
         {&service.ReadUserOptionsRequested, &service.HotKeysIgnored,
          &service.ReadLocalOptionsRequested, &service.RecoverRequested,
          &service.KeepIconsOnRecover, &service.RestoreInProgress, &service.QuitRequested,
          &service.RefreshRequested, &service.TestFlag1, &service.TestFlag2, &service.TestFlag3}) {
        *flag = true;  // stale values from before the start
    }
    std::vector<bool> atFirstSleep;
    sim.At(kStartTick + 1, [&] {
        atFirstSleep = {service.ReadUserOptionsRequested,
                        service.SendPeakRequested,
                        service.HotKeysIgnored,
                        service.ReadLocalOptionsRequested,
                        service.RecoverRequested,
                        service.KeepIconsOnRecover,
                        service.RestoreInProgress,
                        service.QuitRequested,
                        service.RefreshRequested,
                        service.TestFlag1,
                        service.TestFlag2,
                        service.TestFlag3};
    });
    QuitAfterPass(1);
    Run();
    const std::vector<bool> expected = {false, true,  false, false, false, false,
                                        false, false, false, false, false, false};
    EXPECT_EQ(atFirstSleep, expected);
}

TEST_F(MainLoopTest, NewServiceHasEveryRequestFlagClear) {
    for (const auto* flag :
         {&service.ReadUserOptionsRequested, &service.SendPeakRequested, &service.HotKeysIgnored,
          &service.ReadLocalOptionsRequested, &service.RecoverRequested,
          &service.KeepIconsOnRecover, &service.RestoreInProgress, &service.QuitRequested,
          &service.RefreshRequested, &service.UserOptionsBusy}) {
        EXPECT_FALSE(*flag);
    }
}

struct CpuPush {
    std::int32_t idle;
    std::uint16_t pushed;
};

TEST_F(MainLoopTest, CpuHistoryGetsTheUsageOfEachPassAsUnsigned16Bits) {
    const std::vector<CpuPush> pushes = {{-1, 101}, {-2, 102}, {0, 100},
                                         {37, 63},  {100, 0},  {130, 65506}};
    std::array<std::uint16_t, 16> slots{};
    service.onSessionCheck = [&](int check) {
        if (check >= 1 && check <= static_cast<int>(pushes.size())) {
            service.SystemData->CpuIdleAll = pushes[check - 1].idle;
        }
        if (check == static_cast<int>(pushes.size()) + 1) slots = service.CpuBusyHistory->Slots;
    };
    QuitAfterPass(static_cast<int>(pushes.size()) + 1);
    Run();
    const std::size_t first = slots.size() - pushes.size();
    for (std::size_t i = 0; i < pushes.size(); ++i) {
        EXPECT_EQ(slots[first + i], pushes[i].pushed) << "idle " << pushes[i].idle;
    }
    EXPECT_EQ(slots[first - 1], 0);
}

TEST_F(MainLoopTest, PeriodicTrimFollowsSixPassesAfterThePeakReportThenEvery1601Passes) {
    LogOn();
    const auto trims = TrimsByPass(1610);
    std::vector<int> trimPasses;
    for (std::size_t pass = 1; pass < trims.size(); ++pass) {
        if (trims[pass] != trims[pass - 1]) trimPasses.push_back(static_cast<int>(pass));
    }
    EXPECT_EQ(trims[1], 2);  // the start's trim and the first pass's peak report
    EXPECT_EQ(trimPasses, (std::vector<int>{1, 7, 1608}));
}

TEST_F(MainLoopTest, PeakRequestMovesThePeriodicTrim) {
    LogOn();
    ControlDuringPass(10, SV_SENDPEAKMEMUSAGE);
    const auto trims = TrimsByPass(20);
    std::vector<int> trimPasses;
    for (std::size_t pass = 1; pass < trims.size(); ++pass) {
        if (trims[pass] != trims[pass - 1]) trimPasses.push_back(static_cast<int>(pass));
    }
    EXPECT_EQ(trimPasses, (std::vector<int>{1, 7, 11, 17}));
}

TEST_F(MainLoopTest, NobodyLoggedOnNeverTrimsPeriodically) {
    const auto trims = TrimsByPass(40);
    EXPECT_EQ(trims.back(), 1);
}

}  // namespace
}  // namespace kxp::test
