// The auto-recovery decision of each pass: the pause, the limit, the postponement while the CPU is
// busy, with and without a user logged on.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "ServiceFixture.h"

namespace kxp::test {
namespace {

constexpr const char* kPostponing = "Autorecovery: postponing 3 ticks";

std::vector<int> Range(int first, int last) {
    std::vector<int> passes;
    for (int pass = first; pass <= last; ++pass) passes.push_back(pass);
    return passes;
}

class AutoRecoveryTest : public ServiceTest {
  protected:
    AutoRecoveryTest() {
        SetMemory(8, 3);
        sim.SetHeapLimit(64 * kMiB);
        options.Recover = true;
        options.Below = 5 * kMiB;
        options.Pause = 10800;
        options.Postpone = false;
        options.Threshold = 30;
        // Installed first, so that the actions of AtSessionCheck run after it.
        service.onSessionCheck = [this](int) {
            if (cpuIdle_) service.SystemData->CpuIdleAll = *cpuIdle_;
        };
    }

    // The CPU idle figure every session check leaves behind; the pass pushes 100 minus it.
    void SetCpuIdle(std::int32_t idle) { cpuIdle_ = idle; }
    // Turns the automatic recovery on only after this session check, so that the CPU history
    // already holds what the test pushed.
    void RecoverOnlyAfter(int check) {
        options.Recover = false;
        AtSessionCheck(check, [this] { service.LocalOptions.Recover = true; });
    }

    std::string BelowLine(std::int64_t avail, std::int64_t below) const {
        return "below value reached: " + std::to_string(avail) + "<" + std::to_string(below);
    }

    // Figures the registry's scaled values cannot hold, given to the start.
    TMachineOptions& options = startOptions.emplace();

  private:
    std::optional<std::int32_t> cpuIdle_;
};

TEST_F(AutoRecoveryTest, StartBelowTheLimitWithPostponeOffRecoversInTheFirstPass) {
    LogOn();
    RunPasses(3);
    EXPECT_EQ(PassesOf(BelowLine(3 * kMiB, 5 * kMiB)), std::vector<int>{1});
    EXPECT_EQ(PassesOf(kRecoveryBanner), std::vector<int>{1});
    EXPECT_EQ(service.PassesSinceRecovery, 2);  // counted again from 0 by passes 2 and 3
}

struct LimitCase {
    std::int64_t availBytes;
    std::int64_t below;
    bool requested;
};

class BelowLimit : public AutoRecoveryTest, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(BelowLimit, IsAStrictComparisonOf64BitByteCounts) {
    const auto [avail, below, requested] = GetParam();
    sim.SetMemory(std::uint64_t{8} << 40, static_cast<std::uint64_t>(avail), 0, 0);
    options.Below = below;
    // Nobody is logged on: the request stays pending, nothing is allocated.
    RunPasses(2);
    EXPECT_EQ(service.RecoverRequested, requested);
    EXPECT_EQ(TraceCount(BelowLine(avail, below)), requested ? 2 : 0);
}

constexpr std::int64_t kGiB = 1024 * kMiB;
INSTANTIATE_TEST_SUITE_P(
    AutoRecovery, BelowLimit,
    ::testing::Values(LimitCase{3 * kMiB, 3 * kMiB, false}, LimitCase{3 * kMiB, 3 * kMiB + 1, true},
                      LimitCase{3 * kGiB, 4 * kGiB, true},  // a limit of 4096 MB, past 32 bits
                      LimitCase{5 * kGiB, 4 * kGiB, false},
                      LimitCase{0, std::numeric_limits<std::int64_t>::max(), true},
                      LimitCase{0, 0, false}, LimitCase{0, -1, false},
                      LimitCase{0, std::numeric_limits<std::int64_t>::min(), false}));

TEST_F(AutoRecoveryTest, BusyCpuWithAUserPostponesAndTestsAgainEveryThirdPass) {
    LogOn();
    options.Postpone = true;
    SetCpuIdle(69);  // 31 % usage, above the threshold of 30
    RecoverOnlyAfter(3);
    RunPasses(12);
    EXPECT_EQ(PassesOf(kPostponing), (std::vector<int>{4, 7, 10}));
    EXPECT_EQ(TraceCount(kRecoveryBanner), 0);
}

TEST_F(AutoRecoveryTest, QuietCpuWithAUserRecoversAndTracesTheIdleFigure) {
    LogOn();
    options.Postpone = true;
    SetCpuIdle(70);  // 30 % usage: not above the threshold of 30
    RunPasses(20);
    EXPECT_EQ(PassesOf("Autorecovery: 70"), std::vector<int>{1});
    EXPECT_EQ(PassesOf(kRecoveryBanner), std::vector<int>{1});
    EXPECT_FALSE(Traced(kPostponing));
}

TEST_F(AutoRecoveryTest, BusyCpuWithNobodyLoggedOnIsTestedEveryPassAndTheRequestWaitsForALogon) {
    options.Postpone = true;
    options.Pause = 5;
    RecoverOnlyAfter(3);
    // 50 % usage in passes 1 to 3, then 10 %: the last busy slot leaves after 16 more passes.
    SetCpuIdle(50);
    AtSessionCheck(3, [this] { SetCpuIdle(90); });
    std::vector<int> requestedAt;
    for (int check = 4; check <= 24; ++check) {
        AtSessionCheck(check, [this, check, &requestedAt] {
            if (service.RecoverRequested) requestedAt.push_back(check);
        });
    }
    // Seen by the session check after pass 24.
    AtSessionCheck(23, [this] { LogOn(); });
    RunPasses(27);
    EXPECT_EQ(PassesOf(BelowLine(3 * kMiB, 5 * kMiB)), Range(4, 25));
    ASSERT_FALSE(requestedAt.empty());
    EXPECT_EQ(requestedAt.front(), 20);
    EXPECT_EQ(PassesOf(kRecoveryBanner), std::vector<int>{25});
    EXPECT_FALSE(Traced(kPostponing));
}

struct ThresholdCase {
    const char* name;
    std::int32_t cpuIdle;
    std::int32_t threshold;
    bool postponed;
};

class Threshold : public AutoRecoveryTest, public ::testing::WithParamInterface<ThresholdCase> {};

TEST_P(Threshold, ComparesTheLow16BitsUnsignedWithTheHistory) {
    const auto [name, idle, threshold, postponed] = GetParam();
    LogOn();
    options.Postpone = true;
    options.Threshold = threshold;
    SetCpuIdle(idle);
    RecoverOnlyAfter(1);
    RunPasses(2);
    EXPECT_EQ(PassesOf(kPostponing), postponed ? std::vector<int>{2} : std::vector<int>{});
    EXPECT_EQ(PassesOf(kRecoveryBanner), postponed ? std::vector<int>{} : std::vector<int>{2});
}

INSTANTIATE_TEST_SUITE_P(AutoRecovery, Threshold,
                         ::testing::Values(ThresholdCase{"UnknownFigureAbove101", -2, 101, true},
                                           ThresholdCase{"UnknownFigureNotAbove102", -2, 102,
                                                         false},
                                           ThresholdCase{"Huge", -2, 65535, false},
                                           ThresholdCase{"MinusOneIsTheLargest", -2, -1, false},
                                           ThresholdCase{"OnlyLowBitsCount", 69, 65536 + 30, true},
                                           ThresholdCase{"EqualIsNotAbove", 70, 30, false},
                                           ThresholdCase{"ZeroWithAnyLoad", 99, 0, true},
                                           ThresholdCase{"ZeroWithNoLoad", 100, 0, false},
                                           ThresholdCase{"NegativeLowBits", 0, -65536 + 99, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AutoRecoveryTest, AfterARecoveryTheNextComesOnlyAfterPausePasses) {
    LogOn();
    options.Pause = 5;
    RunPasses(12);
    EXPECT_EQ(PassesOf(kRecoveryBanner), (std::vector<int>{1, 6, 11}));
}

TEST_F(AutoRecoveryTest, ManualRecoveryRestartsThePause) {
    LogOn();
    SetMemory(8, 6);  // above the limit until the manual recovery
    options.Pause = 5;
    ControlAt(2, RECOVER);
    service.onBusyIcons = [this] { SetMemory(8, 3); };
    RunPasses(10);
    EXPECT_EQ(PassesOf(kRecoveryBanner), (std::vector<int>{3, 8}));
}

struct PauseCase {
    std::int64_t pause;
    int belowLines;
};

class PauseValue : public AutoRecoveryTest, public ::testing::WithParamInterface<PauseCase> {};

TEST_P(PauseValue, NeverOverflowsTheCount) {
    options.Pause = GetParam().pause;
    RunPasses(4);
    EXPECT_EQ(TraceCount(BelowLine(3 * kMiB, 5 * kMiB)), GetParam().belowLines);
}

INSTANTIATE_TEST_SUITE_P(AutoRecovery, PauseValue,
                         ::testing::Values(PauseCase{0, 4}, PauseCase{-1, 4},
                                           PauseCase{std::numeric_limits<std::int64_t>::min(), 4},
                                           PauseCase{60001, 4}, PauseCase{60004, 1},
                                           PauseCase{std::numeric_limits<std::int64_t>::max(), 0}));

TEST_F(AutoRecoveryTest, PassCountStopsAtItsLargestValue) {
    options.Pause = std::numeric_limits<std::int64_t>::max();
    AtSessionCheck(
        0, [this] { service.PassesSinceRecovery = std::numeric_limits<std::int32_t>::max() - 1; });
    RunPasses(3);
    EXPECT_EQ(service.PassesSinceRecovery, std::numeric_limits<std::int32_t>::max());
}

TEST_F(AutoRecoveryTest, TurningRecoverOffFreezesThePassCount) {
    options.Recover = false;
    options.Pause = 70000;
    std::int32_t frozen = 0;
    AtSessionCheck(5, [&] {
        frozen = service.PassesSinceRecovery;
        service.LocalOptions.Recover = true;
    });
    RunPasses(8);
    EXPECT_EQ(frozen, 60000);
    EXPECT_EQ(service.PassesSinceRecovery, 60003);
}

}  // namespace
}  // namespace kxp::test
