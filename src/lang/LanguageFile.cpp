#include "lang/LanguageFile.h"

#include <array>
#include <cstring>

namespace kxp::lang {

namespace {

constexpr std::array<std::uint8_t, 3> kUtf8Mark{0xEF, 0xBB, 0xBF};
constexpr std::array<std::uint8_t, 2> kUtf16LeMark{0xFF, 0xFE};
constexpr std::array<std::uint8_t, 2> kUtf16BeMark{0xFE, 0xFF};
constexpr char16_t kReplacement = 0xFFFD;

template <std::size_t N>
bool StartsWith(std::span<const std::uint8_t> bytes, const std::array<std::uint8_t, N>& mark) {
    return bytes.size() >= N && std::memcmp(bytes.data(), mark.data(), N) == 0;
}

std::u16string DecodeUtf16(std::span<const std::uint8_t> bytes, bool bigEndian) {
    std::u16string text(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::uint8_t first = bytes[2 * i];
        const std::uint8_t second = bytes[2 * i + 1];
        text[i] = static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    return text;
}

void AppendCodePoint(std::u16string& text, std::uint32_t codePoint) {
    if (codePoint < 0x10000) {
        text.push_back(static_cast<char16_t>(codePoint));
        return;
    }
    codePoint -= 0x10000;
    text.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
    text.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
}

// One sequence starting at bytes[0]: its length, and the code point or kReplacement. A malformed
// sequence is replaced as far as it went well (its lead byte and the continuation bytes after it).
struct Utf8Sequence {
    std::size_t length;
    std::uint32_t codePoint;
};

// The lead bytes of the sequences of two, three and four bytes.
struct LeadByte {
    std::uint8_t mask;
    std::uint8_t value;
    std::size_t length;
    std::uint32_t smallest;  // below it the sequence is overlong
};
constexpr std::array<LeadByte, 3> kLeadBytes{{
    {0xE0, 0xC0, 2, 0x80},
    {0xF0, 0xE0, 3, 0x800},
    {0xF8, 0xF0, 4, 0x10000},
}};

Utf8Sequence DecodeUtf8Sequence(std::span<const std::uint8_t> bytes) {
    const std::uint8_t lead = bytes[0];
    if (lead < 0x80) return {1, lead};
    const LeadByte* form = nullptr;
    for (const auto& candidate : kLeadBytes) {
        if ((lead & candidate.mask) == candidate.value) form = &candidate;
    }
    if (form == nullptr) return {1, kReplacement};
    const std::size_t length = form->length;
    std::uint32_t codePoint = lead & static_cast<std::uint8_t>(~form->mask);
    std::size_t taken = 1;
    for (; taken < length && taken < bytes.size() && (bytes[taken] & 0xC0) == 0x80; ++taken) {
        codePoint = (codePoint << 6) | (bytes[taken] & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (taken < length || codePoint < form->smallest || codePoint > 0x10FFFF || surrogate) {
        return {taken, kReplacement};
    }
    return {length, codePoint};
}

std::u16string DecodeUtf8(std::span<const std::uint8_t> bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        const Utf8Sequence sequence = DecodeUtf8Sequence(bytes);
        AppendCodePoint(text, sequence.codePoint);
        bytes = bytes.subspan(sequence.length);
    }
    return text;
}

}  // namespace

LanguageLines DecodeLanguageFile(std::span<const std::uint8_t> bytes,
                                 const AnsiToWide& ansiToWide) {
    if (StartsWith(bytes, kUtf8Mark)) {
        return LanguageLines::Split(DecodeUtf8(bytes.subspan(kUtf8Mark.size())));
    }
    if (StartsWith(bytes, kUtf16LeMark)) {
        return LanguageLines::Split(DecodeUtf16(bytes.subspan(kUtf16LeMark.size()), false));
    }
    if (StartsWith(bytes, kUtf16BeMark)) {
        return LanguageLines::Split(DecodeUtf16(bytes.subspan(kUtf16BeMark.size()), true));
    }
    if (bytes.empty()) return {};
    return LanguageLines::Split(
        ansiToWide(std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
}

}  // namespace kxp::lang
