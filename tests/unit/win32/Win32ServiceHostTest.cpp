#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32ServiceHost.h"

namespace kxp::win32 {
namespace {

class CountingEntry final : public platform::ServiceEntry {
  public:
    void ServiceMain() override { ++mains; }
    std::uint32_t Control(std::uint32_t) override {
        ++controls;
        return platform::kNoError;
    }
    std::atomic<int> mains{0};
    std::atomic<int> controls{0};
};

TEST(Win32ServiceHost, RunServiceApplication_NotStartedByTheControlManagerReturnsFalse) {
    Win32ServiceHost host;
    CountingEntry entry;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(
        host.RunServiceApplication({"KorvanelXPTestService", "KorvanelXP test", true}, entry));
    // Windows refuses at once; Wine looks for the control manager for about ten seconds first.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_EQ(entry.mains, 0);
    EXPECT_EQ(entry.controls, 0);
}

TEST(Win32ServiceHost, ErrorText_IsOneTrimmedSystemText) {
    Win32ServiceHost host;
    for (const DWORD code : {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_SERVICE_EXISTS}) {
        const std::string text = host.ErrorText(code);
        ASSERT_FALSE(text.empty()) << code;
        EXPECT_FALSE(std::isspace(static_cast<unsigned char>(text.back()))) << code;
        EXPECT_EQ(text.find('\n'), std::string::npos) << code;
        EXPECT_NE(text.find_first_not_of("0123456789 "), std::string::npos) << code;
    }
}

TEST(Win32ServiceHost, ErrorText_ForACodeWithoutTextNamesTheNumber) {
    Win32ServiceHost host;
    EXPECT_EQ(host.ErrorText(0x2FFFFFFF), "System error 805306367");
}

// The configuration the control manager holds for a service, or nothing.
struct InstalledConfig {
    DWORD type = 0;
    DWORD startType = 0;
    std::string binaryPath;
    std::string displayName;
};

bool ReadConfig(const std::string& name, InstalledConfig& config) {
    UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return false;
    UniqueServiceHandle service(::OpenServiceA(manager.get(), name.c_str(), SERVICE_QUERY_CONFIG));
    if (!service) return false;
    DWORD needed = 0;
    ::QueryServiceConfigA(service.get(), nullptr, 0, &needed);
    // Whole 64-bit words keep the record aligned.
    std::vector<std::uint64_t> buffer(needed / sizeof(std::uint64_t) + 1);
    auto* native = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
    if (needed < sizeof *native || !::QueryServiceConfigA(service.get(), native, needed, &needed)) {
        return false;
    }
    config = {native->dwServiceType, native->dwStartType, native->lpBinaryPathName,
              native->lpDisplayName};
    return true;
}

TEST(Win32ServiceHost, InstallAndUninstall_RegisterAnInteractiveAutoStartService) {
    Win32ServiceHost host;
    const std::string name = "KorvanelXPTest" + std::to_string(::GetCurrentProcessId());
    const std::string path = "\"C:\\Program Files\\KorvanelXP\\KorvanelXP.exe\"";

    ASSERT_EQ(host.InstallService({name, "KorvanelXP test", true}, path), 0u);
    InstalledConfig config;
    EXPECT_TRUE(ReadConfig(name, config));
    EXPECT_EQ(config.type, 0x110u);
    EXPECT_EQ(config.startType, static_cast<DWORD>(SERVICE_AUTO_START));
    EXPECT_EQ(config.binaryPath, path);
    EXPECT_EQ(config.displayName, "KorvanelXP test");
    EXPECT_EQ(host.InstallService({name, "KorvanelXP test", true}, path),
              static_cast<std::uint32_t>(ERROR_SERVICE_EXISTS));

    EXPECT_EQ(host.UninstallService(name), 0u);
    EXPECT_FALSE(ReadConfig(name, config));
    EXPECT_EQ(host.UninstallService(name),
              static_cast<std::uint32_t>(ERROR_SERVICE_DOES_NOT_EXIST));
}

}  // namespace
}  // namespace kxp::win32
