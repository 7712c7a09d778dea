// Options for the whole computer, read from HKEY_LOCAL_MACHINE "\Software\KorvanelXP" and the
// service's start mode. Sizes are held in bytes, 64-bit, so that a stored size of 2,048 MB or more
// still means what it says.
#pragma once

#include <cstdint>
#include <string>

namespace kxp {

struct TMachineOptions {
    bool NoCounters = false;
    bool Recover = true;
    std::int64_t Below = 52428800;  // bytes
    std::int64_t Pause = 10800;     // passes
    bool Postpone = true;
    std::int32_t Threshold = 30;  // percent; its low 16 bits are compared
    std::int32_t Cache = 0;       // 0 or less off, 1 automatic, 2 manual
    bool AdvCache = false;
    std::int64_t CacheMin = 100;  // bytes; the default is held unscaled
    std::int64_t CacheMax = 100;  // bytes; the default is held unscaled
    std::string Shell;            // lower-case file name of an alternative shell
    bool ShellInUse = false;
    bool LoadOnWindowsStartup = false;  // the service key's "Start" is 2

    bool operator==(const TMachineOptions&) const = default;
};

}  // namespace kxp
