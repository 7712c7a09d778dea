// The user options as the settings program edits them: both option sets of both tray icons, and
// the user-wide options, read from and written to the user's own key in one piece.
#pragma once

#include <array>

#include "config/TConfig.h"
#include "platform/Platform.h"

namespace kxp::settings {

struct UserSettings {
    // [icon - 1][set]: set 0 is the primary set, set 1 the alternate set (suffix "_2"). The
    // user-wide options (hot keys, priority, language...) live in icon 1's primary record.
    std::array<std::array<TConfig, 2>, 2> sets;
    // The set each icon shows now: "Alternate" and "t2_Alternate" equal to 1.
    std::array<bool, 2> alternate{};

    TConfig& Set(int icon, int set) { return sets[icon == 2 ? 1 : 0][set == 1 ? 1 : 0]; }
    const TConfig& Set(int icon, int set) const {
        return sets[icon == 2 ? 1 : 0][set == 1 ? 1 : 0];
    }
    TConfig& UserWide() { return sets[0][0]; }
    const TConfig& UserWide() const { return sets[0][0]; }
};

// Every option at the default the service would take without a stored value.
UserSettings DefaultUserSettings();
// HKEY_CURRENT_USER "\Software\KorvanelXP": what is stored over the defaults. A value the service
// could not read either (wrong type, a colour text that names no colour) keeps its default.
UserSettings LoadUserSettings(platform::Registry& registry);
// Writes every option of both sets of both icons, the set selectors, the user-wide options and
// "Version" = 150, creating the key. False when the key cannot be opened or a write fails.
bool SaveUserSettings(platform::Registry& registry, const UserSettings& settings);

// What the Tray icons page edits, from its working copy into the state: every per-icon option of
// both sets of both icons, the set selectors and NoSecondTray. The other user-wide options stay,
// as other pages edit them.
void CopyTrayIconOptions(const UserSettings& from, UserSettings& into);

}  // namespace kxp::settings
