// An open registry key that closes itself, with typed reads that refuse a value of another type.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace kxp {

// A value exists with another type than the one asked for.
class RegistryError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class RegistryKey {
  public:
    RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    RegistryKey(RegistryKey&& other) noexcept;
    RegistryKey& operator=(RegistryKey&& other) noexcept;
    ~RegistryKey() { Close(); }

    static RegistryKey OpenRead(platform::Registry& registry, platform::RegistryRoot root,
                                const std::string& path);
    // Opens for writing; creates the key when create is set.
    static RegistryKey OpenWrite(platform::Registry& registry, platform::RegistryRoot root,
                                 const std::string& path, bool create);

    bool IsOpen() const { return key_ != 0; }
    void Close();

    bool ValueExists(const std::string& name) const;
    // Both throw RegistryError for a missing value or one of another type.
    std::int32_t ReadInteger(const std::string& name) const;
    std::string ReadString(const std::string& name) const;
    bool ReadBool(const std::string& name) const { return ReadInteger(name) != 0; }
    // The value's bytes whatever its type; false (data untouched) when it cannot be read.
    bool ReadBytes(const std::string& name, std::vector<std::uint8_t>& data) const;

    bool WriteInteger(const std::string& name, std::int32_t value);
    bool WriteString(const std::string& name, const std::string& value);
    bool WriteBool(const std::string& name, bool value) {
        return WriteInteger(name, value ? 1 : 0);
    }
    bool DeleteValue(const std::string& name);

  private:
    RegistryKey(platform::Registry& registry, platform::Handle key)
        : registry_(&registry), key_(key) {}

    platform::Registry* registry_ = nullptr;
    platform::Handle key_ = 0;
};

}  // namespace kxp
