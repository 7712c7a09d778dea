// The process scan on the real API: its own process found by name, as the service finds the
// shell (run under Wine by the Windows build's tests).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"
#include "sysinfo/TSystemData.h"

namespace kxp::win32 {
namespace {

std::string ImagePath(DWORD processId) {
    const UniqueKernelHandle process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    char path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (!process || !::QueryFullProcessImageNameA(process.get(), 0, path, &size)) return {};
    return std::string(path, size);
}

TEST(Win32ProcessWatch, TheScanFindsThisProcessByItsNameInAnyLetterCase) {
    Win32Platform platform;
    TSystemData sampler(platform.platform());
    sampler.ShellName = "KORVANEL_TESTS.EXE";
    sampler.ScanProcesses(false, false);
    // ctest may run a second copy of this program meanwhile; either copy is the right find.
    const auto found = static_cast<DWORD>(sampler.ShellProcessId.load());
    ASSERT_NE(found, 0u);
    EXPECT_EQ(ImagePath(found), ImagePath(::GetCurrentProcessId()));
    EXPECT_EQ(sampler.InstallerProcessId.load(), 0);
}

}  // namespace
}  // namespace kxp::win32
