// The window snapshot and the hiding of the update client's windows.
#include <algorithm>
#include <string>
#include <vector>

#include "SamplerFixture.h"
#include "sysinfo/TWindowList.h"

namespace kxp::testing {
namespace {

using platform::Handle;
using platform::Rect;

constexpr std::uint32_t kUpdateClient = 900;
constexpr std::uint32_t kOtherProcess = 901;

class UpdateWindowTest : public SamplerTest {
  protected:
    Handle Window(const std::string& title, std::uint32_t owner, Rect rect = {100, 100, 400, 300},
                  bool visible = true) {
        const Handle window = machine.AddWindow("Class", title);
        machine.SetWindowOwner(window, owner);
        machine.SetWindowRect(window, rect);
        machine.SetWindowVisible(window, visible);
        return window;
    }

    void Scan(bool autohide = true) {
        machine.SetProcesses({IdleProcess(0), NamedProcess(kOtherProcess, u"explorer.exe"),
                              NamedProcess(kUpdateClient, u"WUAUCLT.EXE")});
        machine.platform().clock.Sleep(1000);
        Sampler().ScanProcesses(false, autohide);
    }

    std::vector<Handle> Moved() const {
        std::vector<Handle> moved;
        for (const auto& move : machine.WindowMoves()) moved.push_back(move.window);
        return moved;
    }

    int Enumerations() const {
        const auto calls = machine.WindowWatchCalls();
        return static_cast<int>(std::count(calls.begin(), calls.end(), "EnumWindows"));
    }
};

TEST_F(UpdateWindowTest, WithAutohideOffNoWindowIsLookedAtOrMoved) {
    Window("Automatic Updates", kUpdateClient);
    Window("Update", kUpdateClient);
    Scan(false);
    EXPECT_TRUE(machine.WindowWatchCalls().empty());
    EXPECT_TRUE(machine.WindowMoves().empty());
}

TEST_F(UpdateWindowTest, TheTitledWindowOfTheClientGoesTo2048AtTheBottomOnce) {
    const Handle window = Window("Automatic Updates", kUpdateClient);
    Scan();
    Scan();
    const auto moves = machine.WindowMoves();
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].window, window);
    EXPECT_EQ(moves[0].insertAfter, platform::kHwndBottom);
    EXPECT_EQ(moves[0].x, 2048);
    EXPECT_EQ(moves[0].y, 2048);
    EXPECT_EQ(moves[0].cx, 1);
    EXPECT_EQ(moves[0].cy, 1);
    EXPECT_EQ(moves[0].flags, 0x30u);
    EXPECT_EQ(Enumerations(), 0);  // no snapshot needed
}

TEST_F(UpdateWindowTest, TheGermanTitleIsLookedForToo) {
    const Handle window = Window("Automatische Updates", kUpdateClient);
    Scan();
    EXPECT_EQ(Moved(), std::vector<Handle>{window});
}

TEST_F(UpdateWindowTest, AWindowAlreadyAtLeftOrTop2048IsNotMovedAgain) {
    Window("Automatic Updates", kUpdateClient, {2048, 0, 2049, 1});
    Scan();
    EXPECT_TRUE(machine.WindowMoves().empty());

    Window("Automatische Updates", kUpdateClient, {0, 2048, 1, 2049});
    machine.RemoveWindow(machine.platform().windows.FindWindowA(nullptr, "Automatic Updates"));
    Scan();
    EXPECT_TRUE(machine.WindowMoves().empty());
}

TEST_F(UpdateWindowTest, WhenTheTitledWindowBelongsToAnotherProcessTheClientsVisibleWindowsMove) {
    Window("Automatic Updates", kOtherProcess);
    const Handle shown = Window("Update", kUpdateClient);
    Window("Helper", kUpdateClient, {100, 100, 400, 300}, false);
    Window("Parked", kUpdateClient, {2048, 2048, 2049, 2049});
    const Handle dialog = Window("Dialog", kUpdateClient);
    machine.SetWindowExStyle(dialog, static_cast<std::int32_t>(platform::kWsExDlgModalFrame));
    Window("Someone else's", kOtherProcess);

    Scan();
    EXPECT_EQ(Moved(), std::vector<Handle>{shown});
    EXPECT_EQ(Enumerations(), 1);
    EXPECT_EQ(machine.WindowRect(shown)->left, 2048);
}

TEST_F(UpdateWindowTest, ATitledWindowWithADialogFrameSendsTheSearchToTheSnapshot) {
    const Handle titled = Window("Automatic Updates", kUpdateClient);
    machine.SetWindowExStyle(titled, 0x101);
    const Handle other = Window("Update", kUpdateClient);
    Scan();
    EXPECT_EQ(Moved(), std::vector<Handle>{other});
}

TEST_F(UpdateWindowTest, WithoutAnyTitledWindowTheSnapshotIsTakenOncePerScan) {
    const Handle window = Window("Update", kUpdateClient);
    machine.SetProcesses(
        {NamedProcess(kUpdateClient, u"wuauclt.exe"), NamedProcess(kOtherProcess, u"wuauclt.exe")});
    machine.platform().clock.Sleep(1000);
    Sampler().ScanProcesses(false, true);
    EXPECT_EQ(Enumerations(), 1);
    EXPECT_EQ(Moved(), std::vector<Handle>{window});
}

TEST(TWindowListTest, TheSnapshotHoldsOwnerBoundsAndVisibility) {
    sim::SimMachine machine;
    const Handle first = machine.AddWindow("A", "first");
    machine.SetWindowOwner(first, 12);
    machine.SetWindowRect(first, {-5, 10, 300, 200});
    const Handle second = machine.AddWindow("B", "second");
    machine.SetWindowVisible(second, false);

    const TWindowList list(machine.platform().windows);
    ASSERT_EQ(list.Count(), 2u);
    TWindowObject entry;
    ASSERT_TRUE(list.Get(0, entry));
    EXPECT_EQ(entry.Wnd, first);
    EXPECT_EQ(entry.ProcessId, 12u);
    EXPECT_EQ(entry.Bounds.left, -5);
    EXPECT_EQ(entry.Bounds.bottom, 200);
    EXPECT_EQ(entry.Flag, 1);
    EXPECT_TRUE(entry.Text.empty());
    ASSERT_TRUE(list.Get(1, entry));
    EXPECT_EQ(entry.Wnd, second);
    EXPECT_EQ(entry.Flag, 0);
    EXPECT_FALSE(list.Get(2, entry));
    EXPECT_EQ(entry.Wnd, second);  // left alone
}

}  // namespace
}  // namespace kxp::testing
