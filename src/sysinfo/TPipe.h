// The last 16 samples of a 16-bit figure, oldest first. Slots not pushed yet hold the initial
// value.
#pragma once

#include <array>
#include <cstdint>

namespace kxp {

class TPipe {
  public:
    explicit TPipe(std::uint16_t initialValue);

    void Reset();
    // Drops the oldest sample and appends value as the newest.
    void Push(std::uint16_t value);
    // True when some slot is strictly greater than threshold.
    bool AnyAbove(std::uint16_t threshold) const;

    std::uint32_t InitialValue;
    std::array<std::uint16_t, 16> Slots{};
};

}  // namespace kxp
