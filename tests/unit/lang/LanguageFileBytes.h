// Language files as bytes, in each encoding the loader accepts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kxp::test {

inline std::vector<std::uint8_t> AnsiBytes(std::string_view text) {
    return {text.begin(), text.end()};
}

inline std::vector<std::uint8_t> Utf8Bytes(std::u8string_view text) {
    std::vector<std::uint8_t> bytes{0xEF, 0xBB, 0xBF};
    bytes.insert(bytes.end(), text.begin(), text.end());
    return bytes;
}

inline std::vector<std::uint8_t> Utf16Bytes(std::u16string_view text, bool bigEndian) {
    std::vector<std::uint8_t> bytes;
    for (const char16_t c : std::u16string(1, u'\uFEFF') + std::u16string(text)) {
        const auto high = static_cast<std::uint8_t>(c >> 8);
        const auto low = static_cast<std::uint8_t>(c & 0xFF);
        bytes.push_back(bigEndian ? high : low);
        bytes.push_back(bigEndian ? low : high);
    }
    return bytes;
}

}  // namespace kxp::test
