#include "platform/RegistryKey.h"

#include <cstring>
#include <utility>
#include <vector>

namespace kxp {

RegistryKey::RegistryKey(RegistryKey&& other) noexcept
    : registry_(other.registry_), key_(std::exchange(other.key_, 0)) {}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
    if (this != &other) {
        Close();
        registry_ = other.registry_;
        key_ = std::exchange(other.key_, 0);
    }
    return *this;
}

RegistryKey RegistryKey::OpenRead(platform::Registry& registry, platform::RegistryRoot root,
                                  const std::string& path) {
    return RegistryKey(registry, registry.OpenKey(root, path, false, false));
}

RegistryKey RegistryKey::OpenWrite(platform::Registry& registry, platform::RegistryRoot root,
                                   const std::string& path, bool create) {
    return RegistryKey(registry, registry.OpenKey(root, path, true, create));
}

void RegistryKey::Close() {
    if (key_ != 0) registry_->CloseKey(std::exchange(key_, 0));
}

bool RegistryKey::ValueExists(const std::string& name) const {
    if (!IsOpen()) return false;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    return registry_->QueryValue(key_, name, type, data);
}

bool RegistryKey::ReadBytes(const std::string& name, std::vector<std::uint8_t>& data) const {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> bytes;
    if (!IsOpen() || !registry_->QueryValue(key_, name, type, bytes)) return false;
    data = std::move(bytes);
    return true;
}

std::int32_t RegistryKey::ReadInteger(const std::string& name) const {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    if (!IsOpen() || !registry_->QueryValue(key_, name, type, data) ||
        type != platform::kRegDword || data.size() != sizeof(std::int32_t)) {
        throw RegistryError("Invalid data type for '" + name + "'");
    }
    std::int32_t value = 0;
    std::memcpy(&value, data.data(), sizeof value);
    return value;
}

std::string RegistryKey::ReadString(const std::string& name) const {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    if (!IsOpen() || !registry_->QueryValue(key_, name, type, data) ||
        (type != platform::kRegSz && type != platform::kRegExpandSz)) {
        throw RegistryError("Invalid data type for '" + name + "'");
    }
    // The stored text may or may not carry its terminator; it ends at the first NUL either way.
    std::string text(data.begin(), data.end());
    if (auto nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
    return text;
}

bool RegistryKey::WriteInteger(const std::string& name, std::int32_t value) {
    if (!IsOpen()) return false;
    std::vector<std::uint8_t> data(sizeof value);
    std::memcpy(data.data(), &value, sizeof value);
    return registry_->SetValue(key_, name, platform::kRegDword, data);
}

bool RegistryKey::WriteString(const std::string& name, const std::string& value) {
    if (!IsOpen()) return false;
    std::vector<std::uint8_t> data(value.begin(), value.end());
    data.push_back(0);
    return registry_->SetValue(key_, name, platform::kRegSz, data);
}

bool RegistryKey::DeleteValue(const std::string& name) {
    return IsOpen() && registry_->DeleteValue(key_, name);
}

}  // namespace kxp
