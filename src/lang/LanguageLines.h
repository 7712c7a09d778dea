// The lines of a language file, held compactly: all characters in one buffer and where each line
// ends, so that a file of many short lines costs a few bytes per line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kxp::lang {

class LanguageLines {
  public:
    LanguageLines() = default;

    // Splits text at its line breaks (CR, LF or CR LF). A break at the very end opens no further
    // line, so an empty text has no lines.
    static LanguageLines Split(std::u16string text);

    std::size_t Count() const { return ends_.size(); }
    // The line without its break; empty beyond the last line.
    std::u16string_view Line(std::size_t index) const;
    // Line number without its first character: empty for a short line or a number without a line.
    std::u16string_view Caption(std::int64_t number) const;

  private:
    std::u16string text_;
    std::vector<std::uint32_t> ends_;
};

}  // namespace kxp::lang
