// Every user option in one table: its registry name, type, defaults and the TConfig field it
// fills. The service's reader and every writer of user options (the tray menus, the settings
// program) go through this one table, so that they can never disagree on a name or a default.
//
// Per-icon values are named prefix + name + suffix: prefix "" for icon 1 and "t2_" for icon 2,
// suffix "" for the primary set and "_2" for the alternate set. User-wide values carry neither and
// are read with icon 1.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "config/TConfig.h"
#include "platform/RegistryKey.h"

namespace kxp {

namespace texts {
inline constexpr const char* kAlternateValue = "Alternate";
inline constexpr const char* kVersionValue = "Version";
inline constexpr const char* kIcon2Prefix = "t2_";
inline constexpr const char* kAlternateSuffix = "_2";
}  // namespace texts

// The stored format of the display values; older stores keep them at their defaults.
inline constexpr std::int32_t kUserOptionsVersion = 150;

// Integers and booleans are DWORDs (a boolean is true when not 0); strings and colours are
// strings, a colour as an identifier or a number ("$00BBGGRR" when written).
enum class UserOptionType { Integer, Boolean, String, Colour };
enum class UserOptionScope { PerIcon, UserWide };

// Where a value lands in the record.
using UserOptionField = std::variant<std::int32_t*, std::uint16_t*, bool*, std::string*, TColor*>;

// The defaults of an icon's alternate set where they differ from the primary set.
struct AlternateDefault {
    std::int64_t icon1 = 0;
    std::int64_t icon2 = 0;
};

struct UserOptionDefinition {
    const char* name;
    UserOptionType type;
    UserOptionScope scope;
    // Read only when the stored Version is at least kUserOptionsVersion.
    bool versioned;
    // Numbers, booleans and colours; strings take textDefault.
    std::int64_t icon1Default;
    std::int64_t icon2Default;
    const char* textDefault;
    std::optional<AlternateDefault> alternate;
    UserOptionField (*field)(TConfig&);
};

// The options in the order a pass reads them: "Refresh" first ("Version" is read right after it
// in icon 1's pass), then the versioned values, then the user-wide ones.
std::span<const UserOptionDefinition> UserOptionDefinitions();
const UserOptionDefinition* FindUserOption(std::string_view name);

// "" for icon 1, "t2_" for icon 2.
std::string ValuePrefix(int icon);
// The registry name of the option for an icon's prefix and a set's suffix.
std::string UserValueName(const UserOptionDefinition& option, const std::string& prefix,
                          const std::string& suffix);

// The icon's defaults of every option, primary set, Suffix cleared. NoSecondTray is left as it
// is: only a stored value changes it.
void SetUserDefaults(TConfig& config, int icon);
// The alternate set's defaults over the primary ones, Suffix "_2".
void SetAlternateDefaults(TConfig& config, int icon);

// Whether an icon's pass reads the option from a store of that version: user-wide options only in
// icon 1's pass, the versioned ones only from kUserOptionsVersion on.
bool UserOptionApplies(const UserOptionDefinition& option, int icon, std::int32_t version);
// Reads one option, named with the icon's prefix and config's suffix, into config; false (config
// untouched) when no such value is stored. Throws RegistryError at a value of another type or a
// colour text that names no colour, config untouched.
bool ReadUserOption(const RegistryKey& key, const UserOptionDefinition& option, int icon,
                    TConfig& config);

// One icon's pass over the open user key, starting from the record as it is (its defaults):
// the set selector ("Alternate" with the icon's prefix; 1 selects the alternate set and its
// defaults), then every option of the table that exists, in table order. Icon 1's pass also
// reads "Version" into version (kUserOptionsVersion when absent) and the user-wide options;
// icon 2's pass takes version as given. onNoSecondTray runs right after "NoSecondTray" was read.
// Throws RegistryError at a value of another type or a colour text that names no colour: what
// was read before it stays in config.
void ReadUserOptionPass(const RegistryKey& key, int icon, TConfig& config, std::int32_t& version,
                        const std::function<void(bool)>& onNoSecondTray);

// Writes one option of config with the icon's prefix and config's suffix. False when it fails.
bool WriteUserOption(RegistryKey& key, const UserOptionDefinition& option, int icon,
                     const TConfig& config);
// Everything the icon's pass reads back: its set selector, every per-icon option of its set and,
// for icon 1, "Version" and the user-wide options. False when any write fails.
bool WriteUserOptions(RegistryKey& key, int icon, const TConfig& config);

}  // namespace kxp
