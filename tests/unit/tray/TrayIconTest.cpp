// The tray icon component on the simulated machine: the shell calls it makes, the hint as the
// shell gets it, and the mouse table, with the timers on virtual time. The test's thread owns the
// shared window, so its messages run when the test pumps them.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/SimMachine.h"
#include "tray/TTrayIcon.h"

namespace kxp::test {
namespace {

class RecordingMenu final : public TTrayPopupMenu {
  public:
    bool AutoPopup() const override { return autoPopup; }
    void Popup(platform::Point at) override { popups.push_back(at); }
    void ClickDefaultItem() override { ++defaultClicks; }

    bool autoPopup = true;
    std::vector<platform::Point> popups;
    int defaultClicks = 0;
};

class TrayIconTest : public ::testing::Test {
  protected:
    TrayIconTest()
        : platform(sim.platform()), window(std::make_shared<TTrayWindow>(platform.windows)) {
        images.Add(OwnedIcon(platform.drawing.LoadIconResource("BUSYICON"),
                             DestroyIconWith{&platform.drawing}));
        images.Add(OwnedIcon(platform.drawing.LoadIconResource("MAINICON"),
                             DestroyIconWith{&platform.drawing}));
        icon.emplace(platform, window);
        icon->SetIconList(&images);
        icon->WantEnterExitEvents = true;
        icon->OnClick = [this] { events += "click "; };
        icon->OnDblClick = [this] { events += "double "; };
        icon->OnMouseEnter = [this] { events += "enter "; };
        icon->OnMouseExit = [this] { events += "exit "; };
        icon->OnMouseDown = [this](TMouseButton button) { events += Down(button); };
        icon->OnMouseUp = [this](TMouseButton button) { events += Up(button); };
    }

    static std::string Down(TMouseButton button) {
        return button == TMouseButton::mbLeft    ? "ldown "
               : button == TMouseButton::mbRight ? "rdown "
                                                 : "mdown ";
    }
    static std::string Up(TMouseButton button) {
        return button == TMouseButton::mbLeft    ? "lup "
               : button == TMouseButton::mbRight ? "rup "
                                                 : "mup ";
    }

    // The shell's callback for the icon, as the shell posts it, then handled.
    void Mouse(std::uint32_t message) {
        platform.windows.PostMessageA(window->Window(), kTrayCallbackMessage, icon->Identifier(),
                                      static_cast<std::intptr_t>(message));
        platform.windows.PumpThreadMessages();
    }
    // Virtual time goes on; the timers that fall due tick.
    void Wait(std::uint32_t milliseconds) {
        platform.clock.Sleep(milliseconds);
        platform.windows.PumpThreadMessages();
    }
    std::vector<std::uint32_t> ShellMessages() {
        std::vector<std::uint32_t> messages;
        for (const auto& call : sim.Desktop().ShellCalls()) messages.push_back(call.message);
        return messages;
    }
    sim::SimShellCall LastCall() {
        const auto calls = sim.Desktop().ShellCalls();
        return calls.empty() ? sim::SimShellCall{} : calls.back();
    }

    sim::SimMachine sim;
    platform::Platform& platform;
    TImageList images;
    std::shared_ptr<TTrayWindow> window;
    std::optional<TTrayIcon> icon;
    std::string events;
};

TEST_F(TrayIconTest, EachOperationMakesItsShellCallWithTheWholeRecord) {
    icon->Loaded();
    icon->SetIconVisible(true);
    icon->SetIconIndex(1);
    icon->SetHint(u"KorvanelXP | 512");
    icon->SetIconVisible(false);
    EXPECT_EQ(ShellMessages(),
              (std::vector<std::uint32_t>{platform::kNimDelete, platform::kNimSetVersion,
                                          platform::kNimAdd, platform::kNimModify,
                                          platform::kNimModify, platform::kNimDelete}));
    const auto calls = sim.Desktop().ShellCalls();
    const platform::NotifyIconData& hinted = calls[4].data;
    EXPECT_EQ(hinted.cbSize, sizeof(platform::NotifyIconData));
    EXPECT_EQ(hinted.hWnd, window->Window());
    EXPECT_EQ(hinted.uID, icon->Identifier());
    EXPECT_EQ(hinted.uFlags, 7u);
    EXPECT_EQ(hinted.uCallbackMessage, 2048u);
    EXPECT_EQ(hinted.hIcon, images.Image(1));
    EXPECT_EQ(std::u16string(hinted.szTip), u"KorvanelXP | 512");
    EXPECT_EQ(calls[1].data.uVersion, 0u);
}

TEST_F(TrayIconTest, AHiddenIconTakesChangesWithoutShellCallsAndShowsThemWhenAdded) {
    icon->SetIconIndex(1);
    icon->SetHint(u"later");
    EXPECT_TRUE(ShellMessages().empty());
    icon->SetIconVisible(true);
    EXPECT_EQ(LastCall().message, platform::kNimAdd);
    EXPECT_EQ(LastCall().data.hIcon, images.Image(1));
    EXPECT_EQ(std::u16string(LastCall().data.szTip), u"later");
}

struct TipCase {
    const char* name;
    std::u16string hint;
    bool showHint;
    std::u16string tip;
};

class TipTable : public TrayIconTest, public ::testing::WithParamInterface<TipCase> {};

TEST_P(TipTable, TheShellGetsTheHintCutTo127UnitsAndTerminated) {
    icon->SetIconVisible(true);
    icon->SetShowHint(GetParam().showHint);
    icon->SetHint(GetParam().hint);
    const platform::NotifyIconData& data = LastCall().data;
    EXPECT_EQ(std::u16string(data.szTip), GetParam().tip);
    EXPECT_EQ(data.szTip[127], u'\0');
    EXPECT_EQ(icon->Hint(), GetParam().hint);  // kept whole
}

INSTANTIATE_TEST_SUITE_P(
    Tips, TipTable,
    ::testing::Values(
        TipCase{"Short", u"KorvanelXP", true, u"KorvanelXP"}, TipCase{"Empty", u"", true, u""},
        TipCase{"Exactly127", std::u16string(127, u'a'), true, std::u16string(127, u'a')},
        TipCase{"TwoHundred", std::u16string(200, u'x'), true, std::u16string(127, u'x')},
        // A character outside the basic plane is never cut in half.
        TipCase{"PairAtTheCut", std::u16string(126, u'y') + u"\U0001F600z", true,
                std::u16string(126, u'y')},
        TipCase{"Cyrillic", u"Свободно 512 МБ", true, u"Свободно 512 МБ"},
        TipCase{"HintsOff", u"KorvanelXP", false, u""}),
    [](const auto& info) { return std::string(info.param.name); });

struct IndexCase {
    int index;
    int shown;
};

class IconIndexTable : public TrayIconTest, public ::testing::WithParamInterface<IndexCase> {};

TEST_P(IconIndexTable, AnIndexOutsideTheListShowsTheNearestImage) {
    icon->SetIconVisible(true);
    icon->SetIconIndex(GetParam().index);
    EXPECT_EQ(icon->IconIndex(), GetParam().shown);
    EXPECT_EQ(LastCall().data.hIcon, images.Image(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(Indexes, IconIndexTable,
                         ::testing::Values(IndexCase{0, 0}, IndexCase{1, 1}, IndexCase{5, 1},
                                           IndexCase{-3, 0}));

TEST_F(TrayIconTest, AnIconOfItsOwnGoesOnlyOnceTheShellHasItsSuccessor) {
    icon->SetIconVisible(true);
    const int before = sim.Desktop().LiveObjectCount();
    std::vector<platform::Handle> handles;
    for (int i = 0; i < 3; ++i) {
        const platform::Handle made = platform.drawing.LoadIconResource("MAINICON");
        handles.push_back(made);
        icon->SetIcon(OwnedIcon(made, DestroyIconWith{&platform.drawing}));
        EXPECT_EQ(LastCall().data.hIcon, made);
        EXPECT_TRUE(sim.Desktop().Icon(made).has_value());
        if (i > 0) {
            EXPECT_FALSE(sim.Desktop().Icon(handles[i - 1]).has_value());
        }
    }
    EXPECT_EQ(sim.Desktop().LiveObjectCount(), before + 1);
    icon->SetIconIndex(0);  // back to the list's image: its own icon goes
    EXPECT_EQ(sim.Desktop().LiveObjectCount(), before);
    EXPECT_EQ(sim.Desktop().BadReleaseCount(), 0);
}

TEST_F(TrayIconTest, OnlyVisibleIconsComeBackWhenTheShellStartsAgain) {
    TTrayIcon hidden(platform, window);
    icon->SetIconVisible(true);
    const auto taskbarCreated = platform.windows.RegisterWindowMessageA("TaskbarCreated");
    const std::size_t before = sim.Desktop().ShellCalls().size();
    platform.windows.PostMessageA(window->Window(), taskbarCreated, 0, 0);
    platform.windows.PumpThreadMessages();
    const auto calls = sim.Desktop().ShellCalls();
    ASSERT_EQ(calls.size(), before + 1);
    EXPECT_EQ(calls.back().message, platform::kNimAdd);
    EXPECT_EQ(calls.back().data.uID, icon->Identifier());
    EXPECT_NE(hidden.Identifier(), icon->Identifier());
}

TEST_F(TrayIconTest, TheLastIconTakesTheSharedWindowWithIt) {
    const platform::Handle shared = window->Window();
    EXPECT_NE(platform.windows.FindWindowA(kTrayWindowClass, nullptr), 0u);
    {
        TTrayIcon second(platform, window);
        icon.reset();
        window.reset();
        EXPECT_EQ(platform.windows.FindWindowA(kTrayWindowClass, nullptr), shared);
    }
    EXPECT_EQ(platform.windows.FindWindowA(kTrayWindowClass, nullptr), 0u);
}

TEST_F(TrayIconTest, AVisibleIconLeavesTheShellWhenItEnds) {
    icon->SetIconVisible(true);
    icon.reset();
    EXPECT_EQ(LastCall().message, platform::kNimDelete);
}

// One step of a mouse script: a callback message, or time going by.
struct Step {
    std::uint32_t message = 0;
    std::uint32_t waitMs = 0;
};

struct MouseCase {
    const char* name;
    std::vector<Step> steps;
    std::string events;
};

class MouseTable : public TrayIconTest, public ::testing::WithParamInterface<MouseCase> {};

TEST_P(MouseTable, EventsAsTheTableDeliversThem) {
    sim.Desktop().SetDoubleClickTime(500);
    for (const Step& step : GetParam().steps) {
        if (step.message != 0) Mouse(step.message);
        if (step.waitMs != 0) Wait(step.waitMs);
    }
    EXPECT_EQ(events, GetParam().events);
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, MouseTable,
    ::testing::Values(
        MouseCase{"ClickWaitsForTheDoubleClickTime",
                  {{kWmLButtonDown}, {kWmLButtonUp}, {0, 499}},
                  "ldown lup "},
        MouseCase{"ClickArrivesOnceTheTimeHasPassed",
                  {{kWmLButtonDown}, {kWmLButtonUp}, {0, 499}, {0, 1}},
                  "ldown lup click "},
        MouseCase{"DoubleClickIsOnlyADoubleClick",
                  {{kWmLButtonDown}, {kWmLButtonUp}, {kWmLButtonDblClk}, {kWmLButtonUp}, {0, 600}},
                  "ldown lup double lup "},
        MouseCase{"UpWithoutDownIsNoClick", {{kWmLButtonUp}, {0, 600}}, "lup "},
        // A wheel message and a shell notification the component does not know.
        MouseCase{"UnknownMessagesAreIgnored", {{0x020A}, {0x0405}, {0, 600}}, ""},
        MouseCase{"RightAndMiddleButtons",
                  {{kWmRButtonDown}, {kWmRButtonUp}, {kWmMButtonDown}, {kWmMButtonUp}},
                  "rdown rup mdown mup "},
        MouseCase{"TwoClicksFarApartAreTwoClicks",
                  {{kWmLButtonDown},
                   {kWmLButtonUp},
                   {0, 600},
                   {kWmLButtonDown},
                   {kWmLButtonUp},
                   {0, 600}},
                  "ldown lup click ldown lup click "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TrayIconTest, WithoutADoubleClickHandlerAClickIsDeliveredAtOnce) {
    icon->OnDblClick = nullptr;
    Mouse(kWmLButtonDown);
    Mouse(kWmLButtonUp);
    EXPECT_EQ(events, "ldown click lup ");
}

TEST_F(TrayIconTest, DisabledIconsDeliverNothing) {
    icon->Enabled = false;
    for (auto message : {kWmMouseMove, kWmLButtonDown, kWmLButtonUp, kWmRButtonDown}) {
        Mouse(message);
    }
    Wait(600);
    EXPECT_EQ(events, "");
}

TEST_F(TrayIconTest, ThePointerEntersOnceAndLeavesWhenItMovesOffTheIcon) {
    sim.Desktop().SetCursorPos({790, 590});
    Mouse(kWmMouseMove);
    Mouse(kWmMouseMove);
    Wait(100);  // still where it was
    EXPECT_EQ(events, "enter ");
    sim.Desktop().SetCursorPos({400, 300});
    Wait(20);
    EXPECT_EQ(events, "enter exit ");
    Mouse(kWmMouseMove);
    EXPECT_EQ(events, "enter exit enter ");
}

TEST_F(TrayIconTest, WithoutEnterExitEventsThePointerRaisesNeither) {
    icon->WantEnterExitEvents = false;
    Mouse(kWmMouseMove);
    sim.Desktop().SetCursorPos({1, 1});
    Wait(100);
    EXPECT_EQ(events, "");
}

TEST_F(TrayIconTest, RightClickOpensTheMenuAtTheCursorWithTheWindowInFront) {
    RecordingMenu menu;
    icon->SetPopupMenu(&menu);
    sim.Desktop().SetCursorPos({785, 589});
    Mouse(kWmRButtonDown);
    Mouse(kWmRButtonUp);
    ASSERT_EQ(menu.popups.size(), 1u);
    EXPECT_EQ(menu.popups[0].x, 785);
    EXPECT_EQ(menu.popups[0].y, 589);
    EXPECT_EQ(platform.windows.GetForegroundWindow(), window->Window());
    EXPECT_EQ(events, "rdown rup ");
}

TEST_F(TrayIconTest, RightClickWithoutAMenuRaisesOnlyTheButtonEvents) {
    Mouse(kWmRButtonDown);
    Mouse(kWmRButtonUp);
    EXPECT_EQ(events, "rdown rup ");
    EXPECT_EQ(platform.windows.GetForegroundWindow(), 0u);
}

TEST_F(TrayIconTest, LeftPopupOpensTheMenuOnTheLeftButtonOnly) {
    RecordingMenu menu;
    icon->SetPopupMenu(&menu);
    icon->LeftPopup = true;
    Mouse(kWmRButtonDown);
    EXPECT_TRUE(menu.popups.empty());
    Mouse(kWmLButtonDown);
    EXPECT_EQ(menu.popups.size(), 1u);
}

TEST_F(TrayIconTest, AMenuThatDoesNotPopUpByItselfStaysShut) {
    RecordingMenu menu;
    menu.autoPopup = false;
    icon->SetPopupMenu(&menu);
    Mouse(kWmRButtonDown);
    EXPECT_TRUE(menu.popups.empty());
}

TEST_F(TrayIconTest, ADoubleClickClicksTheMenusDefaultItem) {
    RecordingMenu menu;
    icon->SetPopupMenu(&menu);
    Mouse(kWmLButtonDblClk);
    EXPECT_EQ(menu.defaultClicks, 1);
    EXPECT_EQ(events, "double ");
}

}  // namespace
}  // namespace kxp::test
