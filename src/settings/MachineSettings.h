// The machine options as the settings program edits them, in their stored units (sizes in MiB,
// the pause in minutes), and the service's start mode.
#pragma once

#include <cstdint>
#include <limits>
#include <string>

#include "platform/Platform.h"

namespace kxp::settings {

struct MachineSettings {
    bool NoCounters = false;
    bool Recover = true;
    std::int32_t Below = 50;   // MiB
    std::int32_t Pause = 180;  // minutes
    bool Postpone = true;
    std::int32_t Threshold = 30;  // percent
    std::int32_t Cache = 0;       // 0 off, 1 automatic, 2 fixed size
    bool AdvCache = false;
    std::int32_t CacheMin = 100;        // MiB
    std::int32_t CacheMax = 100;        // MiB
    std::string Shell;                  // as stored, path and quotes included
    bool LoadOnWindowsStartup = false;  // the service key's "Start" is 2

    bool operator==(const MachineSettings&) const = default;
};

// What the pages accept. The service scales the sizes into signed 32-bit byte counts and the pause
// into signed 32-bit passes of one second, without a range check of its own.
inline constexpr std::int32_t kMaxMachineMiB = 2047;
inline constexpr std::int32_t kMaxPauseMinutes = 35791;
inline constexpr std::int32_t kMaxThreshold = 100;
static_assert(std::int64_t{kMaxMachineMiB} * 1048576 <= std::numeric_limits<std::int32_t>::max());
static_assert(std::int64_t{kMaxPauseMinutes} * 60 <= std::numeric_limits<std::int32_t>::max());

// HKEY_LOCAL_MACHINE "\Software\KorvanelXP" and the service key's "Start" over the defaults; a
// value of another type than expected keeps its default.
MachineSettings LoadMachineSettings(platform::Registry& registry);
// Writes every value of the machine key; "Start" (2 on, 3 off) only when the start-up choice
// differs from what the service key holds, so that a disabled service (4) stays disabled until
// the user changes that choice. False when a key cannot be opened for writing or a write fails.
bool SaveMachineSettings(platform::Registry& registry, const MachineSettings& settings);
// True when this process may write the machine key (false for a standard user under UAC).
bool CanWriteMachineSettings(platform::Registry& registry);

}  // namespace kxp::settings
