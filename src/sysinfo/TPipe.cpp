#include "sysinfo/TPipe.h"

#include <algorithm>

namespace kxp {

TPipe::TPipe(std::uint16_t initialValue) : InitialValue(initialValue) {
    Reset();
}

void TPipe::Reset() {
    Slots.fill(static_cast<std::uint16_t>(InitialValue));
}

void TPipe::Push(std::uint16_t value) {
    std::shift_left(Slots.begin(), Slots.end(), 1);
    Slots.back() = value;
}

bool TPipe::AnyAbove(std::uint16_t threshold) const {
    return std::any_of(Slots.begin(), Slots.end(),
                       [threshold](std::uint16_t slot) { return slot > threshold; });
}

}  // namespace kxp
