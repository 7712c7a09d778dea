#include "config/ColourText.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace kxp::config {

namespace {

struct NamedColour {
    std::string_view name;
    std::uint32_t value;
};

constexpr std::uint32_t kSystemColour = 0x80000000;

constexpr std::array<NamedColour, 42> kNamedColours{{
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
    {"clScrollBar", kSystemColour + 0},
    {"clBackground", kSystemColour + 1},
    {"clActiveCaption", kSystemColour + 2},
    {"clInactiveCaption", kSystemColour + 3},
    {"clMenu", kSystemColour + 4},
    {"clWindow", kSystemColour + 5},
    {"clWindowFrame", kSystemColour + 6},
    {"clMenuText", kSystemColour + 7},
    {"clWindowText", kSystemColour + 8},
    {"clCaptionText", kSystemColour + 9},
    {"clActiveBorder", kSystemColour + 10},
    {"clInactiveBorder", kSystemColour + 11},
    {"clAppWorkSpace", kSystemColour + 12},
    {"clHighlight", kSystemColour + 13},
    {"clHighlightText", kSystemColour + 14},
    {"clBtnFace", kSystemColour + 15},
    {"clBtnShadow", kSystemColour + 16},
    {"clGrayText", kSystemColour + 17},
    {"clBtnText", kSystemColour + 18},
    {"clInactiveCaptionText", kSystemColour + 19},
    {"clBtnHighlight", kSystemColour + 20},
    {"cl3DDkShadow", kSystemColour + 21},
    {"cl3DLight", kSystemColour + 22},
    {"clInfoText", kSystemColour + 23},
    {"clInfoBk", kSystemColour + 24},
    {"clNone", kClNone},
}};

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// The whole text as a number of type T in the given base, or none.
template <typename T>
std::optional<T> WholeNumber(std::string_view text, int base) {
    T value{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, base);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

}  // namespace

std::optional<std::uint32_t> ColourFromText(std::string_view text) {
    for (const auto& colour : kNamedColours) {
        if (SameLetters(text, colour.name)) return colour.value;
    }
    if (!text.empty() && text.front() == '$') {
        // Unsigned, so neither sign is taken.
        return WholeNumber<std::uint32_t>(text.substr(1), 16);
    }
    // from_chars takes "-" but not "+"; a leading "+" is an ordinary way to write a number.
    const std::string_view decimal =
        text.size() > 1 && text.front() == '+' && text[1] != '-' ? text.substr(1) : text;
    const auto value = WholeNumber<std::int32_t>(decimal, 10);
    if (!value) return std::nullopt;
    return static_cast<std::uint32_t>(*value);
}

std::string ColourToText(std::uint32_t colour) {
    char text[10];
    std::snprintf(text, sizeof text, "$%08X", static_cast<unsigned>(colour));
    return text;
}

}  // namespace kxp::config
