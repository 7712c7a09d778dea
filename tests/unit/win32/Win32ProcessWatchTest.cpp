// The process scan on the real API: its own process found by name, as the service finds the
// shell (run under Wine by the Windows build's tests).
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/Win32Platform.h"
#include "sysinfo/TSystemData.h"

namespace kxp::win32 {
namespace {

TEST(Win32ProcessWatch, TheScanFindsThisProcessByItsNameInAnyLetterCase) {
    Win32Platform platform;
    TSystemData sampler(platform.platform());
    sampler.ShellName = "KORVANEL_TESTS.EXE";
    sampler.ScanProcesses(false, false);
    EXPECT_EQ(static_cast<DWORD>(sampler.ShellProcessId.load()), ::GetCurrentProcessId());
    EXPECT_EQ(sampler.InstallerProcessId.load(), 0);
}

}  // namespace
}  // namespace kxp::win32
