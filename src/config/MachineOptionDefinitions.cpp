#include "config/MachineOptionDefinitions.h"

#include <array>
#include <type_traits>
#include <utility>

#include "config/MachineOptions.h"

namespace kxp {
namespace {

using Type = MachineOptionType;
using Scale = MachineOptionScale;
using O = TMachineOptions;

constexpr std::int64_t kMiB = 1048576;
constexpr std::int64_t kPassesPerMinute = 60;

constexpr std::array<MachineOptionDefinition, 11> kDefinitions{{
    {"NoCounters", Type::Boolean, 0, Scale::None, false, &O::NoCounters},
    {"Recover", Type::Boolean, 1, Scale::None, false, &O::Recover},
    {"Below", Type::Integer, 50, Scale::MiBToBytes, false, &O::Below},
    {"Pause", Type::Integer, 180, Scale::MinutesToPasses, false, &O::Pause},
    {"Postpone", Type::Boolean, 1, Scale::None, false, &O::Postpone},
    {"Threshold", Type::Integer, 30, Scale::None, false, &O::Threshold},
    {"Cache", Type::Integer, 0, Scale::None, false, &O::Cache},
    {"AdvCache", Type::Boolean, 0, Scale::None, false, &O::AdvCache},
    {"CacheMin", Type::Integer, 100, Scale::MiBToBytes, true, &O::CacheMin},
    {"CacheMax", Type::Integer, 100, Scale::MiBToBytes, true, &O::CacheMax},
    {"Shell", Type::String, 0, Scale::None, false, &O::Shell},
}};

// Puts a number into whichever kind of field holds it; a string field takes no number.
void Hold(TMachineOptions& options, const MachineOptionField& field, std::int64_t value) {
    std::visit(
        [&](auto member) {
            using Field = std::remove_reference_t<decltype(options.*member)>;
            if constexpr (std::is_same_v<Field, bool>) {
                options.*member = value != 0;
            } else if constexpr (!std::is_same_v<Field, std::string>) {
                options.*member = static_cast<Field>(value);
            }
        },
        field);
}

}  // namespace

std::span<const MachineOptionDefinition> MachineOptionDefinitions() {
    return kDefinitions;
}

const MachineOptionDefinition* FindMachineOption(std::string_view name) {
    for (const auto& option : kDefinitions) {
        if (name == option.name) return &option;
    }
    return nullptr;
}

std::int64_t MachineOptionUnit(MachineOptionScale scale) {
    switch (scale) {
        case Scale::MiBToBytes:
            return kMiB;
        case Scale::MinutesToPasses:
            return kPassesPerMinute;
        case Scale::None:
            break;
    }
    return 1;
}

std::int64_t ScaledMachineValue(const MachineOptionDefinition& option, std::int32_t stored) {
    return std::int64_t{stored} * MachineOptionUnit(option.scale);
}

void SetMachineDefaults(TMachineOptions& options) {
    for (const auto& option : kDefinitions) {
        if (option.type == Type::String) {
            options.*std::get<std::string O::*>(option.field) = std::string();
        } else {
            Hold(options, option.field,
                 option.defaultHeldUnscaled ? option.storedDefault
                                            : ScaledMachineValue(option, option.storedDefault));
        }
    }
    options.ShellInUse = false;
}

void ReadMachineOption(const RegistryKey& key, const MachineOptionDefinition& option,
                       TMachineOptions& options) {
    if (option.type == Type::String) {
        // The one string is the shell: its file name, and whether that is put to use.
        ShellOption shell = ParseShellOption(key.ReadString(option.name));
        options.*std::get<std::string O::*>(option.field) = std::move(shell.name);
        options.ShellInUse = shell.inUse;
        return;
    }
    const std::int32_t stored = key.ReadInteger(option.name);
    Hold(options, option.field, ScaledMachineValue(option, stored));
}

}  // namespace kxp
