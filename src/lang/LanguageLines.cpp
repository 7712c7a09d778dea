#include "lang/LanguageLines.h"

#include <cstdint>
#include <utility>

namespace kxp::lang {

namespace {

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

}  // namespace

LanguageLines LanguageLines::Split(std::u16string text) {
    LanguageLines lines;
    // Line ends are 32-bit: a longer text loses its tail (files are far smaller).
    if (text.size() > UINT32_MAX) text.resize(UINT32_MAX);
    // The breaks are squeezed out in place: what is kept never overtakes what is read.
    std::size_t kept = 0;
    bool lineOpen = false;
    for (std::size_t read = 0; read < text.size(); ++read) {
        const char16_t c = text[read];
        if (c == u'\r' || c == u'\n') {
            lines.ends_.push_back(static_cast<std::uint32_t>(kept));
            lineOpen = false;
            if (c == u'\r' && read + 1 < text.size() && text[read + 1] == u'\n') ++read;
            continue;
        }
        text[kept++] = c;
        lineOpen = true;
    }
    if (lineOpen) lines.ends_.push_back(static_cast<std::uint32_t>(kept));
    text.resize(kept);
    lines.text_ = std::move(text);
    return lines;
}

std::u16string_view LanguageLines::Line(std::size_t index) const {
    if (index >= ends_.size()) return {};
    const std::size_t begin = index == 0 ? 0 : ends_[index - 1];
    return std::u16string_view(text_).substr(begin, ends_[index] - begin);
}

std::u16string_view LanguageLines::Caption(std::int64_t number) const {
    if (number < 0 || static_cast<std::uint64_t>(number) >= ends_.size()) return {};
    const std::u16string_view line = Line(static_cast<std::size_t>(number));
    if (line.empty()) return line;
    // The leading character is one character even when it takes a surrogate pair.
    const bool pair = line.size() >= 2 && IsHighSurrogate(line[0]) && IsLowSurrogate(line[1]);
    return line.substr(pair ? 2 : 1);
}

}  // namespace kxp::lang
