#include "settings/MachineSettings.h"

#include <array>
#include <stdexcept>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>

#include "config/MachineOptionDefinitions.h"
#include "config/MachineOptions.h"
#include "platform/RegistryKey.h"
#include "service/ServiceTexts.h"

namespace kxp::settings {
namespace {

using platform::RegistryRoot;
using S = MachineSettings;

using SettingsField = std::variant<bool S::*, std::int32_t S::*, std::string S::*>;

// The record's field of each option of the shared table, by its registry name.
constexpr std::array<std::pair<std::string_view, SettingsField>, 11> kFields{{
    {"NoCounters", &S::NoCounters},
    {"Recover", &S::Recover},
    {"Below", &S::Below},
    {"Pause", &S::Pause},
    {"Postpone", &S::Postpone},
    {"Threshold", &S::Threshold},
    {"Cache", &S::Cache},
    {"AdvCache", &S::AdvCache},
    {"CacheMin", &S::CacheMin},
    {"CacheMax", &S::CacheMax},
    {"Shell", &S::Shell},
}};

const SettingsField& FieldOf(const MachineOptionDefinition& option) {
    for (const auto& [name, field] : kFields) {
        if (name == option.name) return field;
    }
    throw std::logic_error(std::string("No settings field for '") + option.name + "'");
}

// A number into a number or boolean field; a string field takes none.
void Put(MachineSettings& settings, const SettingsField& field, std::int32_t value) {
    std::visit(
        [&](auto member) {
            using Field = std::remove_reference_t<decltype(settings.*member)>;
            if constexpr (std::is_same_v<Field, bool>) {
                settings.*member = value != 0;
            } else if constexpr (std::is_same_v<Field, std::int32_t>) {
                settings.*member = value;
            }
        },
        field);
}

// The stored value over the default; one of another type keeps the default.
void LoadOption(const RegistryKey& key, const MachineOptionDefinition& option,
                MachineSettings& settings) {
    if (!key.ValueExists(option.name)) return;
    const SettingsField& field = FieldOf(option);
    try {
        if (option.type == MachineOptionType::String) {
            settings.*std::get<std::string S::*>(field) = key.ReadString(option.name);
        } else {
            Put(settings, field, key.ReadInteger(option.name));
        }
    } catch (const RegistryError&) {
        // Saving writes it back with its proper type.
    }
}

bool SaveOption(RegistryKey& key, const MachineOptionDefinition& option,
                const MachineSettings& settings) {
    return std::visit(
        [&](auto member) {
            using Field = std::remove_cvref_t<decltype(settings.*member)>;
            if constexpr (std::is_same_v<Field, bool>) {
                return key.WriteBool(option.name, settings.*member);
            } else if constexpr (std::is_same_v<Field, std::int32_t>) {
                return key.WriteInteger(option.name, settings.*member);
            } else {
                return key.WriteString(option.name, settings.*member);
            }
        },
        FieldOf(option));
}

// "Start" as the service key holds it now: true for automatic start. An absent service key, or
// a "Start" that is missing or of another type, reads as not loading with Windows.
bool StoredLoadOnWindowsStartup(platform::Registry& registry) {
    const auto key =
        RegistryKey::OpenRead(registry, RegistryRoot::LocalMachine, texts::kServiceKey);
    try {
        return key.ValueExists("Start") && key.ReadInteger("Start") == kStartAutomatic;
    } catch (const RegistryError&) {
        return false;
    }
}

}  // namespace

MachineSettings LoadMachineSettings(platform::Registry& registry) {
    MachineSettings settings;
    for (const auto& option : MachineOptionDefinitions()) {
        if (option.type == MachineOptionType::String) {
            settings.*std::get<std::string S::*>(FieldOf(option)) = std::string();
        } else {
            Put(settings, FieldOf(option), option.storedDefault);
        }
    }
    const auto key =
        RegistryKey::OpenRead(registry, RegistryRoot::LocalMachine, texts::kMachineOptionsKey);
    if (key.IsOpen()) {
        for (const auto& option : MachineOptionDefinitions()) LoadOption(key, option, settings);
    }
    settings.LoadOnWindowsStartup = StoredLoadOnWindowsStartup(registry);
    return settings;
}

bool SaveMachineSettings(platform::Registry& registry, const MachineSettings& settings) {
    auto key = RegistryKey::OpenWrite(registry, RegistryRoot::LocalMachine,
                                      texts::kMachineOptionsKey, true);
    if (!key.IsOpen()) return false;
    bool written = true;
    for (const auto& option : MachineOptionDefinitions()) {
        written = SaveOption(key, option, settings) && written;
    }
    key.Close();

    if (settings.LoadOnWindowsStartup == StoredLoadOnWindowsStartup(registry)) return written;
    // Only an installed service has a key to change: a new key would register a service that is
    // not there.
    auto service =
        RegistryKey::OpenWrite(registry, RegistryRoot::LocalMachine, texts::kServiceKey, false);
    const std::int32_t start = settings.LoadOnWindowsStartup ? kStartAutomatic : kStartOnDemand;
    return service.WriteInteger("Start", start) && written;
}

bool CanWriteMachineSettings(platform::Registry& registry) {
    return RegistryKey::OpenWrite(registry, RegistryRoot::LocalMachine, texts::kMachineOptionsKey,
                                  true)
        .IsOpen();
}

}  // namespace kxp::settings
