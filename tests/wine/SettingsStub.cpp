// Stands in for the settings program at its start: writes who started it, on which desktop, with
// which priority class and in which folder to C:\KorvanelXPTest\settings-stub.txt, then exits.
//
//   user=<GetUserNameA>
//   desktop=<lpDesktop of the startup record>
//   priority=<GetPriorityClass, 8 hexadecimal digits>
//   directory=<GetCurrentDirectoryA>
//   commandline=<GetCommandLineA>
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/UniqueHandle.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using unique_file = kxp::unique_handle<std::FILE*, FileCloser>;

constexpr char kRecord[] = "C:\\KorvanelXPTest\\settings-stub.txt";

}  // namespace

int main() {
    char user[256] = {};
    DWORD userSize = sizeof user;
    if (GetUserNameA(user, &userSize) == FALSE) user[0] = '\0';
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    char directory[MAX_PATH + 1] = {};
    if (GetCurrentDirectoryA(MAX_PATH, directory) == 0) directory[0] = '\0';
    const DWORD priority = GetPriorityClass(GetCurrentProcess());

    // Written to a temporary name first, so that a reader never sees half a record.
    const std::string temporary = std::string(kRecord) + ".tmp";
    {
        unique_file out(std::fopen(temporary.c_str(), "w"));
        if (!out) return 1;
        std::fprintf(out.get(),
                     "user=%s\ndesktop=%s\npriority=%08lX\ndirectory=%s\ncommandline=%s\n", user,
                     startup.lpDesktop != nullptr ? startup.lpDesktop : "",
                     static_cast<unsigned long>(priority), directory, GetCommandLineA());
    }
    return MoveFileExA(temporary.c_str(), kRecord, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
