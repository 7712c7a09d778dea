// File cache control: the automatic bounds chosen by installed and available memory, and the
// privilege the service needs in its own token to set them.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace kxp {

struct FileCacheBounds {
    std::int64_t Minimum = 0;  // bytes
    std::int64_t Maximum = 0;  // bytes
    friend bool operator==(const FileCacheBounds&, const FileCacheBounds&) = default;
};

// The bounds of the automatic mode: the basic table, or with advanced set the table for the
// installed memory. Both figures are whole byte counts.
FileCacheBounds AutomaticFileCacheBounds(bool advanced, std::int64_t totalPhys,
                                         std::int64_t availPhys);

// Results of EnableTokenPrivilege.
inline constexpr std::int32_t kPrivilegeEnabled = 0;
inline constexpr std::int32_t kPrivilegeNoToken = -2;
inline constexpr std::int32_t kPrivilegeUnknownName = -3;
inline constexpr std::int32_t kPrivilegeNotAdjusted = -4;

// Enables one named privilege in the service's own token. Not holding the privilege counts as a
// failed adjustment.
std::int32_t EnableTokenPrivilege(platform::Privileges& privileges, const std::string& name);

}  // namespace kxp
