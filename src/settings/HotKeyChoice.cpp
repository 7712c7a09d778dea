#include "settings/HotKeyChoice.h"

#include <algorithm>

#include "config/TGlobalHotKeys.h"

namespace kxp::settings {
namespace {

struct HotKeyFields {
    std::uint16_t* key;
    bool* enabled;
    bool* ctrl;
    bool* alt;
    bool* shift;
};

HotKeyFields FieldsOf(TConfig& config, int hotKey) {
    if (hotKey == 1) {
        return {&config.HotKey1, &config.Hotkey1Enabled, &config.Hotkey1Ctrl, &config.Hotkey1Alt,
                &config.Hotkey1Shift};
    }
    return {&config.HotKey2, &config.Hotkey2Enabled, &config.Hotkey2Ctrl, &config.Hotkey2Alt,
            &config.Hotkey2Shift};
}

}  // namespace

std::optional<std::uint16_t> KeyNumberOf(std::uint8_t virtualKey) {
    if (virtualKey == 0) return std::nullopt;
    const auto found = std::find(kHotKeyCodes.begin(), kHotKeyCodes.end(), virtualKey);
    if (found == kHotKeyCodes.end()) return std::nullopt;
    return static_cast<std::uint16_t>(found - kHotKeyCodes.begin());
}

HotKeyChoice HotKeyChoiceOf(const TConfig& config, int hotKey) {
    // The accessors locate fields of a record they may change; this one reads a copy.
    TConfig values = config;
    const HotKeyFields fields = FieldsOf(values, hotKey);
    return {*fields.enabled, HotKeyCode(*fields.key), *fields.ctrl, *fields.alt, *fields.shift};
}

bool StoreHotKeyChoice(TConfig& config, int hotKey, const HotKeyChoice& choice) {
    if (!choice.enabled && choice.virtualKey == 0) {
        *FieldsOf(config, hotKey).enabled = false;
        return true;
    }
    const auto keyNumber = KeyNumberOf(choice.virtualKey);
    if (!keyNumber) return false;
    const HotKeyFields fields = FieldsOf(config, hotKey);
    *fields.key = *keyNumber;
    *fields.enabled = choice.enabled;
    *fields.ctrl = choice.ctrl;
    *fields.alt = choice.alt;
    *fields.shift = choice.shift;
    return true;
}

}  // namespace kxp::settings
