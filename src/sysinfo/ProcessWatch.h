// The per-process checks of the process scan that act on the machine: the end of any
// "korvanel.exe", and pushing the update client's windows out of sight.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Platform.h"
#include "sysinfo/TWindowList.h"

namespace kxp {

// An image name as the ANSI text the checks compare. UTF-16 code units below 256 keep their value
// (the Western code page agrees with them on every printable character); any other becomes '?',
// as the system's conversion does for a character the code page lacks. The text has the record's
// length, however long, and is never read past it.
std::string AnsiName(std::u16string_view name);

// Names compare ignoring ASCII letter case.
bool AnsiNameEquals(std::string_view name, std::string_view other);

// Moves the update client's windows to 2048, 2048 (1 x 1, at the bottom, not activated). A window
// already at x or y 2048 is left alone, so each window moves once. The window snapshot is taken
// at the first process that needs it and dropped with this object, at the end of the scan.
class UpdateWindowHider {
  public:
    explicit UpdateWindowHider(platform::Windows& windows) : windows_(windows) {}

    // The windows of one process named "wuauclt.exe".
    void Hide(std::uint32_t processId);

  private:
    bool HasDialogFrame(platform::Handle window);
    void Move(platform::Handle window);

    platform::Windows& windows_;
    std::optional<TWindowList> snapshot_;
};

// Opens the process for termination and ends it with exit code 0. Best effort: a process that
// cannot be opened is left running.
void EndProcess(platform::Security& security, std::uint32_t processId);

}  // namespace kxp
