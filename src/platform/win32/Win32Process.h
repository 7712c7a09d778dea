// The service's own process: working set, executable path, debug output and exit.
#pragma once

#include "platform/Platform.h"

namespace kxp::win32 {

class Win32Process final : public platform::Process {
  public:
    bool TrimWorkingSet() override;
    std::string ModuleFileName() override;
    void OutputDebugStringA(const std::string& text) override;
    bool SetPriorityClass(std::uint32_t priorityClass) override;
    [[noreturn]] void ExitProcess(std::uint32_t exitCode) override;
};

}  // namespace kxp::win32
