#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/SimMenus.h"
#include "tray/TPopupMenu.h"

namespace kxp::test {
namespace {

constexpr platform::Handle kWindow = 0x77;

TMenuItem Item(std::string name, std::u16string caption) {
    TMenuItem item;
    item.Name = std::move(name);
    item.Caption = std::move(caption);
    return item;
}

// Title, a hidden item, a separator, a submenu with two radio items, and a plain item.
class PopupMenuTest : public ::testing::Test {
  protected:
    PopupMenuTest() : menu(menus, "PopupMenu1") {
        TMenuItem hidden = Item("Debug1", u"Debug");
        hidden.Visible = false;
        hidden.Items.push_back(Item("d1", u"Watch"));
        TMenuItem interval = Item("miUpdateInterval", u"Update interval");
        interval.Items.push_back(Radio("miFast", u"Fast"));
        interval.Items.push_back(Radio("miSlow", u"Slow"));
        interval.OnPopup = [this] { menu.Find("miSlow")->Checked = true; };
        TMenuItem exit = Item("miExit", u"Exit");
        exit.OnClick = [this] { clicked.push_back("miExit"); };
        menu.Root().Items = {hidden, Item("N1", u"-"), interval, exit};
        menu.OnPopup = [this] { menu.Find("miExit")->Caption = u"Beenden"; };
    }

    TMenuItem Radio(const std::string& name, std::u16string caption) {
        TMenuItem radio = Item(name, std::move(caption));
        radio.RadioItem = true;
        radio.OnClick = [this, name] { clicked.push_back(name); };
        return radio;
    }

    sim::SimMenus menus;
    TPopupMenu menu;
    std::vector<std::string> clicked;
};

TEST_F(PopupMenuTest, ShowsVisibleItemsAsTheOpeningHandlersLeftThem) {
    menu.SetOwnerWindow(kWindow);
    menu.Popup({790, 590});

    const std::vector<sim::SimShownMenu> shown = menus.ShownMenus();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].window, kWindow);
    EXPECT_EQ(shown[0].x, 790);
    const std::vector<sim::SimMenuItem>& top = shown[0].menu.items;
    ASSERT_EQ(top.size(), 3u);  // the hidden submenu is left out
    EXPECT_TRUE(top[0].Separator());
    EXPECT_EQ(top[1].caption, u"Update interval");
    ASSERT_EQ(top[1].items.size(), 2u);
    EXPECT_TRUE(top[1].items[0].Radio());
    EXPECT_FALSE(top[1].items[0].Checked());
    EXPECT_TRUE(top[1].items[1].Checked());
    EXPECT_EQ(top[2].caption, u"Beenden");
    EXPECT_TRUE(clicked.empty());
    EXPECT_EQ(menus.LiveMenuCount(), 0);
}

struct ChoiceCase {
    std::vector<std::u16string> path;
    std::vector<std::string> clicked;
};

class PopupMenuChoiceTest : public PopupMenuTest,
                            public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(PopupMenuChoiceTest, RunsTheChosenItemOnly) {
    menus.ChooseOnNextPopup(GetParam().path);
    menu.Popup({0, 0});
    EXPECT_EQ(clicked, GetParam().clicked);
    EXPECT_EQ(menus.LiveMenuCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Choices, PopupMenuChoiceTest,
                         ::testing::Values(ChoiceCase{{u"Beenden"}, {"miExit"}},
                                           ChoiceCase{{u"Update interval", u"Slow"}, {"miSlow"}},
                                           ChoiceCase{{u"Update interval"},
                                                      {}},  // a submenu is not a command
                                           ChoiceCase{{u"Debug", u"Watch"}, {}},  // hidden
                                           ChoiceCase{{}, {}}));

}  // namespace
}  // namespace kxp::test
