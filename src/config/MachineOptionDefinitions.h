// Every machine option in one table: its registry name under HKEY_LOCAL_MACHINE
// "\Software\KorvanelXP", its type, its stored default and the scale the service applies when it
// holds the value. The service's reader and the settings program both go through this table, so
// that they can never disagree on a name, a default or a unit.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "config/TMachineOptions.h"
#include "platform/RegistryKey.h"

namespace kxp {

// Integers and booleans are DWORDs (a boolean is true when not 0, written as 1 or 0); the one
// string is the alternative shell.
enum class MachineOptionType { Integer, Boolean, String };

// How a stored figure becomes the one the service holds: MiB to bytes, minutes to main-loop
// passes of one second, or as stored.
enum class MachineOptionScale { None, MiBToBytes, MinutesToPasses };

// Where the service holds a value.
using MachineOptionField =
    std::variant<bool TMachineOptions::*, std::int32_t TMachineOptions::*,
                 std::int64_t TMachineOptions::*, std::string TMachineOptions::*>;

struct MachineOptionDefinition {
    const char* name;
    MachineOptionType type;
    // In the stored unit; a boolean's is 0 or 1, a string's is empty.
    std::int32_t storedDefault;
    MachineOptionScale scale;
    // The service holds this default as the bare stored figure, not scaled (CacheMin and CacheMax
    // are 100 bytes until a value is stored).
    bool defaultHeldUnscaled;
    MachineOptionField field;
};

// The options in the order the service reads them.
std::span<const MachineOptionDefinition> MachineOptionDefinitions();
const MachineOptionDefinition* FindMachineOption(std::string_view name);

// The factor of a scale: 1,048,576 for MiB, 60 for minutes, 1 for none.
std::int64_t MachineOptionUnit(MachineOptionScale scale);
// A stored figure as the service holds it, in 64 bits so that any stored figure still fits.
std::int64_t ScaledMachineValue(const MachineOptionDefinition& option, std::int32_t stored);

// Every option of the table at the default the service holds; the shell not in use. The start
// mode is left as it is.
void SetMachineDefaults(TMachineOptions& options);

// Reads one existing value into the record, scaled. Throws RegistryError for a value of another
// type; the record is then unchanged.
void ReadMachineOption(const RegistryKey& key, const MachineOptionDefinition& option,
                       TMachineOptions& options);

}  // namespace kxp
