// Registry keys under HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_USER and HKEY_DYN_DATA, and the
// performance data; a key handle is the HKEY value itself.
#pragma once

#include "platform/Platform.h"

namespace kxp::win32 {

class Win32Registry final : public platform::Registry {
  public:
    platform::Handle OpenKey(platform::RegistryRoot root, const std::string& path, bool write,
                             bool create) override;
    void CloseKey(platform::Handle key) override;
    bool QueryValue(platform::Handle key, const std::string& name, std::uint32_t& type,
                    std::vector<std::uint8_t>& data) override;
    bool SetValue(platform::Handle key, const std::string& name, std::uint32_t type,
                  const std::vector<std::uint8_t>& data) override;
    bool DeleteValue(platform::Handle key, const std::string& name) override;
    std::uint32_t QueryPerformanceData(const std::string& name, std::uint8_t* buffer,
                                       std::uint32_t& size) override;
};

}  // namespace kxp::win32
