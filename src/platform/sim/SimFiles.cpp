#include "platform/sim/SimFiles.h"

#include <mutex>

#include "platform/sim/SimState.h"

namespace kxp::sim::detail {

namespace {

// A file-name mask with "*" and "?", compared without regard to letter case.
bool MatchesMask(std::string_view name, std::string_view mask) {
    if (mask.empty()) return name.empty();
    if (mask.front() == '*') {
        for (std::size_t skip = 0; skip <= name.size(); ++skip) {
            if (MatchesMask(name.substr(skip), mask.substr(1))) return true;
        }
        return false;
    }
    if (name.empty()) return false;
    const bool same = mask.front() == '?' || ToLower(std::string(1, mask.front())) ==
                                                 ToLower(std::string(1, name.front()));
    return same && MatchesMask(name.substr(1), mask.substr(1));
}

}  // namespace

SimFileEntry* FindFileEntry(SimFilesState& files, const std::string& path) {
    const std::string wanted = ToLower(path);
    for (auto& entry : files.entries) {
        if (ToLower(entry.path) == wanted) return &entry;
    }
    return nullptr;
}

std::vector<std::string> SimFiles::FindFiles(const std::string& pattern) {
    const auto split = pattern.rfind('\\');
    const std::string folder = ToLower(pattern.substr(0, split + 1));
    const std::string mask = pattern.substr(split + 1);
    std::vector<std::string> names;
    std::lock_guard lock(state_.mutex);
    for (const auto& entry : state_.files.entries) {
        const auto nameStart = entry.path.rfind('\\') + 1;
        const std::string name = entry.path.substr(nameStart);
        if (ToLower(entry.path.substr(0, nameStart)) == folder && MatchesMask(name, mask)) {
            names.push_back(name);
        }
    }
    return names;
}

bool SimFiles::FileExists(const std::string& path) {
    std::lock_guard lock(state_.mutex);
    const auto* entry = FindFileEntry(state_.files, path);
    return entry != nullptr && !entry->directory;
}

bool SimFiles::ReadWholeFile(const std::string& path, std::size_t maxBytes,
                             std::vector<std::uint8_t>& contents) {
    std::lock_guard lock(state_.mutex);
    state_.files.reads.push_back(path);
    const auto* entry = FindFileEntry(state_.files, path);
    if (entry == nullptr || entry->directory || entry->contents.size() > maxBytes) return false;
    contents = entry->contents;
    return true;
}

std::uint16_t SimFiles::GetUserDefaultLangID() {
    std::lock_guard lock(state_.mutex);
    return state_.files.userDefaultLangId;
}

std::u16string SimFiles::AnsiToWide(const std::string& text) {
    std::u16string wide;
    wide.reserve(text.size());
    for (const char c : text) wide.push_back(static_cast<unsigned char>(c));
    return wide;
}

std::string SimFiles::WideToAnsi(const std::u16string& text) {
    std::string ansi;
    ansi.reserve(text.size());
    for (const char16_t c : text) ansi.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
    return ansi;
}

}  // namespace kxp::sim::detail
