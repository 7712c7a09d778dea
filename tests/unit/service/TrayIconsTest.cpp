// The service's two tray icons on the simulated machine: shown at logon with the product image,
// hidden at logoff, the second one left out with NoSecondTray, the figures drawn into them, the
// busy image during a recovery, and the shell's restart.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "ServiceFixture.h"
#include "tray/DisplayModel.h"
#include "tray/TTrayIcon.h"
#include "tray/TTrayWindow.h"

namespace kxp::test {
namespace {

constexpr platform::ColorRef kGreen = 0x00FF00;
constexpr platform::ColorRef kBlack = 0x000000;

struct ShellStep {
    std::uint32_t message;
    std::uint32_t icon;
    std::string image;
    friend bool operator==(const ShellStep&, const ShellStep&) = default;
};

std::ostream& operator<<(std::ostream& out, const ShellStep& step) {
    return out << "NIM " << step.message << " icon " << step.icon << " " << step.image;
}

class TrayIconsTest : public ServiceTest {
  protected:
    TrayIconsTest() {
        SetMemory(1024, 768);
        SetOption("Recover", 0);
    }

    // The additions and removals, with the image each addition carried.
    std::vector<ShellStep> AddsAndDeletes() {
        std::vector<ShellStep> steps;
        for (const auto& call : ShellCalls()) {
            if (call.message != platform::kNimAdd && call.message != platform::kNimDelete) continue;
            const auto icon = sim.Desktop().Icon(call.data.hIcon);
            const std::string image =
                call.message == platform::kNimDelete ? "" : (icon ? icon->resource : "?");
            steps.push_back({call.message, call.data.uID, image});
        }
        return steps;
    }
    // From the first addition on: what the service did, not what making the icons did.
    std::vector<ShellStep> AfterFirstAdd() {
        auto steps = AddsAndDeletes();
        const auto first = std::find_if(steps.begin(), steps.end(), [](const ShellStep& step) {
            return step.message == platform::kNimAdd;
        });
        return {first, steps.end()};
    }
    platform::Handle TrayWindow() {
        return sim.platform().windows.FindWindowA(kTrayWindowClass, nullptr);
    }
    // Runs on the service thread: the main thread has handled everything posted to it so far.
    void WaitForMainThread() {
        std::atomic<bool> ran{false};
        service.PostToMainThread([&ran] { ran = true; });
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!ran && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
        ASSERT_TRUE(ran);
    }
    // The last icon shown on tray icon 1 or 2.
    std::optional<sim::SimIcon> ShownIcon(std::uint32_t icon) {
        platform::Handle shown = 0;
        for (const auto& call : ShellCalls()) {
            if (call.data.uID == icon && call.message != platform::kNimDelete &&
                call.message != platform::kNimSetVersion) {
                shown = call.data.hIcon;
            }
        }
        return sim.Desktop().Icon(shown);
    }
    void ShowFigures(int icon, std::int32_t display1, std::int32_t display2) {
        SetDisplay(icon, display1, display2, kAliceSid);
        TConfig config = service.Config(icon);
        ApplyForeColor(config);
        service.PublishConfig(icon, config);
    }
};

TEST_F(TrayIconsTest, BeforeAnyLogonNeitherIconIsInTheNotificationArea) {
    RunPasses(2);
    EXPECT_TRUE(AfterFirstAdd().empty());
    EXPECT_EQ(TrayImage(1), "");
    EXPECT_EQ(TrayImage(2), "");
}

TEST_F(TrayIconsTest, AUserAtStartGetsIconOneThenIconTwoWithTheProductImage) {
    LogOn();
    RunPasses(1);
    EXPECT_EQ(AfterFirstAdd(), (std::vector<ShellStep>{{platform::kNimAdd, 1, "MAINICON"},
                                                       {platform::kNimAdd, 2, "MAINICON"}}));
    EXPECT_TRUE(service.IconsCreated);
}

TEST_F(TrayIconsTest, NoSecondTrayLeavesIconTwoOut) {
    LogOn();
    TConfig config = service.Config(1);
    config.NoSecondTray = true;
    service.PublishConfig(1, config);
    sim.SetDword(platform::RegistryRoot::Users, kAliceSid + "\\Software\\KorvanelXP",
                 "NoSecondTray", 1);
    RunPasses(2);
    EXPECT_EQ(AfterFirstAdd(), (std::vector<ShellStep>{{platform::kNimAdd, 1, "MAINICON"}}));
    EXPECT_EQ(TrayImage(2), "");
}

TEST_F(TrayIconsTest, LogoffTakesBothIconsOutAndTheNextLogonBringsThemBack) {
    LogOn();
    sim.At(DuringPass(2), [this] { LogOff(); });
    sim.At(DuringPass(4), [this] { LogOn(kBob); });
    std::vector<std::string> afterLogoff;
    AtSessionCheck(4, [&] {
        WaitForMainThread();
        afterLogoff = {TrayImage(1), TrayImage(2)};
        EXPECT_FALSE(service.IconsCreated);
    });
    RunPasses(6);
    EXPECT_EQ(afterLogoff, (std::vector<std::string>{"", ""}));
    EXPECT_EQ(AfterFirstAdd(), (std::vector<ShellStep>{{platform::kNimAdd, 1, "MAINICON"},
                                                       {platform::kNimAdd, 2, "MAINICON"},
                                                       {platform::kNimDelete, 1, ""},
                                                       {platform::kNimDelete, 2, ""},
                                                       {platform::kNimAdd, 1, "MAINICON"},
                                                       {platform::kNimAdd, 2, "MAINICON"}}));
}

TEST_F(TrayIconsTest, ANumericIconShowsItsDigitsInGreenOnBlack) {
    LogOn();
    ShowFigures(1, dkNumeric, dmRamFree);
    RunPasses(1);
    ASSERT_EQ(TrayImage(1), "drawn");
    const auto icon = ShownIcon(1);
    ASSERT_TRUE(icon.has_value());
    // "768" in Small Fonts 7: three 5 x 11 cells from (0, 3), a stroke in the middle of each.
    for (const int x : {2, 7, 12}) {
        EXPECT_EQ(icon->image.At(x, 8), kGreen) << x;
        EXPECT_EQ(icon->image.At(x, 1), kBlack) << x;
    }
    EXPECT_EQ(icon->image.At(4, 8), kBlack);
    EXPECT_FALSE(icon->transparent[8 * 16 + 2]);
    ASSERT_FALSE(sim.Desktop().TextOuts().empty());
    EXPECT_EQ(sim.Desktop().TextOuts().back().text, "768");
}

TEST_F(TrayIconsTest, ABlockOfIconTwoFillsItsRowsInItsColour) {
    LogOn();
    ShowFigures(2, dkBlock, dmRamFree);  // 75 %: level 11, rows 4 to 15
    RunPasses(1);
    const auto icon = ShownIcon(2);
    ASSERT_TRUE(icon.has_value());
    EXPECT_EQ(icon->image.At(8, 3), kBlack);
    EXPECT_EQ(icon->image.At(8, 4), 0x00FFFFu);
    EXPECT_EQ(icon->image.At(0, 15), 0x00FFFFu);
}

TEST_F(TrayIconsTest, ColoursPublishedBetweenDrawingsShowInTheNextOne) {
    LogOn();
    ShowFigures(2, dkBlock, dmRamFree);
    platform::ColorRef before = 0;
    AtSessionCheck(2, [&] {
        WaitForMainThread();
        if (const auto icon = ShownIcon(2)) before = icon->image.At(0, 15);
        // As an options read leaves it: a new record, and both icons drawn again.
        TConfig config = service.Config(2);
        config.ForeColor = 0x0000FF;
        config.BackColor = 0x404040;
        service.PublishConfig(2, config);
        service.ForceRedraw();
    });
    RunPasses(3);
    EXPECT_EQ(before, 0x00FFFFu);
    const auto icon = ShownIcon(2);
    ASSERT_TRUE(icon.has_value());
    EXPECT_EQ(icon->image.At(0, 15), 0x0000FFu);
    EXPECT_EQ(icon->image.At(0, 0), 0x404040u);
}

TEST_F(TrayIconsTest, TheProductIconIsNeverDrawnOver) {
    LogOn();
    ShowFigures(1, dkIcon, 5);
    RunPasses(3);
    EXPECT_EQ(TrayImage(1), "MAINICON");
    for (const auto& call : ShellCalls()) {
        if (call.data.uID != 1 || call.message == platform::kNimDelete) continue;
        const auto icon = sim.Desktop().Icon(call.data.hIcon);
        if (icon) {
            EXPECT_FALSE(icon->resource.empty());
        }
    }
}

TEST_F(TrayIconsTest, AnIconDrawnEveryPassReleasesTheOneItReplaced) {
    LogOn();
    ShowFigures(1, dkGraph, dmRamFree);  // a graph is redrawn every pass
    int objectsAt5 = 0;
    int objectsAt25 = 0;
    AtSessionCheck(5, [&] {
        WaitForMainThread();
        objectsAt5 = sim.Desktop().LiveObjectCount();
    });
    AtSessionCheck(25, [&] {
        WaitForMainThread();
        objectsAt25 = sim.Desktop().LiveObjectCount();
    });
    RunPasses(25);
    EXPECT_GT(objectsAt5, 0);
    EXPECT_EQ(objectsAt25, objectsAt5);
    EXPECT_EQ(sim.Desktop().BadReleaseCount(), 0);
}

TEST_F(TrayIconsTest, ARecoveryShowsTheBusyImageWithoutMenusAndRestoresBoth) {
    LogOn();
    ShowFigures(2, dkIcon, 0);
    bool menuOpenedWhileBusy = true;
    service.onBusyIcons = [&] {
        // A right click while the icons are busy brings no menu up.
        sim.platform().windows.PostMessageA(TrayWindow(), kTrayCallbackMessage, 1, kWmRButtonDown);
        WaitForMainThread();
        menuOpenedWhileBusy = sim.platform().windows.GetForegroundWindow() == TrayWindow();
    };
    ControlAt(1, RECOVER);
    bool menuOpenedAfter = false;
    AtSessionCheck(3, [&] {
        sim.platform().windows.PostMessageA(TrayWindow(), kTrayCallbackMessage, 1, kWmRButtonDown);
        WaitForMainThread();
        menuOpenedAfter = sim.platform().windows.GetForegroundWindow() == TrayWindow();
    });
    RunPasses(3);
    EXPECT_EQ(service.busyMoments, (std::vector<TrayMoment>{{2, "BUSYICON", "BUSYICON"}}));
    // The product image comes back at once; figures at the same pass's drawing.
    EXPECT_EQ(service.restoredMoments, (std::vector<TrayMoment>{{2, "BUSYICON", "MAINICON"}}));
    EXPECT_FALSE(menuOpenedWhileBusy);
    EXPECT_TRUE(menuOpenedAfter);
    EXPECT_EQ(TrayImage(1), "drawn");
    EXPECT_EQ(TrayImage(2), "MAINICON");
}

TEST_F(TrayIconsTest, TheShellsRestartBringsBackOnlyTheVisibleIcons) {
    LogOn();
    TConfig config = service.Config(1);
    config.NoSecondTray = true;
    service.PublishConfig(1, config);
    sim.SetDword(platform::RegistryRoot::Users, kAliceSid + "\\Software\\KorvanelXP",
                 "NoSecondTray", 1);
    std::size_t before = 0;
    AtSessionCheck(2, [&] {
        WaitForMainThread();
        before = AddsAndDeletes().size();
        const auto message = sim.platform().windows.RegisterWindowMessageA("TaskbarCreated");
        sim.platform().windows.PostMessageA(TrayWindow(), message, 0, 0);
        WaitForMainThread();
    });
    RunPasses(2);
    const auto steps = AddsAndDeletes();
    ASSERT_EQ(steps.size(), before + 1);
    EXPECT_EQ(steps.back().message, platform::kNimAdd);
    EXPECT_EQ(steps.back().icon, 1u);
}

TEST_F(TrayIconsTest, TheIconsLeaveTheNotificationAreaWithTheService) {
    LogOn();
    {
        TestService other(sim);
        other.onSessionCheck = [&other](int check) {
            if (check == 1) other.QuitRequested = true;
        };
        ASSERT_TRUE(sim.platform().services.RunServiceApplication(
            {"KorvanelXPService", "KorvanelXP", true}, other));
        EXPECT_EQ(TrayImage(1), "drawn");
        EXPECT_EQ(TrayImage(2), "MAINICON");  // no CPU figure yet for its graph
    }
    EXPECT_EQ(TrayImage(1), "");
    EXPECT_EQ(TrayImage(2), "");
}

}  // namespace
}  // namespace kxp::test
