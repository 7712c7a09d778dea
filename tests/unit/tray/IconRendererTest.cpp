#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/TConfig.h"
#include "platform/sim/SimMachine.h"
#include "tray/DisplayModel.h"
#include "tray/TIconRenderer.h"

namespace kxp::test {
namespace {

constexpr platform::ColorRef kGreen = 0x00FF00;
constexpr platform::ColorRef kBack = 0x000000;
constexpr platform::ColorRef kWhite = 0xFFFFFF;

class IconRendererTest : public ::testing::Test {
  protected:
    IconRendererTest() : desktop(sim.Desktop()) {
        ApplyForeColor(config);
        renderer.emplace(sim.platform().drawing, sim.platform().locale);
        renderer->Objects().ApplyOptions(1, config);
    }

    // The new icon, held as the tray holds it until the next one; 0 when nothing was drawn.
    platform::Handle Draw(std::int32_t kind, std::uint32_t value, std::uint32_t maximum) {
        OwnedIcon icon = renderer->DrawIcon(1, config, lastValue, history, kind, value, maximum);
        if (!icon) return 0;
        shown = std::move(icon);
        return shown.get();
    }

    sim::SimIcon DrawnIcon(std::int32_t kind, std::uint32_t value, std::uint32_t maximum) {
        const platform::Handle icon = Draw(kind, value, maximum);
        const std::optional<sim::SimIcon> image = desktop.Icon(icon);
        if (image) return *image;
        ADD_FAILURE() << "no icon for " << value;
        sim::SimIcon blank;
        blank.image = {16, 16, std::vector<platform::ColorRef>(256, 0)};
        blank.transparent.assign(256, false);
        return blank;
    }

    sim::SimMachine sim;
    sim::SimDesktop& desktop;
    TConfig config = DefaultIcon1Config();
    std::optional<TIconRenderer> renderer;
    OwnedIcon shown;
    std::int32_t lastValue = -1;
    TPipe history{15};
};

// The simulated fonts are Size / 2 + 2 pixels a character and Size + 4 high: Arial 8 gives 6 x 12
// cells, Small Fonts 7 gives 5 x 11.
struct TextCase {
    std::uint32_t value;
    bool centred;
    std::string text;
    std::string font;
    std::int32_t x;
    std::int32_t y;
};

class NumericTextTest : public IconRendererTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(NumericTextTest, ValueIsDrawnAsItsTextInItsFontAndPlace) {
    const TextCase& c = GetParam();
    config.Center1 = config.Center2 = config.Center3 = c.centred;
    ASSERT_NE(Draw(dkNumeric, c.value, 0), 0u);
    const std::vector<sim::SimTextOut> texts = desktop.TextOuts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, c.text);
    EXPECT_EQ(texts[0].font.Name, c.font);
    EXPECT_EQ(texts[0].x, c.x);
    EXPECT_EQ(texts[0].y, c.y);
    EXPECT_EQ(texts[0].textColor, kGreen);  // the font's window-text colour took ForeColor
    EXPECT_EQ(texts[0].bkColor, kBack);
    EXPECT_EQ(texts[0].bkMode, platform::kOpaqueBk);
}

INSTANTIATE_TEST_SUITE_P(
    TextTable, NumericTextTest,
    ::testing::Values(TextCase{7, true, "7", "Arial", 5, 2},
                      TextCase{42, true, "42", "Arial", 2, 2},
                      // Three digits and more sit one row below exact centring.
                      TextCase{512, true, "512", "Small Fonts", 0, 3},
                      TextCase{999, true, "999", "Small Fonts", 0, 3},
                      // Wider than the icon: (16 - 20) div 2 and (16 - 25) div 2, toward zero.
                      TextCase{1000, true, "1.00", "Small Fonts", -2, 3},
                      TextCase{12340, true, "12.34", "Small Fonts", -4, 3},
                      TextCase{1234, true, "1.23", "Small Fonts", -2, 3},
                      TextCase{1235, true, "1.24", "Small Fonts", -2, 3},
                      TextCase{2500, true, "2.50", "Small Fonts", -2, 3},
                      // Seven significant digits, then two decimals.
                      TextCase{4294967295u, true, "4,294,967.00", "Small Fonts", -22, 3},
                      TextCase{0, false, "0", "Arial", 5, 1},
                      TextCase{10, false, "10", "Arial", 2, 1},
                      TextCase{100, false, "100", "Small Fonts", 0, 3}));

TEST_F(IconRendererTest, ThousandsTakeTheUsersSeparators) {
    desktop.SetNumberSeparators(",", ".");
    EXPECT_EQ(NumericText(1234567, sim.platform().locale), "1.234,57");
    EXPECT_EQ(NumericText(1000, sim.platform().locale), "1,00");
}

// Rows of each column from the top that are ForeColor; the rest are BackColor.
std::vector<int> ColumnHeights(const sim::SimIcon& icon) {
    std::vector<int> heights;
    for (int x = 0; x < 16; ++x) {
        int height = 0;
        for (int y = 0; y < 16; ++y) height += icon.image.At(x, y) == kGreen ? 1 : 0;
        heights.push_back(height);
    }
    return heights;
}

struct GraphCase {
    std::vector<std::uint32_t> values;
    std::uint32_t maximum;
    std::vector<int> newestHeights;  // the rightmost columns, oldest first
};

class GraphTest : public IconRendererTest, public ::testing::WithParamInterface<GraphCase> {};

TEST_P(GraphTest, NewestFigureIsTheRightmostColumnFromItsRowDown) {
    sim::SimIcon icon;
    for (const std::uint32_t value : GetParam().values)
        icon = DrawnIcon(dkGraph, value, GetParam().maximum);
    std::vector<int> expected(16 - GetParam().newestHeights.size(), 1);  // a reset history
    expected.insert(expected.end(), GetParam().newestHeights.begin(),
                    GetParam().newestHeights.end());
    EXPECT_EQ(ColumnHeights(icon), expected);
}

INSTANTIATE_TEST_SUITE_P(
    GraphTable, GraphTest,
    ::testing::Values(GraphCase{{0, 50, 100}, 100, {1, 9, 16}}, GraphCase{{3}, 0, {4}},  // row 12
                      GraphCase{{50, 50}, 100, {9, 9}},
                      // Above the maximum the row lies outside the bitmap: nothing is drawn.
                      GraphCase{{107}, 100, {0}}, GraphCase{{16}, 0, {0}}));

struct BlockCase {
    std::uint32_t value;
    std::uint32_t maximum;
    int height;
};

class BlockTest : public IconRendererTest, public ::testing::WithParamInterface<BlockCase> {};

TEST_P(BlockTest, BarFillsTheBottomRowsOfItsLevelAndKeepsForeColorAsFill) {
    const sim::SimIcon icon = DrawnIcon(dkBlock, GetParam().value, GetParam().maximum);
    EXPECT_EQ(ColumnHeights(icon), std::vector<int>(16, GetParam().height));
    for (int y = 0; y < 16 - GetParam().height; ++y) EXPECT_EQ(icon.image.At(7, y), kBack);
    EXPECT_EQ(renderer->Objects().IconBitmap(1).BrushColor(), config.ForeColor);
}

INSTANTIATE_TEST_SUITE_P(BlockTable, BlockTest,
                         ::testing::Values(BlockCase{0, 100, 1}, BlockCase{50, 100, 9},
                                           BlockCase{100, 100, 16}, BlockCase{3, 0, 4},
                                           BlockCase{200, 100, 0}));

struct SkipCase {
    const char* name;
    std::int32_t kind;
    std::uint32_t firstValue, firstMaximum;
    std::uint32_t secondValue, secondMaximum;
    bool forced;  // the last value set to -1 between the two
    bool secondDrawn;
};

class SkipTest : public IconRendererTest, public ::testing::WithParamInterface<SkipCase> {};

TEST_P(SkipTest, SecondDrawingHappensOnlyForANewValueAGraphOrAForcedRedraw) {
    const SkipCase& c = GetParam();
    ASSERT_NE(Draw(c.kind, c.firstValue, c.firstMaximum), 0u);
    if (c.forced) lastValue = -1;
    const int objects = desktop.LiveObjectCount();
    EXPECT_EQ(Draw(c.kind, c.secondValue, c.secondMaximum) != 0, c.secondDrawn);
    EXPECT_EQ(lastValue, static_cast<std::int32_t>(c.secondValue));
    EXPECT_EQ(desktop.LiveObjectCount(), objects);  // a new icon replaces the old one
}

INSTANTIATE_TEST_SUITE_P(
    SkipTable, SkipTest,
    ::testing::Values(SkipCase{"NumericSame", dkNumeric, 42, 0, 42, 0, false, false},
                      SkipCase{"NumericNew", dkNumeric, 42, 0, 43, 0, false, true},
                      SkipCase{"BlockSameNewMaximum", dkBlock, 40, 100, 40, 200, false, false},
                      SkipCase{"GraphSame", dkGraph, 40, 100, 40, 100, false, true},
                      SkipCase{"NumericForced", dkNumeric, 42, 0, 42, 0, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(IconRendererTest, KindsWithoutADrawingOnlyStoreTheValue) {
    for (const std::int32_t kind : {0, 4, -1}) {
        const int objects = desktop.LiveObjectCount();
        EXPECT_EQ(Draw(kind, 77 + kind, 100), 0u);
        EXPECT_EQ(lastValue, 77 + kind);
        EXPECT_EQ(desktop.LiveObjectCount(), objects);
    }
    EXPECT_TRUE(desktop.TextOuts().empty());
}

TEST_F(IconRendererTest, WhitePixelsAreTransparentAndEveryOtherColourOpaque) {
    config.Transparent = true;
    const sim::SimIcon icon = DrawnIcon(dkBlock, 50, 100);
    for (int i = 0; i < 256; ++i) {
        const bool white = icon.image.pixels[static_cast<std::size_t>(i)] == kWhite;
        EXPECT_EQ(icon.transparent[static_cast<std::size_t>(i)], white) << i;
        EXPECT_EQ(white, i < 7 * 16) << i;  // no background fill above the bar
    }
}

TEST_F(IconRendererTest, TransparentNumericKeepsAnOpaqueBoxInTheFillColour) {
    config.Transparent = true;
    renderer->Objects().ApplyOptions(1, config);  // after an options read: white
    ASSERT_NE(Draw(dkNumeric, 7, 0), 0u);
    EXPECT_EQ(desktop.TextOuts().back().bkColor, kWhite);
    renderer->Objects().IconBitmap(1).SetBrushColor(config.BackColor);  // a menu display change
    const sim::SimIcon icon = DrawnIcon(dkNumeric, 8, 0);
    // The 6 x 12 box at (5, 2) in BackColor, white around it.
    EXPECT_EQ(icon.image.At(5, 2), kBack);
    EXPECT_EQ(icon.image.At(4, 2), kWhite);
    EXPECT_EQ(icon.image.At(10, 13), kBack);
    EXPECT_EQ(icon.image.At(10, 14), kWhite);
    EXPECT_EQ(icon.image.At(8, 5), kGreen);  // the stroke of the digit
}

TEST_F(IconRendererTest, EveryObjectIsReleasedOnceWhateverWasDrawn) {
    const int atStart = desktop.LiveObjectCount();
    for (std::uint32_t i = 0; i < 300; ++i) {
        Draw(static_cast<std::int32_t>(1 + i % 3), i, 100);
        if (i % 50 == 0) {
            config.Font2.Size = static_cast<std::int32_t>(i % 7);
            config.BackColor = i;
            renderer->Objects().ApplyOptions(1, config);
        }
    }
    EXPECT_EQ(desktop.LiveObjectCount(), atStart + 1);  // one icon with the tray
    shown.reset();
    renderer.reset();
    EXPECT_EQ(desktop.LiveObjectCount(), 0);
    EXPECT_EQ(desktop.BadReleaseCount(), 0);
}

struct FontCase {
    const char* name;
    platform::FontRequest font;
};

class BadFontTest : public IconRendererTest, public ::testing::WithParamInterface<FontCase> {};

TEST_P(BadFontTest, AnyFontDrawsEveryTextAndLeaksNothing) {
    for (TFontOptions* font : {&config.Font1, &config.Font2, &config.Font3}) {
        font->Name = GetParam().font.Name;
        font->Size = GetParam().font.Size;
    }
    renderer->Objects().ApplyOptions(1, config);
    const int objects = desktop.LiveObjectCount();
    for (const std::uint32_t value : {7u, 42u, 512u, 1000u})
        EXPECT_NE(Draw(dkNumeric, value, 0), 0u);
    EXPECT_EQ(desktop.TextOuts().size(), 4u);
    EXPECT_EQ(desktop.LiveObjectCount(), objects + 1);
    EXPECT_LE(desktop.FontsCreated().back().Name.size(), 31u);
}

INSTANTIATE_TEST_SUITE_P(FontTable, BadFontTest,
                         ::testing::Values(FontCase{"LongName", {std::string(200, 'W'), 8}},
                                           FontCase{"Unknown", {"No Such Font", 8}},
                                           FontCase{"SizeZero", {"Arial", 0}},
                                           FontCase{"SizeThousand", {"Arial", 1000}},
                                           FontCase{"Negative", {"Arial", -8}}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kxp::test
