#include "config/UserOptionDefinitions.h"

#include <algorithm>
#include <array>
#include <type_traits>

#include "config/ColourText.h"

namespace kxp {
namespace {

using Type = UserOptionType;
using Scope = UserOptionScope;

template <auto Member>
UserOptionField Direct(TConfig& config) {
    return &(config.*Member);
}

template <auto Font, auto Member>
UserOptionField InFont(TConfig& config) {
    return &((config.*Font).*Member);
}

constexpr UserOptionDefinition Icon(const char* name, Type type, std::int64_t icon1,
                                    std::int64_t icon2, UserOptionField (*field)(TConfig&),
                                    std::optional<AlternateDefault> alternate = std::nullopt) {
    return {name, type, Scope::PerIcon, true, icon1, icon2, "", alternate, field};
}

constexpr UserOptionDefinition IconText(const char* name, const char* text,
                                        UserOptionField (*field)(TConfig&)) {
    return {name, Type::String, Scope::PerIcon, true, 0, 0, text, std::nullopt, field};
}

constexpr UserOptionDefinition User(const char* name, Type type, std::int64_t value,
                                    UserOptionField (*field)(TConfig&)) {
    return {name, type, Scope::UserWide, false, value, value, "", std::nullopt, field};
}

// The five values of one text font, as the pass reads them.
template <TFontOptions TConfig::*Font>
constexpr std::array<UserOptionDefinition, 5> FontOptions(const char* name, const char* size,
                                                          const char* bold, const char* italic,
                                                          const char* colour, const char* face,
                                                          std::int64_t points, bool isBold) {
    return {{
        IconText(name, face, InFont<Font, &TFontOptions::Name>),
        Icon(size, Type::Integer, points, points, InFont<Font, &TFontOptions::Size>),
        Icon(bold, Type::Boolean, isBold, isBold, InFont<Font, &TFontOptions::Bold>),
        Icon(italic, Type::Boolean, 0, 0, InFont<Font, &TFontOptions::Italic>),
        Icon(colour, Type::Colour, clWindowText, clWindowText, InFont<Font, &TFontOptions::Color>),
    }};
}

template <std::size_t... Sizes>
constexpr auto Joined(const std::array<UserOptionDefinition, Sizes>&... parts) {
    std::array<UserOptionDefinition, (Sizes + ...)> all{};
    std::size_t next = 0;
    ((std::copy(parts.begin(), parts.end(), all.begin() + next), next += parts.size()), ...);
    return all;
}

constexpr std::array<UserOptionDefinition, 4> kLeading{{
    {"Refresh", Type::Integer, Scope::PerIcon, false, 1000, 1000, "", std::nullopt,
     Direct<&TConfig::Refresh>},
    {"NoSecondTray", Type::Boolean, Scope::UserWide, true, 0, 0, "", std::nullopt,
     Direct<&TConfig::NoSecondTray>},
    Icon("Display1", Type::Integer, 1, 2, Direct<&TConfig::Display1>, AlternateDefault{1, 1}),
    Icon("Display2", Type::Integer, 0, 3, Direct<&TConfig::Display2>, AlternateDefault{12, 3}),
}};

constexpr std::array<UserOptionDefinition, 12> kColoursAndPlaces{{
    Icon("ForeColor", Type::Colour, 0x00FF00, 0x00FFFF, Direct<&TConfig::ForeColor>,
         AlternateDefault{0x8000FF, 0x8000FF}),
    Icon("BackColor", Type::Colour, 0, 0, Direct<&TConfig::BackColor>, AlternateDefault{0, 0}),
    Icon("Transparent", Type::Boolean, 0, 0, Direct<&TConfig::Transparent>, AlternateDefault{0, 0}),
    Icon("Center1", Type::Boolean, 1, 1, Direct<&TConfig::Center1>),
    Icon("Center2", Type::Boolean, 1, 1, Direct<&TConfig::Center2>),
    Icon("Center3", Type::Boolean, 1, 1, Direct<&TConfig::Center3>),
    Icon("X1", Type::Integer, 5, 5, Direct<&TConfig::X1>),
    Icon("X2", Type::Integer, 2, 2, Direct<&TConfig::X2>),
    Icon("X3", Type::Integer, 0, 0, Direct<&TConfig::X3>),
    Icon("Y1", Type::Integer, 1, 1, Direct<&TConfig::Y1>),
    Icon("Y2", Type::Integer, 1, 1, Direct<&TConfig::Y2>),
    Icon("Y3", Type::Integer, 3, 3, Direct<&TConfig::Y3>),
}};

constexpr std::array<UserOptionDefinition, 13> kUserWide{{
    User("HotKey1", Type::Integer, 45, Direct<&TConfig::HotKey1>),
    User("Hotkey1Enabled", Type::Boolean, 0, Direct<&TConfig::Hotkey1Enabled>),
    User("Hotkey1Ctrl", Type::Boolean, 1, Direct<&TConfig::Hotkey1Ctrl>),
    User("Hotkey1Alt", Type::Boolean, 1, Direct<&TConfig::Hotkey1Alt>),
    User("Hotkey1Shift", Type::Boolean, 0, Direct<&TConfig::Hotkey1Shift>),
    User("HotKey2", Type::Integer, 10, Direct<&TConfig::HotKey2>),
    User("Hotkey2Enabled", Type::Boolean, 1, Direct<&TConfig::Hotkey2Enabled>),
    User("Hotkey2Ctrl", Type::Boolean, 1, Direct<&TConfig::Hotkey2Ctrl>),
    User("Hotkey2Alt", Type::Boolean, 1, Direct<&TConfig::Hotkey2Alt>),
    User("Hotkey2Shift", Type::Boolean, 0, Direct<&TConfig::Hotkey2Shift>),
    User("Realtime", Type::Boolean, 0, Direct<&TConfig::Realtime>),
    User("Autohide", Type::Boolean, 0, Direct<&TConfig::Autohide>),
    {"Language", Type::String, Scope::UserWide, false, 0, 0, "Automatic", std::nullopt,
     Direct<&TConfig::Language>},
}};

constexpr auto kDefinitions =
    Joined(kLeading,
           FontOptions<&TConfig::Font1>("Font1", "Font1Size", "Font1Bold", "Font1Italic",
                                        "Font1Color", "Arial", 8, true),
           FontOptions<&TConfig::Font2>("Font2", "Font2Size", "Font2Bold", "Font2Italic",
                                        "Font2Color", "Arial", 8, true),
           FontOptions<&TConfig::Font3>("Font3", "Font3Size", "Font3Bold", "Font3Italic",
                                        "Font3Color", "Small Fonts", 7, false),
           kColoursAndPlaces, kUserWide);

void SetDefault(const UserOptionDefinition& option, TConfig& config, std::int64_t value) {
    std::visit(
        [&](auto* field) {
            using Field = std::remove_pointer_t<decltype(field)>;
            if constexpr (std::is_same_v<Field, std::string>) {
                *field = option.textDefault;
            } else if constexpr (std::is_same_v<Field, bool>) {
                *field = value != 0;
            } else {
                *field = static_cast<Field>(value);
            }
        },
        option.field(config));
}

void ReadValue(const RegistryKey& key, const UserOptionDefinition& option, const std::string& name,
               TConfig& config) {
    const UserOptionField field = option.field(config);
    switch (option.type) {
        case UserOptionType::Integer: {
            const std::int32_t value = key.ReadInteger(name);
            if (auto* number = std::get_if<std::int32_t*>(&field)) **number = value;
            // The key numbers live in 16 bits.
            if (auto* key16 = std::get_if<std::uint16_t*>(&field)) {
                **key16 = static_cast<std::uint16_t>(value);
            }
            break;
        }
        case UserOptionType::Boolean:
            *std::get<bool*>(field) = key.ReadBool(name);
            break;
        case UserOptionType::String:
            *std::get<std::string*>(field) = key.ReadString(name);
            break;
        case UserOptionType::Colour: {
            const auto colour = config::ColourFromText(key.ReadString(name));
            if (!colour) throw RegistryError("Invalid colour text for '" + name + "'");
            *std::get<TColor*>(field) = *colour;
            break;
        }
    }
}

}  // namespace

std::span<const UserOptionDefinition> UserOptionDefinitions() {
    return kDefinitions;
}

const UserOptionDefinition* FindUserOption(std::string_view name) {
    for (const auto& option : kDefinitions) {
        if (name == option.name) return &option;
    }
    return nullptr;
}

std::string ValuePrefix(int icon) {
    return icon == 2 ? texts::kIcon2Prefix : "";
}

std::string UserValueName(const UserOptionDefinition& option, const std::string& prefix,
                          const std::string& suffix) {
    if (option.scope == UserOptionScope::UserWide) return option.name;
    return prefix + option.name + suffix;
}

void SetUserDefaults(TConfig& config, int icon) {
    for (const auto& option : kDefinitions) {
        if (std::string_view(option.name) == "NoSecondTray") continue;
        SetDefault(option, config, icon == 2 ? option.icon2Default : option.icon1Default);
    }
    config.Suffix.clear();
}

void SetAlternateDefaults(TConfig& config, int icon) {
    for (const auto& option : kDefinitions) {
        if (!option.alternate) continue;
        SetDefault(option, config, icon == 2 ? option.alternate->icon2 : option.alternate->icon1);
    }
    config.Suffix = texts::kAlternateSuffix;
}

bool UserOptionApplies(const UserOptionDefinition& option, int icon, std::int32_t version) {
    if (option.scope == UserOptionScope::UserWide && icon != 1) return false;
    return !option.versioned || version >= kUserOptionsVersion;
}

bool ReadUserOption(const RegistryKey& key, const UserOptionDefinition& option, int icon,
                    TConfig& config) {
    const std::string name = UserValueName(option, ValuePrefix(icon), config.Suffix);
    if (!key.ValueExists(name)) return false;
    ReadValue(key, option, name, config);
    return true;
}

void ReadUserOptionPass(const RegistryKey& key, int icon, TConfig& config, std::int32_t& version,
                        const std::function<void(bool)>& onNoSecondTray) {
    const std::string selector = ValuePrefix(icon) + texts::kAlternateValue;
    if (key.ValueExists(selector) && key.ReadInteger(selector) == 1) {
        SetAlternateDefaults(config, icon);
    }
    for (const auto& option : kDefinitions) {
        if (UserOptionApplies(option, icon, version)) {
            const bool stored = ReadUserOption(key, option, icon, config);
            if (&option == &kDefinitions.front() && icon == 1) {
                version = key.ValueExists(texts::kVersionValue)
                              ? key.ReadInteger(texts::kVersionValue)
                              : kUserOptionsVersion;
            }
            if (std::string_view(option.name) == "NoSecondTray" && stored && onNoSecondTray) {
                onNoSecondTray(config.NoSecondTray);
            }
        }
    }
}

bool WriteUserOption(RegistryKey& key, const UserOptionDefinition& option, int icon,
                     const TConfig& config) {
    const std::string name = UserValueName(option, ValuePrefix(icon), config.Suffix);
    // The accessors locate fields of a record they may change; this one works on a copy.
    TConfig values = config;
    const UserOptionField field = option.field(values);
    return std::visit(
        [&](auto* value) {
            using Field = std::remove_pointer_t<decltype(value)>;
            if constexpr (std::is_same_v<Field, std::string>) {
                return key.WriteString(name, *value);
            } else if constexpr (std::is_same_v<Field, bool>) {
                return key.WriteBool(name, *value);
            } else if constexpr (std::is_same_v<Field, TColor>) {
                return key.WriteString(name, config::ColourToText(*value));
            } else {
                return key.WriteInteger(name, static_cast<std::int32_t>(*value));
            }
        },
        field);
}

bool WriteUserOptions(RegistryKey& key, int icon, const TConfig& config) {
    const bool alternate = config.Suffix == texts::kAlternateSuffix;
    bool written = key.WriteInteger(ValuePrefix(icon) + texts::kAlternateValue, alternate ? 1 : 0);
    if (icon == 1) written = key.WriteInteger(texts::kVersionValue, kUserOptionsVersion) && written;
    for (const auto& option : kDefinitions) {
        if (UserOptionApplies(option, icon, kUserOptionsVersion)) {
            written = WriteUserOption(key, option, icon, config) && written;
        }
    }
    return written;
}

}  // namespace kxp
