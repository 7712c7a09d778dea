// Any bytes as a language file: decoding never reads outside the input, and the lines it gives
// hold no line breaks and no more characters than the bytes allow.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "lang/LanguageFile.h"

namespace {

// A stand-in system code page: Latin-1, one character per byte.
std::u16string Latin1(const std::string& text) {
    std::u16string wide;
    for (const char c : text) wide.push_back(static_cast<unsigned char>(c));
    return wide;
}

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto lines = kxp::lang::DecodeLanguageFile(std::span(data, size), Latin1);
    std::size_t characters = 0;
    for (std::size_t i = 0; i < lines.Count(); ++i) {
        const std::u16string_view line = lines.Line(i);
        Check(line.find_first_of(u"\r\n") == std::u16string_view::npos);
        const std::u16string_view caption = lines.Caption(static_cast<std::int64_t>(i));
        Check(caption.size() <= line.size() && line.ends_with(caption));
        characters += line.size();
    }
    // At most one character per byte (a UTF-8 sequence of four bytes gives two).
    Check(characters <= size);
    Check(lines.Line(lines.Count()).empty() && lines.Caption(-1).empty());
    return 0;
}
