// Reading the machine options from HKEY_LOCAL_MACHINE: the values under "\Software\KorvanelXP"
// and the service's start mode. Every read starts from the defaults.
#pragma once

#include <cstdint>
#include <string>

#include "config/TMachineOptions.h"
#include "platform/Platform.h"

namespace kxp {

namespace texts {
inline constexpr const char* kMachineOptionsKey = "\\Software\\KorvanelXP";
}  // namespace texts

// The service key's "Start": automatic with Windows, or on demand.
inline constexpr std::int32_t kStartAutomatic = 2;
inline constexpr std::int32_t kStartOnDemand = 3;

struct ShellOption {
    std::string name;  // lower-case file name, without the quotes around it
    bool inUse = false;
};

// The file-name part of a "Shell" value in lower case. A name of one character or none is kept
// but not put to use.
ShellOption ParseShellOption(const std::string& value);

// Resets every option of the key to its default, then reads the values that exist, in order. A
// value of another type than expected throws RegistryError: what was read before it stays, the
// rest keeps its default. The start mode is left as it is.
void ReadMachineOptionValues(platform::Registry& registry, TMachineOptions& options);

// The stored "NoCounters", for the start-up step that runs before the options are read: false
// when absent or not a DWORD, as the options read would then hold it.
bool ReadStoredNoCounters(platform::Registry& registry);

// True when the service key's "Start" is 2. The key always holds "Start": a missing or
// wrong-typed one throws RegistryError.
bool ReadLoadOnWindowsStartup(platform::Registry& registry);

// One line for the trace, every option with its value as held.
std::string DescribeMachineOptions(const TMachineOptions& options);

}  // namespace kxp
