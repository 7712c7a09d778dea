// One of the two hot keys as the settings program's hot-key control shows it: a virtual-key code
// and its modifiers, against the stored key number and switches of the user options.
#pragma once

#include <cstdint>
#include <optional>

#include "config/TConfig.h"

namespace kxp::settings {

struct HotKeyChoice {
    bool enabled = false;
    std::uint8_t virtualKey = 0;
    bool ctrl = false;
    bool alt = false;
    bool shift = false;
};

// The key number the service registers for a virtual-key code; none for a key outside its table.
std::optional<std::uint16_t> KeyNumberOf(std::uint8_t virtualKey);

// Hot key 1 (recover RAM) or 2 (settings) of the user-wide record.
HotKeyChoice HotKeyChoiceOf(const TConfig& config, int hotKey);
// Stores the choice as key number and switches; false, with config untouched, when the key has no
// key number. A switched-off hot key without a key only switches it off: its key stays stored.
bool StoreHotKeyChoice(TConfig& config, int hotKey, const HotKeyChoice& choice);

}  // namespace kxp::settings
