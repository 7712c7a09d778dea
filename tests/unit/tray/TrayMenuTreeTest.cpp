#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/SimMenus.h"
#include "tray/TrayMenuTree.h"

namespace kxp::test {
namespace {

std::vector<std::string> TopNames(TPopupMenu& menu) {
    std::vector<std::string> names;
    for (const TMenuItem& item : menu.Root().Items) names.push_back(item.Name);
    return names;
}

TEST(TrayMenuTreeTest, BothMenusHoldTheItemsInMenuOrder) {
    sim::SimMenus menus;
    TPopupMenu menu1(menus, "PopupMenu1");
    TPopupMenu menu2(menus, "PopupMenu2");
    BuildTrayMenu(menu1, 1, {});
    BuildTrayMenu(menu2, 2, {});

    EXPECT_EQ(TopNames(menu1),
              (std::vector<std::string>{"Debug1", "MenuItemTrayIcon1", "N1", "miExit", "N4",
                                        "miLoadWin", "miUpdateInterval", "miDisplay", "N3",
                                        "miAutoRecovery", "miRecoverRam", "N2", "miSettings"}));
    EXPECT_EQ(TopNames(menu2),
              (std::vector<std::string>{"MenuItemTrayIcon2", "N5", "mi2Exit", "N4b", "mi2LoadWin",
                                        "mi2UpdateInterval", "mi2Display", "N3b", "mi2AutoRecovery",
                                        "mi2RecoverRam", "N2b", "mi2Settings"}));
    int displayItems = 0;
    menu2.Root().ForEach([&displayItems](TMenuItem& item) {
        if (item.Name.rfind("mi2D_", 0) == 0 && item.Items.empty()) ++displayItems;
    });
    EXPECT_EQ(displayItems, 40);
    ASSERT_NE(menu1.Find("Debug1"), nullptr);
    EXPECT_FALSE(menu1.Find("Debug1")->Visible);
}

struct ItemCase {
    int icon;
    const char* name;
    const char16_t* caption;
};

class TrayMenuItemTest : public ::testing::TestWithParam<ItemCase> {};

TEST_P(TrayMenuItemTest, ItemHasItsBuiltInCaption) {
    sim::SimMenus menus;
    TPopupMenu menu(menus, "PopupMenu");
    BuildTrayMenu(menu, GetParam().icon, {});
    const TMenuItem* item = menu.Find(GetParam().name);
    ASSERT_NE(item, nullptr) << GetParam().name;
    EXPECT_EQ(item->Caption, GetParam().caption);
}

INSTANTIATE_TEST_SUITE_P(Items, TrayMenuItemTest,
                         ::testing::Values(ItemCase{1, "miUpdateInterval60sec", u"60 sec"},
                                           ItemCase{2, "mi2UpdateInterval1sec", u"1 sec"},
                                           ItemCase{1, "miD_Icon", u"KorvanelXP Icon"},
                                           ItemCase{2, "mi2D_Block", u"Block"},
                                           ItemCase{2, "mi2D_Graph_PF", u"Paging File Usage"},
                                           ItemCase{1, "miD_Numeric_CpuUsageCore4",
                                                    u"CPU Usage - Core 4"},
                                           ItemCase{1, "ShowCPUCount1", u"Show CPU Count"},
                                           ItemCase{1, "d6", u"Long Sleep"}));

TEST(TrayMenuTreeTest, ChoosingAnItemCallsItsHandlerWithItsCode) {
    sim::SimMenus menus;
    TPopupMenu menu(menus, "PopupMenu2");
    std::vector<std::string> calls;
    TrayMenuHandlers handlers;
    handlers.Display = [&calls](DisplayCode code) {
        calls.push_back("display " + std::to_string(code.Kind) + " " + std::to_string(code.Metric));
    };
    handlers.Interval = [&calls](std::int32_t ms) { calls.push_back(std::to_string(ms)); };
    BuildTrayMenu(menu, 2, handlers);

    menus.ChooseOnNextPopup({u"Display", u"Graph", u"RAM Free"});
    menu.Popup({0, 0});
    menus.ChooseOnNextPopup({u"Update interval", u"10 sec"});
    menu.Popup({0, 0});

    EXPECT_EQ(calls, (std::vector<std::string>{"display 2 0", "10000"}));
}

}  // namespace
}  // namespace kxp::test
