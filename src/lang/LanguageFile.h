// The text of a language file: UTF-16 with a byte-order mark in either order, UTF-8 with a mark,
// or, without a mark, 8-bit text in the system code page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "lang/LanguageLines.h"

namespace kxp::lang {

// The largest language file read; a larger one is treated as unreadable, so that a stray huge
// file costs no more than this (and twice this in characters).
inline constexpr std::size_t kLongestLanguageFile = 8 * 1024 * 1024;

// Turns 8-bit text in the system code page into UTF-16.
using AnsiToWide = std::function<std::u16string(const std::string&)>;

// The file's lines. A UTF-16 file's last odd byte is no character and is dropped; its surrogates,
// paired or not, are kept as they are. A malformed UTF-8 sequence becomes U+FFFD.
LanguageLines DecodeLanguageFile(std::span<const std::uint8_t> bytes, const AnsiToWide& ansiToWide);

}  // namespace kxp::lang
