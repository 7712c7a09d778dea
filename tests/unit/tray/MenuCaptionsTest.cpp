// The menu captions from a language's strings: which string each item takes, what a missing one
// leaves, the interval items, and the items of cores 3 and 4 made from those of core 2.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

#include "tray/MenuCaptions.h"

namespace kxp {
namespace {

using Strings = std::map<std::int64_t, std::u16string>;

CaptionLookup From(const Strings& strings) {
    return [strings](std::int64_t number) {
        const auto found = strings.find(number);
        return found == strings.end() ? std::u16string() : found->second;
    };
}

TEST(MenuCaptions, BothMenusHaveTheSameItemsUnderTheirOwnNames) {
    const TMenuCaptions captions = DefaultMenuCaptions();
    ASSERT_EQ(captions.Menu1.size(), 55u);  // 13 fixed items and 3 display kinds of 1 + 13
    ASSERT_EQ(captions.Menu2.size(), captions.Menu1.size());
    for (std::size_t i = 0; i < captions.Menu1.size(); ++i) {
        EXPECT_EQ("mi2" + captions.Menu1[i].Name.substr(2), captions.Menu2[i].Name);
        EXPECT_EQ(captions.Menu1[i].Caption, captions.Menu2[i].Caption);
    }
    EXPECT_EQ(captions.Menu1.front().Name, "miExit");
    EXPECT_EQ(captions.Caption("mi2D_Block_PF"), u"Paging File Usage");
    EXPECT_EQ(captions.Caption("miUpdateInterval60sec"), u"60 sec");
    EXPECT_EQ(captions.Caption("miNoSuchItem"), u"");
}

struct CaptionCase {
    const char* item;
    Strings strings;
    std::u16string before;  // the item's caption before the reading
    std::u16string after;
};

class MenuRecaption : public ::testing::TestWithParam<CaptionCase> {};

TEST_P(MenuRecaption, TheItemTakesItsString) {
    TMenuCaptions current = DefaultMenuCaptions();
    for (auto* menu : {&current.Menu1, &current.Menu2}) {
        for (auto& item : *menu) {
            if (item.Name == GetParam().item) item.Caption = GetParam().before;
        }
    }
    const TMenuCaptions next = TranslateMenuCaptions(current, From(GetParam().strings));
    EXPECT_EQ(next.Caption(GetParam().item), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Items, MenuRecaption,
    ::testing::Values(
        CaptionCase{"miExit", {{30, u"Beenden"}}, u"Exit", u"Beenden"},
        CaptionCase{"mi2Exit", {{30, u"Выход"}}, u"Exit", u"Выход"},
        // A missing string keeps what the item shows, also a translation read before.
        CaptionCase{"miSettings", {}, u"Einstellungen...", u"Einstellungen..."},
        CaptionCase{"miAutoRecovery", {{79, u"Auto"}}, u"x", u"Auto"},
        CaptionCase{"miLoadWin", {{31, u"Start"}}, u"x", u"Start"},
        CaptionCase{"miRecoverRam", {{44, u"RAM"}}, u"x", u"RAM"},
        CaptionCase{"miUpdateInterval", {{32, u"Intervall"}}, u"x", u"Intervall"},
        CaptionCase{"miDisplay", {{35, u"Anzeige"}}, u"x", u"Anzeige"},
        CaptionCase{"mi2D_Icon", {{36, u"Symbol"}}, u"x", u"Symbol"},
        CaptionCase{"miD_Graph", {{42, u"Grafik"}}, u"x", u"Grafik"},
        CaptionCase{"mi2D_Block", {{43, u"Balken"}}, u"x", u"Balken"},
        CaptionCase{"miD_Numeric", {{41, u"Ziffern"}}, u"x", u"Ziffern"},
        CaptionCase{"miD_Block_RamUsage", {{53, u"RAM belegt"}}, u"x", u"RAM belegt"},
        CaptionCase{"mi2D_Graph_PF", {{54, u"Auslagerung"}}, u"x", u"Auslagerung"},
        CaptionCase{"miD_Numeric_CpuIdleCore1", {{56, u"Leerlauf 1"}}, u"x", u"Leerlauf 1"},
        // The interval items: figure, blank, string 33, and no fallback.
        CaptionCase{"miUpdateInterval10sec", {{33, u"Sek."}}, u"10 sec", u"10 Sek."},
        CaptionCase{"mi2UpdateInterval1sec", {}, u"1 sec", u"1 "},
        CaptionCase{"miUpdateInterval60sec", {}, u"60 Sek.", u"60 "},
        // Cores 3 and 4 from the core 2 strings, every "2" replaced.
        CaptionCase{"miD_Numeric_CpuIdleCore3", {{58, u"Kern 2 (2)"}}, u"x", u"Kern 3 (3)"},
        CaptionCase{"mi2D_Graph_CpuUsageCore4", {{59, u"CPU 2"}}, u"x", u"CPU 4"},
        CaptionCase{"miD_Numeric_CpuIdleCore2", {{58, u"Kern 2"}}, u"x", u"Kern 2"},
        // ... and in the caption kept when the string is missing.
        CaptionCase{"miD_Block_CpuIdleCore4", {}, u"Kern 2", u"Kern 4"},
        CaptionCase{"miD_Block_CpuUsageCore3", {}, u"CPU Usage - Core 3", u"CPU Usage - Core 3"}));

TEST(MenuCaptions, HintWordsFromStrings51_52And55) {
    const auto captions = TranslateMenuCaptions(
        DefaultMenuCaptions(), From({{51, u"Mo"}, {52, u"libre"}, {55, u"fichier d'échange"}}));
    EXPECT_EQ(captions.FreeHint, u" Mo libre");
    EXPECT_EQ(captions.MegabyteHint, u"Mo");
    EXPECT_EQ(captions.PageFileHint, u"fichier d'échange");
}

TEST(MenuCaptions, HintWordsMissingFromAFileAreEmpty) {
    const auto captions = TranslateMenuCaptions(DefaultMenuCaptions(), From({{52, u"frei"}}));
    EXPECT_EQ(captions.FreeHint, u"  frei");
    EXPECT_EQ(captions.MegabyteHint, u"");
    EXPECT_EQ(captions.PageFileHint, u"");
}

}  // namespace
}  // namespace kxp
