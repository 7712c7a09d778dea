#include "settings/UserSettings.h"

#include <cstdint>
#include <string>
#include <variant>

#include "config/MachineOptions.h"
#include "config/UserOptionDefinitions.h"
#include "platform/RegistryKey.h"

namespace kxp::settings {
namespace {

// The settings program runs as the user: its HKEY_CURRENT_USER is the hive the service reads under
// HKEY_USERS, and the key has the machine options' path.
constexpr platform::RegistryRoot kRoot = platform::RegistryRoot::CurrentUser;
constexpr const char* kUserKey = texts::kMachineOptionsKey;

// The set a record stands for, whatever its Suffix says: the value names follow from it.
TConfig WithSuffix(const TConfig& config, int set) {
    TConfig named = config;
    named.Suffix = set == 1 ? texts::kAlternateSuffix : "";
    return named;
}

// A value of another type reads as absent, as the settings keep going where the service stops.
std::int32_t IntegerOr(const RegistryKey& key, const std::string& name, std::int32_t fallback) {
    if (!key.ValueExists(name)) return fallback;
    try {
        return key.ReadInteger(name);
    } catch (const RegistryError&) {
        return fallback;
    }
}

// The user-wide options belong to icon 1's primary record only.
bool Holds(const UserOptionDefinition& option, int icon, int set) {
    return option.scope == UserOptionScope::PerIcon || (icon == 1 && set == 0);
}

void ReadSet(const RegistryKey& key, int icon, int set, std::int32_t version, TConfig& config) {
    for (const auto& option : UserOptionDefinitions()) {
        if (!Holds(option, icon, set) || !UserOptionApplies(option, icon, version)) continue;
        try {
            ReadUserOption(key, option, icon, config);
        } catch (const RegistryError&) {
            // This option keeps its default; the others are still worth reading.
        }
    }
}

void CopyOption(const UserOptionDefinition& option, const TConfig& from, TConfig& into) {
    TConfig source = from;  // the accessors locate fields of a record they may change
    const UserOptionField value = option.field(source);
    std::visit([&value](auto* target) { *target = *std::get<decltype(target)>(value); },
               option.field(into));
}

}  // namespace

UserSettings DefaultUserSettings() {
    UserSettings settings;
    for (const int icon : {1, 2}) {
        TConfig& primary = settings.Set(icon, 0);
        SetUserDefaults(primary, icon);
        TConfig& alternate = settings.Set(icon, 1);
        SetUserDefaults(alternate, icon);
        SetAlternateDefaults(alternate, icon);
    }
    return settings;
}

UserSettings LoadUserSettings(platform::Registry& registry) {
    UserSettings settings = DefaultUserSettings();
    const RegistryKey key = RegistryKey::OpenRead(registry, kRoot, kUserKey);
    if (!key.IsOpen()) return settings;
    const std::int32_t version = IntegerOr(key, texts::kVersionValue, kUserOptionsVersion);
    for (const int icon : {1, 2}) {
        const std::string selector = ValuePrefix(icon) + texts::kAlternateValue;
        settings.alternate[icon == 2 ? 1 : 0] = IntegerOr(key, selector, 0) == 1;
        for (const int set : {0, 1}) ReadSet(key, icon, set, version, settings.Set(icon, set));
    }
    return settings;
}

bool SaveUserSettings(platform::Registry& registry, const UserSettings& settings) {
    RegistryKey key = RegistryKey::OpenWrite(registry, kRoot, kUserKey, true);
    if (!key.IsOpen()) return false;
    bool written = key.WriteInteger(texts::kVersionValue, kUserOptionsVersion);
    for (const int icon : {1, 2}) {
        const bool alternate = settings.alternate[icon == 2 ? 1 : 0];
        written = key.WriteInteger(ValuePrefix(icon) + texts::kAlternateValue, alternate ? 1 : 0) &&
                  written;
        for (const int set : {0, 1}) {
            const TConfig config = WithSuffix(settings.Set(icon, set), set);
            for (const auto& option : UserOptionDefinitions()) {
                if (!Holds(option, icon, set)) continue;
                if (!UserOptionApplies(option, icon, kUserOptionsVersion)) continue;
                written = WriteUserOption(key, option, icon, config) && written;
            }
        }
    }
    return written;
}

void CopyTrayIconOptions(const UserSettings& from, UserSettings& into) {
    for (const int icon : {1, 2}) {
        for (const int set : {0, 1}) {
            for (const auto& option : UserOptionDefinitions()) {
                if (option.scope == UserOptionScope::PerIcon) {
                    CopyOption(option, from.Set(icon, set), into.Set(icon, set));
                }
            }
        }
    }
    into.UserWide().NoSecondTray = from.UserWide().NoSecondTray;
    into.alternate = from.alternate;
}

}  // namespace kxp::settings
