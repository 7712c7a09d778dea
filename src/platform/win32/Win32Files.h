// Files beside the executable and the user's locale, on the real API.
#pragma once

#include "platform/Platform.h"

namespace kxp::win32 {

class Win32Files final : public platform::Files {
  public:
    std::vector<std::string> FindFiles(const std::string& pattern) override;
    bool FileExists(const std::string& path) override;
    bool ReadWholeFile(const std::string& path, std::size_t maxBytes,
                       std::vector<std::uint8_t>& contents) override;
    std::uint16_t GetUserDefaultLangID() override;
    std::u16string AnsiToWide(const std::string& text) override;
    std::string WideToAnsi(const std::u16string& text) override;
};

}  // namespace kxp::win32
