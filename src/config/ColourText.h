// Colours as the user options store them: a colour identifier ("clWhite", any letter case), or a
// 32-bit integer in decimal or, after "$", in hexadecimal ("$00FFFFFE"). A plain colour holds red
// in its low byte; 0x80000000 plus an index names a system colour.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kxp::config {

inline constexpr std::uint32_t kClWindowText = 0x80000008;
inline constexpr std::uint32_t kClNone = 0x1FFFFFFF;

// The colour a text names; none for a text that is neither an identifier nor a number (the read of
// the options stops there). Decimal takes -2147483648 to 2147483647, negatives as their 32 bits;
// hexadecimal takes up to 0xFFFFFFFF. No blanks are allowed around or inside.
std::optional<std::uint32_t> ColourFromText(std::string_view text);

// The stored form of a colour, "$" and eight upper-case hexadecimal digits ("$00FFFFFE"), which
// ColourFromText reads back.
std::string ColourToText(std::uint32_t colour);

}  // namespace kxp::config
