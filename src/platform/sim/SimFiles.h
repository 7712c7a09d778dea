// The simulated machine's small file system and locale: files and directories by full path, listed
// in the order they were added, and a Latin-1 system code page.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace kxp::sim::detail {

struct SimState;

struct SimFileEntry {
    std::string path;  // as added
    bool directory = false;
    std::vector<std::uint8_t> contents;
};

struct SimFilesState {
    std::vector<SimFileEntry> entries;
    std::uint16_t userDefaultLangId = 0x0409;
    std::vector<std::string> reads;
};

class SimFiles final : public platform::Files {
  public:
    explicit SimFiles(SimState& state) : state_(state) {}
    std::vector<std::string> FindFiles(const std::string& pattern) override;
    bool FileExists(const std::string& path) override;
    bool ReadWholeFile(const std::string& path, std::size_t maxBytes,
                       std::vector<std::uint8_t>& contents) override;
    std::uint16_t GetUserDefaultLangID() override;
    std::u16string AnsiToWide(const std::string& text) override;
    std::string WideToAnsi(const std::u16string& text) override;

  private:
    SimState& state_;
};

// The entry whose path equals path, whatever the letter case; null when there is none.
SimFileEntry* FindFileEntry(SimFilesState& files, const std::string& path);

}  // namespace kxp::sim::detail
