// The privileges of the service's own access token.
#pragma once

#include "platform/Platform.h"

namespace kxp::win32 {

class Win32Privileges final : public platform::Privileges {
  public:
    platform::Handle OpenProcessToken(std::uint32_t access) override;
    void CloseToken(platform::Handle token) override;
    bool LookupPrivilegeValueA(const std::string& name, platform::Luid& luid) override;
    std::uint32_t AdjustTokenPrivileges(platform::Handle token, const platform::Luid& luid,
                                        std::uint32_t attributes) override;
};

}  // namespace kxp::win32
