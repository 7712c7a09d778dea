#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ServiceFixture.h"

namespace kxp::test {
namespace {

class IconServicingTest : public ServiceTest {
  protected:
    IconServicingTest() {
        sim.SetPageFiles({{25600, 1280}});
        LogOn();
        Show(1, 1000, 0, 0);
        Show(2, 1000, 0, 0);
    }

    // What the icon shows, as the user's options store it.
    void Show(int icon, std::int32_t refresh, std::int32_t kind, std::int32_t metric) {
        const std::string prefix = icon == 2 ? "t2_" : "";
        SetUserOption(prefix + "Refresh", refresh);
        SetUserOption(prefix + "Display1", kind);
        SetUserOption(prefix + "Display2", metric);
    }

    // Passes in which an icon was drawn with the paging-file metric, which queries the paging
    // files right before drawing; a pass with two such drawings appears twice.
    std::vector<int> PagingFilePasses(int passes) {
        std::vector<int> queries;
        auto previousHook = service.onSessionCheck;
        service.onSessionCheck = [&, previousHook](int check) {
            if (previousHook) previousHook(check);
            queries.push_back(sim.QueryCount(platform::kSystemPageFileInformation));
        };
        QuitAfterPass(passes);
        Run();
        std::vector<int> drawn;
        for (std::size_t pass = 1; pass < queries.size(); ++pass) {
            for (int n = queries[pass - 1]; n < queries[pass]; ++n)
                drawn.push_back(static_cast<int>(pass));
        }
        return drawn;
    }

    std::int64_t PeakUsedMB() { return service.SystemData->Memory().PeakUsedMB; }
};

TEST_F(IconServicingTest, IconIsDrawnInTheFirstPassAndThenEveryRefreshInterval) {
    Show(1, 3000, 1, 12);
    EXPECT_EQ(PagingFilePasses(10), (std::vector<int>{1, 4, 7, 10}));
}

TEST_F(IconServicingTest, SixtySecondRefreshDrawsEverySixtiethPass) {
    Show(2, 60000, 2, 12);
    EXPECT_EQ(PagingFilePasses(121), (std::vector<int>{1, 61, 121}));
}

TEST_F(IconServicingTest, BothIconsAreServicedInOnePass) {
    Show(1, 1000, 3, 12);
    Show(2, 2000, 1, 12);
    EXPECT_EQ(PagingFilePasses(3), (std::vector<int>{1, 1, 2, 3, 3}));
}

TEST_F(IconServicingTest, RefreshRequestDrawsInTheCurrentPassAndRestartsTheInterval) {
    Show(1, 3000, 1, 12);
    sim.At(DuringPass(2), [this] { service.RefreshRequested = true; });
    EXPECT_EQ(PagingFilePasses(9), (std::vector<int>{1, 3, 6, 9}));
}

TEST_F(IconServicingTest, ProductIconIsNeverDrawn) {
    Show(1, 1000, 0, 12);
    EXPECT_TRUE(PagingFilePasses(5).empty());
}

TEST_F(IconServicingTest, NothingIsDrawnWhileAWindowFillsTheScreen) {
    Show(1, 1000, 1, 12);
    const auto game = sim.AddWindow("Game", "Game");
    sim.SetWindowRect(game, {0, 0, 1024, 768});
    sim.SetForegroundWindow(game);
    EXPECT_TRUE(PagingFilePasses(4).empty());
}

TEST_F(IconServicingTest, NothingIsDrawnWhileUserOptionsAreReadAndTheIntervalWaits) {
    Show(1, 3000, 1, 12);
    // Busy from the end of the start (after the start's own read) until the check after pass 2.
    onTrace = [this](const std::string& line) {
        if (line == "ServiceExecute SetSize") service.UserOptionsBusy = true;
    };
    service.onSessionCheck = [this](int check) {
        if (check > 0) service.UserOptionsBusy = check < 3;
    };
    EXPECT_EQ(PagingFilePasses(10), (std::vector<int>{4, 7, 10}));
}

TEST_F(IconServicingTest, NothingIsDrawnWhileNobodyIsLoggedOn) {
    LogOff();
    Show(1, 1000, 1, 12);
    EXPECT_TRUE(PagingFilePasses(5).empty());
}

TEST_F(IconServicingTest, RamIconSamplesMemoryInEveryPassItIsDrawn) {
    Show(1, 1000, 1, 1);
    sim.At(DuringPass(2), [this] { sim.SetMemory(1024 * kMiB, 424 * kMiB, 2048 * kMiB, 0); });
    std::int64_t peakAfterPass3 = 0;
    sim.At(DuringPass(3), [&] { peakAfterPass3 = PeakUsedMB(); });
    QuitAfterPass(3);
    Run();
    EXPECT_EQ(peakAfterPass3, 600);
}

TEST_F(IconServicingTest, IconsWithoutRamFigureSampleMemoryWhenMoreThanTenPassesWentBy) {
    // The armed auto-recovery decision samples memory too, when more than five passes went by.
    sim.SetDword(platform::RegistryRoot::LocalMachine, "\\Software\\KorvanelXP", "Recover", 0);
    sim.At(DuringPass(2), [this] { sim.SetMemory(1024 * kMiB, 424 * kMiB, 2048 * kMiB, 0); });
    std::int64_t peakAfterPass11 = 0;
    std::int64_t peakAfterPass12 = 0;
    sim.At(DuringPass(11), [&] { peakAfterPass11 = PeakUsedMB(); });
    sim.At(DuringPass(12), [&] { peakAfterPass12 = PeakUsedMB(); });
    QuitAfterPass(12);
    Run();
    EXPECT_EQ(peakAfterPass11, 256);
    EXPECT_EQ(peakAfterPass12, 600);
}

}  // namespace
}  // namespace kxp::test
