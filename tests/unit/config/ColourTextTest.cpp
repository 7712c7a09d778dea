#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/ColourText.h"

namespace kxp::test {
namespace {

using config::ColourFromText;

struct ColourRow {
    std::string text;
    std::optional<std::uint32_t> colour;
};

void ExpectColours(const std::vector<ColourRow>& table) {
    for (const auto& row : table) {
        EXPECT_EQ(ColourFromText(row.text), row.colour) << '"' << row.text << '"';
    }
}

TEST(ColourTextTest, IdentifiersInAnyLetterCase) {
    ExpectColours({
        {"clBlack", 0x000000},
        {"clMaroon", 0x000080},
        {"clGreen", 0x008000},
        {"clOlive", 0x008080},
        {"clNavy", 0x800000},
        {"clPurple", 0x800080},
        {"clTeal", 0x808000},
        {"clGray", 0x808080},
        {"clSilver", 0xC0C0C0},
        {"clRed", 0x0000FF},
        {"clLime", 0x00FF00},
        {"clYellow", 0x00FFFF},
        {"clBlue", 0xFF0000},
        {"clFuchsia", 0xFF00FF},
        {"clAqua", 0xFFFF00},
        {"clWhite", 0xFFFFFF},
        {"clScrollBar", 0x80000000},
        {"clBackground", 0x80000001},
        {"clMenu", 0x80000004},
        {"clWindowText", 0x80000008},
        {"clHighlight", 0x8000000D},
        {"clBtnFace", 0x8000000F},
        {"clInactiveCaptionText", 0x80000013},
        {"cl3DDkShadow", 0x80000015},
        {"cl3DLight", 0x80000016},
        {"clInfoText", 0x80000017},
        {"clInfoBk", 0x80000018},
        {"clNone", 0x1FFFFFFF},
        {"CLWHITE", 0xFFFFFF},
        {"clwindowtext", 0x80000008},
    });
}

TEST(ColourTextTest, DecimalAndDollarHexadecimal) {
    ExpectColours({
        {"0", 0},
        {"65280", 0xFF00},
        {"+255", 0xFF},
        {"2147483647", 0x7FFFFFFF},
        {"-1", 0xFFFFFFFF},
        {"-2147483648", 0x80000000},
        {"$00FFFFFE", 0xFFFFFE},
        {"$ff00", 0xFF00},
        {"$0", 0},
        {"$FFFFFFFF", 0xFFFFFFFF},
        {"$0000000080000008", 0x80000008},
    });
}

TEST(ColourTextTest, OtherTextsAreNoColour) {
    ExpectColours({
        {"", std::nullopt},
        {"cl", std::nullopt},
        {"clWhit", std::nullopt},
        {"clWhitey", std::nullopt},
        {"White", std::nullopt},
        {" clWhite", std::nullopt},
        {"12 ", std::nullopt},
        {" 12", std::nullopt},
        {"1 2", std::nullopt},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"$", std::nullopt},
        {"$-1", std::nullopt},
        {"$+1", std::nullopt},
        {"$100000000", std::nullopt},
        {"$FFG", std::nullopt},
        {"0x10", std::nullopt},
        {"+", std::nullopt},
        {"+-1", std::nullopt},
        {"--1", std::nullopt},
        {"1e3", std::nullopt},
        {std::string("1\0", 2), std::nullopt},
    });
}

}  // namespace
}  // namespace kxp::test
