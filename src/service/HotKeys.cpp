// The two hot keys of the user options: built into the hot-key component on the calling thread,
// released at logoff and while an installer runs, and acted on when pressed.
#include <string>

#include "platform/Trace.h"
#include "service/TKorvanelXPService.h"

namespace kxp {
namespace {

// The Windows key is never part of a hot key of the options.
std::uint8_t ModifierSet(bool ctrl, bool alt, bool shift) {
    return static_cast<std::uint8_t>((ctrl ? kHotKeyCtrl : 0) | (alt ? kHotKeyAlt : 0) |
                                     (shift ? kHotKeyShift : 0));
}

void AddHotKey(TGlobalHotKeys& component, const char* name, std::uint16_t key, bool ctrl, bool alt,
               bool shift) {
    component.Add(key, ModifierSet(ctrl, alt, shift));
    Trace(std::string(name) + ": " + std::to_string(key) + " added");
    if (alt) Trace("Alt");
    if (shift) Trace("Shift");
}

}  // namespace

void TKorvanelXPService::BuildHotkeys() {
    Trace("BuildHotkeys");
    const TConfig config = Config(1);
    hotKeys_.Build([&config](TGlobalHotKeys& component) {
        component.SetActive(false);
        component.Clear();
        if (!config.Hotkey1Enabled && !config.Hotkey2Enabled) {
            Trace("BuildHotkeys no hotkeys");
            return false;
        }
        if (config.Hotkey1Enabled) {
            AddHotKey(component, "Hotkey1", config.HotKey1, config.Hotkey1Ctrl, config.Hotkey1Alt,
                      config.Hotkey1Shift);
        }
        if (config.Hotkey2Enabled) {
            AddHotKey(component, "Hotkey2", config.HotKey2, config.Hotkey2Ctrl, config.Hotkey2Alt,
                      config.Hotkey2Shift);
        }
        return true;
    });
}

void TKorvanelXPService::ReleaseHotkeys() {
    hotKeys_.Release();
}

void TKorvanelXPService::GlobalHotKeysHotKey(int index) {
    Trace("Hotkey pressed: " + std::to_string(index));
    if (HotKeysIgnored) {
        Trace("Hotkey ignore");
        return;
    }
    // With hot key 1 disabled the only entry is hot key 2.
    const int number = index + (Config(1).Hotkey1Enabled ? 0 : 1);
    if (number == 0) {
        Trace("Hotkey1 rec mem");
        RecoverRequested = true;
    } else if (number == 1) {
        Trace("Hotkey2 show set");
        ShowSettings(false);
    }
    Trace("+Hotkey pressed");
}

}  // namespace kxp
