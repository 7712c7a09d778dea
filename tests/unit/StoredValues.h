// The machine-option keys and typed values that tests store on the simulated machine.
#pragma once

#include <cstdint>
#include <string>

#include "platform/sim/SimMachine.h"

namespace kxp::test {

inline constexpr const char* kOptionsKey = "\\Software\\KorvanelXP";
inline constexpr const char* kServiceKey =
    "\\SYSTEM\\CurrentControlSet\\Services\\KorvanelXPService";

// REG_SZ with its terminating zero, as the registry stores it.
inline sim::SimRegistryValue Text(const std::string& text) {
    sim::SimRegistryValue stored{platform::kRegSz, {text.begin(), text.end()}};
    stored.data.push_back(0);
    return stored;
}

// REG_DWORD, little-endian.
inline sim::SimRegistryValue Dword(std::uint32_t value) {
    return {platform::kRegDword,
            {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
             static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)}};
}

}  // namespace kxp::test
