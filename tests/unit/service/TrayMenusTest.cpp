// The tray menus on the simulated machine: what a right click shows, the values a choice writes,
// the check marks and titles set as a menu opens, the hints, and the clicks that switch sets.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ServiceFixture.h"
#include "lang/LanguageFileBytes.h"
#include "tray/DisplayModel.h"
#include "tray/TTrayIcon.h"
#include "tray/TTrayWindow.h"

namespace kxp::test {
namespace {

using platform::RegistryRoot;
using Path = std::vector<std::u16string>;

class TrayMenusTest : public ServiceTest {
  protected:
    TrayMenusTest() {
        SetMemory(4096, 1536);
        SetOption("Recover", 0);
        LogOn();
        sim.CreateKey(RegistryRoot::Users, UserKey());
        // The strings without a fallback: 33 for the interval items, 51 and 52 for the hints.
        std::u8string lines;
        for (int line = 1; line <= 52; ++line) {
            lines += line == 33   ? u8"=sec\r\n"
                     : line == 51 ? u8"=MB\r\n"
                     : line == 52 ? u8"=free\r\n"
                                  : u8"=\r\n";
        }
        AddLanguageFile("English", Utf8Bytes(u8"=$0409\r\n" + lines));
    }

    // On the service thread: posts the mouse message to tray icon 1's or 2's callback and waits
    // until the main thread has handled it.
    void Mouse(int icon, std::uint32_t message) {
        const platform::Handle window =
            sim.platform().windows.FindWindowA(kTrayWindowClass, nullptr);
        sim.platform().windows.PostMessageA(window, kTrayCallbackMessage,
                                            static_cast<std::uintptr_t>(icon), message);
        OnMainThread([] {});
    }
    void OnMainThread(std::function<void()> work) {
        std::atomic<bool> ran{false};
        service.PostToMainThread([&] {
            work();
            ran = true;
        });
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!ran && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
        ASSERT_TRUE(ran);
    }
    // Right-clicks the icon at the session check and chooses the path (none: the menu closes).
    void ChooseAt(int check, int icon, Path path) {
        AtSessionCheck(check, [this, icon, path] {
            sim.Menus().ChooseOnNextPopup(path);
            Mouse(icon, kWmRButtonDown);
        });
    }
    std::optional<sim::SimMenuItem> LastMenu() {
        const auto shown = sim.Menus().ShownMenus();
        if (shown.empty()) return std::nullopt;
        return shown.back().menu;
    }
    std::optional<std::int32_t> UserValue(const std::string& name) {
        const auto value = sim.GetValue(RegistryRoot::Users, UserKey(), name);
        if (!value || value->type != platform::kRegDword || value->data.size() != 4) {
            return std::nullopt;
        }
        std::int32_t number = 0;
        std::memcpy(&number, value->data.data(), 4);
        return number;
    }
};

// The caption paths of the checked items below an item.
void CollectChecked(const sim::SimMenuItem& item, Path path, std::vector<Path>& checked) {
    for (const sim::SimMenuItem& child : item.items) {
        Path here = path;
        here.push_back(child.caption);
        if (child.Checked()) checked.push_back(here);
        CollectChecked(child, here, checked);
    }
}

struct WriteCase {
    const char* name;
    std::int32_t alternate;  // icon 1's stored set
    int icon;
    Path path;
    std::vector<std::pair<std::string, std::optional<std::int32_t>>> values;
};

class TrayMenuWrite : public TrayMenusTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(TrayMenuWrite, AChoiceWritesItsValuesAsTheUser) {
    SetUserOption("Alternate", GetParam().alternate);
    ChooseAt(2, GetParam().icon, GetParam().path);
    RunPasses(3);
    for (const auto& [name, value] : GetParam().values) EXPECT_EQ(UserValue(name), value) << name;
    EXPECT_EQ(sim.OpenKeyCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, TrayMenuWrite,
    ::testing::Values(
        WriteCase{"GraphRamFreeOnIconTwo",
                  0,
                  2,
                  {u"Display", u"Graph", u"RAM Free"},
                  {{"t2_Display1", 2},
                   {"t2_Display2", 0},
                   {"t2_Transparent", 0},
                   {"Display1", 1},
                   {"Display2", 0},
                   {"Version", 150}}},
        WriteCase{"ProductIconOnIconOne",
                  0,
                  1,
                  {u"Display", u"KorvanelXP Icon"},
                  {{"Display1", 0}, {"Display2", 0}, {"t2_Display1", 2}, {"t2_Display2", 3}}},
        WriteCase{"AlternateSetTakesTheSuffix",
                  1,
                  1,
                  {u"Display", u"Block", u"CPU Usage - All"},
                  {{"Display1_2", 3}, {"Display2_2", 3}, {"Display1", std::nullopt}}},
        WriteCase{"IntervalWritesBothIcons",
                  0,
                  2,
                  {u"Update interval", u"10 sec"},
                  {{"t2_Refresh", 10000}, {"Refresh", 1000}, {"Version", std::nullopt}}},
        WriteCase{"NothingChosenWritesNothing", 0, 1, {}, {{"Display1", std::nullopt}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct CheckCase {
    const char* name;
    std::int32_t display1;
    std::int32_t display2;
    std::int32_t refresh;
    std::vector<Path> checked;
};

class TrayMenuChecks : public TrayMenusTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(TrayMenuChecks, OpeningChecksTheIconsDisplayAndInterval) {
    SetDisplay(1, GetParam().display1, GetParam().display2, kAliceSid);
    SetUserOption("Refresh", GetParam().refresh);
    ChooseAt(2, 1, {});
    RunPasses(2);
    const auto menu = LastMenu();
    ASSERT_TRUE(menu);
    std::vector<Path> checked;
    for (const char16_t* submenu : {u"Update interval", u"Display"}) {
        const sim::SimMenuItem* item = menu->At({submenu});
        ASSERT_NE(item, nullptr);
        CollectChecked(*item, {submenu}, checked);
    }
    EXPECT_EQ(checked, GetParam().checked);
}

INSTANTIATE_TEST_SUITE_P(
    Displays, TrayMenuChecks,
    ::testing::Values(
        CheckCase{"GraphPagingFile",
                  2,
                  12,
                  1000,
                  {{u"Update interval", u"1 sec"}, {u"Display", u"Graph", u"Paging File Usage"}}},
        CheckCase{"IntervalOutsideTheItems", 1, 0, 2000, {{u"Display", u"Numeric", u"RAM Free"}}},
        CheckCase{"ProductIcon",
                  0,
                  0,
                  60000,
                  {{u"Update interval", u"60 sec"}, {u"Display", u"KorvanelXP Icon"}}},
        CheckCase{"KindOutsideTheTable", 7, 0, 5000, {{u"Update interval", u"5 sec"}}},
        CheckCase{"MetricOutsideTheTable", 2, 13, 3000, {{u"Update interval", u"3 sec"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TrayMenusTest, TheTitleNamesTheDisplayAndGoesBackForTheProductIcon) {
    SetDisplay(1, dkGraph, dmCpuUsageAll, kAliceSid);
    ChooseAt(2, 1, {});
    ChooseAt(3, 1, {u"Display", u"KorvanelXP Icon"});
    ChooseAt(4, 1, {});
    RunPasses(4);
    const auto shown = sim.Menus().ShownMenus();
    ASSERT_EQ(shown.size(), 3u);
    // The hidden Debug submenu is not in the menu; the title comes first.
    EXPECT_EQ(shown[0].menu.items[0].caption,
              u"KorvanelXP Tray Icon 1 Display: CPU Usage - All (Graph)");
    EXPECT_EQ(shown[2].menu.items[0].caption, u"KorvanelXP - Tray Icon 1");
}

TEST_F(TrayMenusTest, CaptionsComeFromTheUsersLanguage) {
    std::u16string lines;
    for (int line = 1; line < 30; ++line) lines += u"=\r\n";
    AddLanguageFile("Russian", Utf16Bytes(u"=$0419\r\n" + lines + u"=Выход", false));
    SetUserText("Language", "Russian");
    ChooseAt(2, 2, {});
    RunPasses(2);
    const auto menu = LastMenu();
    ASSERT_TRUE(menu);
    ASSERT_NE(menu->At({u"Выход"}), nullptr);
    EXPECT_NE(menu->At({u"Display"}), nullptr);  // no string 35: the built-in caption
}

TEST_F(TrayMenusTest, PointingAtAnIconShowsItsFigureInTheHint) {
    SetDisplay(1, dkNumeric, dmRamFree, kAliceSid);
    SetDisplay(2, dkBlock, dmCpuUsageAll, kAliceSid);
    AtSessionCheck(2, [this] {
        Mouse(1, kWmMouseMove);
        Mouse(2, kWmMouseMove);
    });
    RunPasses(2);
    std::vector<std::u16string> tips;
    for (const auto& call : ShellCalls()) {
        if (call.message == platform::kNimModify && call.data.szTip[0] != 0) {
            tips.push_back(call.data.szTip);
        }
    }
    EXPECT_EQ(tips, (std::vector<std::u16string>{u"KorvanelXP | 1536 MB free",
                                                 u"KorvanelXP | CPU Usage - All (Block)"}));
}

TEST_F(TrayMenusTest, TwoClicksOnAnIconGoToTheAlternateSetAndBack) {
    std::vector<std::optional<std::int32_t>> stored;
    std::vector<std::string> suffixes;
    for (const int check : {2, 3}) {
        AtSessionCheck(check, [&] {
            OnMainThread([this] { service.TrayIcon1Click(); });
            stored.push_back(UserValue("Alternate"));
            suffixes.push_back(service.Config(1).Suffix);
        });
    }
    RunPasses(3);
    EXPECT_EQ(stored, (std::vector<std::optional<std::int32_t>>{1, 0}));
    EXPECT_EQ(suffixes, (std::vector<std::string>{"_2", ""}));
    EXPECT_EQ(service.Config(1).Display2, dmRamFree);
}

TEST_F(TrayMenusTest, AMenuChoiceAfterTheLogoffWritesNothing) {
    AtSessionCheck(2, [this] { LogOff(); });
    ChooseAt(4, 1, {u"Display", u"Graph", u"RAM Free"});
    RunPasses(4);
    EXPECT_EQ(UserValue("Display1"), std::nullopt);
    EXPECT_EQ(sim.OpenKeyCount(), 0);
}

TEST_F(TrayMenusTest, ShowCpuCountShowsItsBoxWithoutBlocking) {
    sim.SetProcessorCount(4);
    AtSessionCheck(2, [this] { OnMainThread([this] { service.ShowCPUCount1Click(); }); });
    RunPasses(2);
    std::vector<std::string> texts;
    for (const auto& box : sim.MessageBoxes()) texts.push_back(box.text);
    EXPECT_EQ(texts, std::vector<std::string>{"4"});
}

}  // namespace
}  // namespace kxp::test
