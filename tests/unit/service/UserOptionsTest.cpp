// ReadUserOptions as the service runs it: the records both icons draw from after a read, the
// stored format's version, the second icon's flag, the priority, a read stopped by a bad value,
// the language with its captions, and a read on the main thread while the service thread reads.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ServiceFixture.h"
#include "StoredValues.h"
#include "platform/RegistryKey.h"

namespace kxp::test {
namespace {

using platform::RegistryRoot;

class UserOptionsTest : public ServiceTest {
  public:
    // For the arrangements of the case tables.
    using ServiceTest::SetUserOption;
    using ServiceTest::SetUserText;

  protected:
    UserOptionsTest() {
        LogOn();
        settings = AddSettingsWindow();
        sim.CreateKey(RegistryRoot::Users, UserKey());
    }

    void DeleteUserOption(const std::string& name) {
        RegistryKey::OpenWrite(sim.platform().registry, RegistryRoot::Users, UserKey(), false)
            .DeleteValue(name);
    }
    platform::Handle settings = 0;
};

TEST_F(UserOptionsTest, AnEmptyKeyGivesTheDefaultsOfBothIcons) {
    RunPasses(1);
    const TConfig icon1 = service.Config(1);
    const TConfig icon2 = service.Config(2);
    EXPECT_EQ((std::vector<std::int32_t>{icon1.Display1, icon1.Display2}),
              (std::vector<std::int32_t>{1, 0}));  // free RAM as digits
    EXPECT_EQ((std::vector<std::int32_t>{icon2.Display1, icon2.Display2}),
              (std::vector<std::int32_t>{2, 3}));  // a graph of the processor load
    EXPECT_EQ(icon1.ForeColor, 0x00FF00u);
    EXPECT_EQ(icon2.ForeColor, 0x00FFFFu);
    EXPECT_EQ(icon1.BackColor, 0u);
    EXPECT_EQ(icon2.BackColor, 0u);
    // Fonts left at the window-text colour draw in ForeColor.
    EXPECT_EQ(icon1.Font2.Color, 0x00FF00u);
    EXPECT_EQ(icon2.Font3.Color, 0x00FFFFu);
    EXPECT_FALSE(icon1.Hotkey1Enabled);
    EXPECT_TRUE(icon1.Hotkey2Enabled && icon1.Hotkey2Ctrl && icon1.Hotkey2Alt);
    EXPECT_EQ(icon1.HotKey2, 10);
    EXPECT_FALSE(service.FirstRun);
    EXPECT_FALSE(Traced("firstrun!"));
}

struct OptionCase {
    const char* name;
    std::function<void(UserOptionsTest&)> arrange;
    std::function<void(const TConfig& icon1, const TConfig& icon2)> check;
};

class StoredOptions : public UserOptionsTest, public ::testing::WithParamInterface<OptionCase> {};

TEST_P(StoredOptions, AreInTheRecordsAfterTheStartsRead) {
    GetParam().arrange(*this);
    RunPasses(1);
    GetParam().check(service.Config(1), service.Config(2));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredOptions,
    ::testing::Values(
        OptionCase{"AlternateAloneShowsThePagingFileInRedViolet",
                   [](auto& t) { t.SetUserOption("Alternate", 1); },
                   [](const TConfig& c, const TConfig&) {
                       EXPECT_EQ(c.Display1, 1);
                       EXPECT_EQ(c.Display2, 12);
                       EXPECT_EQ(c.ForeColor, 0x8000FFu);
                       EXPECT_EQ(c.BackColor, 0u);
                       EXPECT_EQ(c.Suffix, "_2");
                   }},
        OptionCase{"AlternateOtherThanOneIsThePrimarySet",
                   [](auto& t) {
                       t.SetUserOption("Alternate", 2);
                       t.SetUserOption("Display2_2", 5);
                   },
                   [](const TConfig& c, const TConfig&) {
                       EXPECT_EQ(c.Display2, 0);
                       EXPECT_EQ(c.Suffix, "");
                   }},
        OptionCase{"WhiteBecomesAlmostWhiteAndWindowTextFontsFollow",
                   [](auto& t) { t.SetUserText("ForeColor", "clWhite"); },
                   [](const TConfig& c, const TConfig&) {
                       EXPECT_EQ(c.ForeColor, 0xFFFFFEu);
                       EXPECT_EQ(c.Font1.Color, 0xFFFFFEu);
                       EXPECT_EQ(c.Font3.Color, 0xFFFFFEu);
                   }},
        OptionCase{"BlackFontsFollowForeColorOthersKeepTheirs",
                   [](auto& t) {
                       t.SetUserText("ForeColor", "$000000FF");
                       t.SetUserText("Font1Color", "clBlack");
                       t.SetUserText("Font2Color", "$00FF0000");
                   },
                   [](const TConfig& c, const TConfig&) {
                       EXPECT_EQ(c.Font1.Color, 0x0000FFu);
                       EXPECT_EQ(c.Font2.Color, 0xFF0000u);
                   }},
        OptionCase{"Version149IgnoresDisplayValuesButReadsHotKeysAndRefresh",
                   [](auto& t) {
                       t.SetUserOption("Version", 149);
                       t.SetUserOption("Display1", 3);
                       t.SetUserOption("ForeColor", 7);  // wrong-typed, but never read
                       t.SetUserOption("HotKey1", 20);
                       t.SetUserOption("Refresh", 3000);
                       t.SetUserOption("t2_Display2", 6);
                   },
                   [](const TConfig& c, const TConfig& c2) {
                       EXPECT_EQ(c.Display1, 1);
                       EXPECT_EQ(c.HotKey1, 20);
                       EXPECT_EQ(c.Refresh, 3000);
                       EXPECT_EQ(c2.Display2, 3);
                   }},
        OptionCase{"Font2BoldZeroRemovesBold", [](auto& t) { t.SetUserOption("Font2Bold", 0); },
                   [](const TConfig& c, const TConfig&) {
                       EXPECT_FALSE(c.Font2.Bold);
                       EXPECT_TRUE(c.Font1.Bold);
                   }},
        OptionCase{"AbsentFont2BoldLeavesBold", [](auto&) {},
                   [](const TConfig& c, const TConfig& c2) {
                       EXPECT_TRUE(c.Font2.Bold);
                       EXPECT_TRUE(c2.Font2.Bold);
                   }},
        OptionCase{"T2Display2OnlyInIcon2sPass", [](auto& t) { t.SetUserOption("t2_Display2", 7); },
                   [](const TConfig& c, const TConfig& c2) {
                       EXPECT_EQ(c.Display2, 0);
                       EXPECT_EQ(c2.Display2, 7);
                   }},
        OptionCase{"Display2AloneNeverChangesIcon2",
                   [](auto& t) { t.SetUserOption("Display2", 5); },
                   [](const TConfig& c, const TConfig& c2) {
                       EXPECT_EQ(c.Display2, 5);
                       EXPECT_EQ(c2.Display2, 3);
                   }},
        OptionCase{"Icon2sAlternateSetReadsItsOwnNames",
                   [](auto& t) {
                       t.SetUserOption("t2_Alternate", 1);
                       t.SetUserOption("t2_Display2_2", 9);
                       t.SetUserOption("t2_Display2", 4);
                   },
                   [](const TConfig& c, const TConfig& c2) {
                       EXPECT_EQ(c2.Display2, 9);
                       EXPECT_EQ(c2.ForeColor, 0x8000FFu);
                       EXPECT_EQ(c2.Suffix, "_2");
                       EXPECT_EQ(c.Suffix, "");
                   }},
        OptionCase{"NamesMatchWithoutRegardToCase",
                   [](auto& t) { t.SetUserOption("T2_DISPLAY1", 3); },
                   [](const TConfig&, const TConfig& c2) { EXPECT_EQ(c2.Display1, 3); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UserOptionsTest, AutohideReachesTheProcessScan) {
    SetUserOption("Autohide", 1);
    RunPasses(1);
    EXPECT_TRUE(service.Autohide);
}

struct PriorityCase {
    std::int32_t realtime;
    std::uint32_t priorityClass;
};

class ServicePriority : public UserOptionsTest,
                        public ::testing::WithParamInterface<PriorityCase> {};

TEST_P(ServicePriority, FollowsRealtimeAtEveryRead) {
    SetUserOption("Realtime", GetParam().realtime);
    ControlDuringPass(1, SV_READUSEROPTIONS);
    RunPasses(2);
    EXPECT_EQ(sim.PriorityClasses(),
              (std::vector<std::uint32_t>{GetParam().priorityClass, GetParam().priorityClass}));
}

INSTANTIATE_TEST_SUITE_P(Realtime, ServicePriority,
                         ::testing::Values(PriorityCase{1, 0x80}, PriorityCase{0, 0x20}));

TEST_F(UserOptionsTest, NoSecondTrayRemovedAfterOneKeepsIcon2Hidden) {
    SetUserOption("NoSecondTray", 1);
    std::vector<bool> hidden;
    AtSessionCheck(1, [&] {
        hidden.push_back(service.Config(1).NoSecondTray);
        DeleteUserOption("NoSecondTray");
        service.ReadUserOptionsRequested = true;
    });
    AtSessionCheck(2, [&] {
        hidden.push_back(service.Config(1).NoSecondTray);
        SetUserOption("NoSecondTray", 0);
        service.ReadUserOptionsRequested = true;
    });
    AtSessionCheck(3, [&] { hidden.push_back(service.Config(1).NoSecondTray); });
    RunPasses(3);
    EXPECT_EQ(hidden, (std::vector<bool>{true, true, false}));
}

TEST_F(UserOptionsTest, Icon2IsShownOrHiddenAtOnceOnlyOnceTheIconsExist) {
    SetUserOption("NoSecondTray", 1);
    AtSessionCheck(1, [&] {
        service.IconsCreated = true;
        service.ReadUserOptionsRequested = true;
    });
    RunPasses(2);
    EXPECT_EQ(PassesOf("icon 2 hidden"), std::vector<int>{2});
    EXPECT_FALSE(Traced("icon 2 shown"));
}

TEST_F(UserOptionsTest, AWrongTypedValueEndsTheReadNotTheService) {
    SetUserOption("Display1", 3);
    sim.SetValue(RegistryRoot::Users, UserKey(), "Font1Size", {platform::kRegSz, {'9', 0}});
    SetUserOption("X1", 9);
    SetUserOption("t2_Display1", 3);
    ControlDuringPass(1, SV_READUSEROPTIONS);
    RunPasses(3);
    EXPECT_EQ(Passes(), 3);
    EXPECT_EQ(PassesOf("###### ReadUserOptions error: Invalid data type for 'Font1Size'"),
              (std::vector<int>{1, 2}));
    const TConfig icon1 = service.Config(1);
    EXPECT_EQ(icon1.Display1, 3);              // read before the bad value
    EXPECT_EQ(icon1.X1, 5);                    // after it: the default
    EXPECT_EQ(service.Config(2).Display1, 2);  // icon 2's pass never ran
    EXPECT_EQ(icon1.Font1.Color, 0x00FF00u);   // the colour rules still hold
    EXPECT_FALSE(service.UserOptionsBusy);     // the end of the read ran
    EXPECT_FALSE(Traced("BuildHotkeys"));      // the later steps did not
    EXPECT_TRUE(TracesStartingWith({"language: "}).empty());
}

TEST_F(UserOptionsTest, ABadColourTextEndsTheReadWithWhatCameBefore) {
    SetUserOption("Display2", 4);
    SetUserText("BackColor", "clPink");
    SetUserOption("Center1", 0);
    RunPasses(1);
    EXPECT_TRUE(Traced("###### ReadUserOptions error: Invalid colour text for 'BackColor'"));
    EXPECT_EQ(service.Config(1).Display2, 4);
    EXPECT_TRUE(service.Config(1).Center1);
}

TEST_F(UserOptionsTest, AReadOnTheMainThreadDuringOneOnTheServiceThreadIsLeftToTheLoop) {
    std::optional<bool> requested;
    std::atomic<bool> seen{false};
    onTrace = [&](const std::string& line) {
        if (line != "****** Tray Icon 2 ****** " || seen.exchange(true)) return;
        // The service thread is half-way through the start's read: an icon click reads now.
        auto done = std::make_shared<std::promise<bool>>();
        auto result = done->get_future();
        service.PostToMainThread([this, done] {
            service.ReadUserOptionsOrTrace();
            done->set_value(service.ReadUserOptionsRequested);
        });
        if (result.wait_for(std::chrono::seconds(10)) == std::future_status::ready) {
            requested = result.get();
        }
    };
    RunPasses(2);
    EXPECT_EQ(requested, std::optional<bool>(true));
    // The start's read, then the loop's in the first pass; the click's read never ran beside it.
    EXPECT_EQ(PassesOf("language: English"), (std::vector<int>{1, 1}));
    EXPECT_EQ(TraceCount("****** Tray Icon 2 ****** "), 2);
}

struct BadInputCase {
    const char* name;
    const char* option;
    sim::SimRegistryValue value;
};

class BadUserInput : public UserOptionsTest, public ::testing::WithParamInterface<BadInputCase> {};

TEST_P(BadUserInput, TheServiceKeepsRunningAndDrawing) {
    sim.SetValue(RegistryRoot::Users, UserKey(), GetParam().option, GetParam().value);
    ControlDuringPass(2, SV_READUSEROPTIONS);
    RunPasses(4);
    EXPECT_EQ(Passes(), 4);
    EXPECT_FALSE(service.UserOptionsBusy);
    EXPECT_EQ(TraceCount("+++++++++++ QUIT user +++++++++++++"), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Values, BadUserInput,
    ::testing::Values(BadInputCase{"RefreshZero", "Refresh", Dword(0)},
                      BadInputCase{"RefreshNegative", "Refresh", Dword(0xFFFFFFFF)},
                      BadInputCase{"RefreshHuge", "t2_Refresh", Dword(0x7FFFFFFF)},
                      BadInputCase{"DisplayKindHuge", "Display1", Dword(0xFFFFFFFF)},
                      BadInputCase{"MetricHuge", "t2_Display2", Dword(0x7FFFFFFF)},
                      BadInputCase{"FontSizeNegative", "Font1Size", Dword(0x80000000)},
                      BadInputCase{"HotKeyHuge", "HotKey2", Dword(0xFFFFFFFF)},
                      BadInputCase{"FontName64K", "Font2", Text(std::string(65536, 'x'))},
                      BadInputCase{"EmptyFontName", "Font3", Text("")},
                      BadInputCase{"Language64K", "Language", Text(std::string(65536, 'L'))},
                      BadInputCase{"EmptyLanguage", "Language", Text("")},
                      BadInputCase{"EmptyValueOfNoType", "Realtime", {platform::kRegNone, {}}},
                      BadInputCase{"ColourAsDword", "t2_ForeColor", Dword(255)}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kxp::test
