// The write that makes a recovery work: every byte of the block, so that every one of its pages has
// to become resident before the block is given back.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kxp {

inline constexpr std::uint8_t kRecoveryFillByte = 37;  // '%'

void FillBlock(void* block, std::size_t size);

}  // namespace kxp
