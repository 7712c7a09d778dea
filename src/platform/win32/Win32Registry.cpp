#include "platform/win32/Win32Registry.h"

#include <windows.h>

#include <limits>
#include <utility>

namespace kxp::win32 {

namespace {

// A value that keeps growing between the size query and the read is given up after this many reads.
constexpr int kReadAttempts = 4;

HKEY RootKey(platform::RegistryRoot root) {
    switch (root) {
        case platform::RegistryRoot::LocalMachine:
            return HKEY_LOCAL_MACHINE;
        case platform::RegistryRoot::Users:
            return HKEY_USERS;
        case platform::RegistryRoot::CurrentUser:
            return HKEY_CURRENT_USER;
        case platform::RegistryRoot::DynData:
            return HKEY_DYN_DATA;
    }
    return HKEY_LOCAL_MACHINE;
}

HKEY ToKey(platform::Handle key) {
    return reinterpret_cast<HKEY>(key);
}

}  // namespace

platform::Handle Win32Registry::OpenKey(platform::RegistryRoot root, const std::string& path,
                                        bool write, bool create) {
    // Paths are written from the root ("\Software\..."); the API wants them relative to it.
    const std::string subKey = path.starts_with('\\') ? path.substr(1) : path;
    const REGSAM access = write ? KEY_READ | KEY_WRITE : KEY_READ;
    HKEY key = nullptr;
    const LSTATUS status =
        create ? ::RegCreateKeyExA(RootKey(root), subKey.c_str(), 0, nullptr,
                                   REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr)
               : ::RegOpenKeyExA(RootKey(root), subKey.c_str(), 0, access, &key);
    return status == ERROR_SUCCESS ? reinterpret_cast<platform::Handle>(key) : 0;
}

void Win32Registry::CloseKey(platform::Handle key) {
    ::RegCloseKey(ToKey(key));
}

bool Win32Registry::QueryValue(platform::Handle key, const std::string& name, std::uint32_t& type,
                               std::vector<std::uint8_t>& data) {
    DWORD valueType = REG_NONE;
    DWORD size = 0;
    LSTATUS status =
        ::RegQueryValueExA(ToKey(key), name.c_str(), nullptr, &valueType, nullptr, &size);
    for (int attempt = 0; attempt < kReadAttempts && status == ERROR_SUCCESS; ++attempt) {
        std::vector<std::uint8_t> buffer(size);
        DWORD read = size;
        status = ::RegQueryValueExA(ToKey(key), name.c_str(), nullptr, &valueType,
                                    buffer.empty() ? nullptr : buffer.data(), &read);
        if (status == ERROR_MORE_DATA) {
            // It grew since the size query: read again at the size reported now.
            size = read;
            status = ERROR_SUCCESS;
            continue;
        }
        if (status != ERROR_SUCCESS || read > buffer.size()) return false;
        buffer.resize(read);
        type = valueType;
        data = std::move(buffer);
        return true;
    }
    return false;
}

bool Win32Registry::SetValue(platform::Handle key, const std::string& name, std::uint32_t type,
                             const std::vector<std::uint8_t>& data) {
    if (data.size() > std::numeric_limits<DWORD>::max()) return false;
    return ::RegSetValueExA(ToKey(key), name.c_str(), 0, type, data.data(),
                            static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

bool Win32Registry::DeleteValue(platform::Handle key, const std::string& name) {
    return ::RegDeleteValueA(ToKey(key), name.c_str()) == ERROR_SUCCESS;
}

std::uint32_t Win32Registry::QueryPerformanceData(const std::string& name, std::uint8_t* buffer,
                                                  std::uint32_t& size) {
    DWORD bytes = size;
    const LSTATUS status =
        ::RegQueryValueExA(HKEY_PERFORMANCE_DATA, name.c_str(), nullptr, nullptr, buffer, &bytes);
    if (status == ERROR_SUCCESS) size = bytes;
    return static_cast<std::uint32_t>(status);
}

}  // namespace kxp::win32
