#include "platform/win32/Win32Files.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <utility>

#include "platform/win32/Win32Handles.h"

namespace kxp::win32 {

std::vector<std::string> Win32Files::FindFiles(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    const HANDLE first = ::FindFirstFileA(pattern.c_str(), &found);
    if (first == INVALID_HANDLE_VALUE) return names;
    const UniqueFindHandle search(first);
    do {
        names.emplace_back(found.cFileName);
    } while (::FindNextFileA(search.get(), &found));
    return names;
}

bool Win32Files::FileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32Files::ReadWholeFile(const std::string& path, std::size_t maxBytes,
                               std::vector<std::uint8_t>& contents) {
    // Without FILE_FLAG_BACKUP_SEMANTICS a directory does not open.
    const HANDLE opened = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return false;
    const UniqueKernelHandle file(opened);
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
        return false;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        DWORD read = 0;
        if (!::ReadFile(file.get(), bytes.data() + done, chunk, &read, nullptr) || read == 0) {
            return false;
        }
        done += read;
    }
    contents = std::move(bytes);
    return true;
}

std::uint16_t Win32Files::GetUserDefaultLangID() {
    return ::GetUserDefaultLangID();
}

std::u16string Win32Files::AnsiToWide(const std::string& text) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const int length = static_cast<int>(text.size());
    const int needed = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (needed <= 0) return {};
    std::u16string wide(static_cast<std::size_t>(needed), u'\0');
    const int written = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length,
                                              reinterpret_cast<wchar_t*>(wide.data()), needed);
    wide.resize(static_cast<std::size_t>(written > 0 ? written : 0));
    return wide;
}

std::string Win32Files::WideToAnsi(const std::u16string& text) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const auto* source = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    const int needed =
        ::WideCharToMultiByte(CP_ACP, 0, source, length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string ansi(static_cast<std::size_t>(needed), '\0');
    const int written =
        ::WideCharToMultiByte(CP_ACP, 0, source, length, ansi.data(), needed, nullptr, nullptr);
    ansi.resize(static_cast<std::size_t>(written > 0 ? written : 0));
    return ansi;
}

}  // namespace kxp::win32
