#include <algorithm>

#include "platform/sim/SimServices.h"

namespace kxp::sim::detail {

std::string RegistryKeyName(platform::RegistryRoot root, const std::string& path) {
    std::string name;
    switch (root) {
        case platform::RegistryRoot::LocalMachine:
            name = "hklm";
            break;
        case platform::RegistryRoot::Users:
            name = "hku";
            break;
        case platform::RegistryRoot::CurrentUser:
            name = "hkcu";
            break;
        case platform::RegistryRoot::DynData:
            name = "hkdd";
            break;
    }
    const auto first = path.find_first_not_of('\\');
    if (first == std::string::npos) return name;
    const auto last = path.find_last_not_of('\\');
    return name + "\\" + ToLower(path.substr(first, last - first + 1));
}

SimRegistryKeyData& EnsureRegistryKey(SimState& state, const std::string& name) {
    for (auto separator = name.find('\\'); separator != std::string::npos;
         separator = name.find('\\', separator + 1)) {
        state.keys.try_emplace(name.substr(0, separator));
    }
    return state.keys[name];
}

namespace {

SimRegistryKeyData* FindKey(SimState& state, const std::string& name) {
    auto key = state.keys.find(name);
    return key == state.keys.end() ? nullptr : &key->second;
}

SimRegistryKeyData* KeyOf(SimState& state, platform::Handle handle, bool forWriting) {
    auto open = state.openKeys.find(handle);
    if (open == state.openKeys.end() || (forWriting && !open->second.write)) return nullptr;
    return FindKey(state, open->second.key);
}

}  // namespace

platform::Handle SimRegistry::OpenKey(platform::RegistryRoot root, const std::string& path,
                                      bool write, bool create) {
    std::lock_guard lock(state_.mutex);
    const std::string name = RegistryKeyName(root, path);
    if (write && state_.refuseRegistryWrites) return 0;
    if (create) {
        EnsureRegistryKey(state_, name);
    } else if (FindKey(state_, name) == nullptr) {
        return 0;
    }
    const platform::Handle handle = state_.nextKey;
    state_.nextKey += 4;
    state_.openKeys[handle] = SimOpenKey{name, write};
    return handle;
}

void SimRegistry::CloseKey(platform::Handle key) {
    std::lock_guard lock(state_.mutex);
    state_.openKeys.erase(key);
}

bool SimRegistry::QueryValue(platform::Handle key, const std::string& name, std::uint32_t& type,
                             std::vector<std::uint8_t>& data) {
    std::lock_guard lock(state_.mutex);
    SimRegistryKeyData* keyData = KeyOf(state_, key, false);
    if (keyData == nullptr) return false;
    auto value = keyData->values.find(ToLower(name));
    if (value == keyData->values.end()) return false;
    type = value->second.type;
    data = value->second.data;
    return true;
}

bool SimRegistry::SetValue(platform::Handle key, const std::string& name, std::uint32_t type,
                           const std::vector<std::uint8_t>& data) {
    std::lock_guard lock(state_.mutex);
    SimRegistryKeyData* keyData = KeyOf(state_, key, true);
    if (keyData == nullptr) return false;
    keyData->values[ToLower(name)] = SimRegistryValue{type, data};
    return true;
}

bool SimRegistry::DeleteValue(platform::Handle key, const std::string& name) {
    std::lock_guard lock(state_.mutex);
    SimRegistryKeyData* keyData = KeyOf(state_, key, true);
    return keyData != nullptr && keyData->values.erase(ToLower(name)) != 0;
}

std::uint32_t SimRegistry::QueryPerformanceData(const std::string& name, std::uint8_t* buffer,
                                                std::uint32_t& size) {
    std::lock_guard lock(state_.mutex);
    state_.performanceDataQueries.emplace_back(name, size);
    const std::vector<std::uint8_t>& block = state_.performanceData;
    // As on Windows, a short buffer learns nothing of the size it would need.
    if (size < block.size()) return platform::kErrorMoreData;
    if (state_.performanceDataError != platform::kErrorSuccess) return state_.performanceDataError;
    if (!block.empty()) std::copy(block.begin(), block.end(), buffer);
    size = static_cast<std::uint32_t>(block.size());
    return platform::kErrorSuccess;
}

}  // namespace kxp::sim::detail
