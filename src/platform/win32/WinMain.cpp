// KorvanelXP.exe: the real platform handed to the portable program entry.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "service/ProgramEntry.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    kxp::win32::Win32Platform platform;
    // The runtime has already split the command line; the switches are plain ASCII.
    std::vector<std::string> args;
    for (int i = 1; i < __argc; ++i) args.emplace_back(__argv[i]);
    return kxp::RunServiceProgram(platform.platform(), args);
}
