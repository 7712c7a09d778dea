// Program entry of KorvanelXP.exe, above the platform: the INSTALL / UNINSTALL / SILENT switches,
// or the service application itself.
#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace kxp {

// args are the command-line arguments without the program name. Returns the process exit code.
int RunServiceProgram(platform::Platform& platform, const std::vector<std::string>& args);

}  // namespace kxp
