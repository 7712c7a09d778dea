// Language files as bytes, in each encoding the loader accepts.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kxp::test {

inline std::vector<std::uint8_t> AnsiBytes(std::string_view text) {
    return {text.begin(), text.end()};
}

inline std::vector<std::uint8_t> Utf8Bytes(std::u8string_view text) {
    std::vector<std::uint8_t> bytes(text.size() + 3);
    bytes[0] = 0xEF;
    bytes[1] = 0xBB;
    bytes[2] = 0xBF;
    std::copy(text.begin(), text.end(), bytes.begin() + 3);
    return bytes;
}

inline std::vector<std::uint8_t> Utf16Bytes(std::u16string_view text, bool bigEndian) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(2 * text.size() + 2);
    const auto put = [&](char16_t c) {
        const auto high = static_cast<std::uint8_t>(c >> 8);
        const auto low = static_cast<std::uint8_t>(c & 0xFF);
        bytes.push_back(bigEndian ? high : low);
        bytes.push_back(bigEndian ? low : high);
    };
    put(u'\uFEFF');
    for (const char16_t c : text) put(c);
    return bytes;
}

}  // namespace kxp::test
