#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/ThreadWindow.h"
#include "platform/sim/SimMachine.h"

namespace kxp::sim {
namespace {

using platform::ServiceState;

const platform::ServiceDeclaration kService{"KorvanelXPService", "KorvanelXP", true};

class RecordingEntry : public platform::ServiceEntry {
  public:
    explicit RecordingEntry(std::function<void()> main = {}) : main_(std::move(main)) {}
    void ServiceMain() override {
        mainThread = std::this_thread::get_id();
        if (main_) main_();
    }
    std::uint32_t Control(std::uint32_t code) override {
        controls.push_back(code);
        return code == 1 ? platform::kNoError : platform::kErrorCallNotImplemented;
    }

    std::thread::id mainThread;
    std::vector<std::uint32_t> controls;

  private:
    std::function<void()> main_;
};

TEST(SimServiceHost, NotStartedByTheServiceManagerRunsNothing) {
    SimMachine machine;
    machine.SetStartedByServiceManager(false);
    RecordingEntry entry;
    EXPECT_FALSE(machine.platform().services.RunServiceApplication(kService, entry));
    EXPECT_EQ(entry.mainThread, std::thread::id());
}

TEST(SimServiceHost, ServiceMainRunsOnAThreadOfItsOwnWhileTheCallerRunsItsWindows) {
    SimMachine machine;
    ThreadWindow window(machine.platform().windows, "Main");
    std::thread::id ranOn;
    RecordingEntry entry([&] {
        window.Post([&] { ranOn = std::this_thread::get_id(); });
        // The service thread goes on while the main thread runs the work.
        machine.platform().clock.Sleep(10);
    });
    EXPECT_TRUE(machine.platform().services.RunServiceApplication(kService, entry));
    EXPECT_NE(entry.mainThread, std::this_thread::get_id());
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(SimServiceHost, WhatServiceMainThrowsReachesTheCaller) {
    SimMachine machine;
    RecordingEntry entry([&] { machine.platform().process.ExitProcess(3); });
    try {
        machine.platform().services.RunServiceApplication(kService, entry);
        ADD_FAILURE() << "the process end was lost";
    } catch (const SimProcessExit& exit) {
        EXPECT_EQ(exit.exitCode, 3u);
    }
}

TEST(SimServiceHost, ControlsReachOnlyARunningService) {
    SimMachine machine;
    std::atomic<bool> stop{false};
    RecordingEntry entry([&] {
        while (!stop) machine.platform().clock.Sleep(10);
    });
    EXPECT_FALSE(machine.SendControl(129));

    std::thread dispatcher([&] {
        while (!machine.SendControl(129)) std::this_thread::yield();
        EXPECT_EQ(machine.SendControl(platform::kControlStop), platform::kNoError);
        stop = true;
    });
    EXPECT_TRUE(machine.platform().services.RunServiceApplication(kService, entry));
    dispatcher.join();
    EXPECT_EQ(entry.controls, (std::vector<std::uint32_t>{129, platform::kControlStop}));
    EXPECT_FALSE(machine.SendControl(1));
}

TEST(SimServiceHost, StatusReportsCarryTheVirtualTick) {
    SimMachine machine;
    machine.SetNow(1234);
    machine.platform().services.ReportStatus(ServiceState::Running, platform::kAcceptStop, 0, 0);
    const auto reports = machine.StatusReports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].state, ServiceState::Running);
    EXPECT_EQ(reports[0].controlsAccepted, platform::kAcceptStop);
    EXPECT_EQ(reports[0].tick, 1234u);
}

TEST(SimServiceHost, InstallAndUninstallFollowTheServiceManagerCodes) {
    SimMachine machine;
    auto& services = machine.platform().services;
    EXPECT_EQ(services.InstallService(kService, "\"C:\\KorvanelXP.exe\""), 0u);
    const auto installed = machine.InstalledService("KorvanelXPService");
    ASSERT_TRUE(installed.has_value());
    EXPECT_EQ(installed->binaryPath, "\"C:\\KorvanelXP.exe\"");
    EXPECT_TRUE(installed->declaration.interactive);
    EXPECT_EQ(services.InstallService(kService, "x"), 1073u);

    EXPECT_EQ(services.UninstallService("KorvanelXPService"), 0u);
    EXPECT_FALSE(machine.InstalledService("KorvanelXPService").has_value());
    EXPECT_EQ(services.UninstallService("KorvanelXPService"), 1060u);

    machine.FailServiceInstall(5);
    EXPECT_EQ(services.InstallService(kService, "x"), 5u);
    machine.FailServiceInstall(0);
    EXPECT_EQ(services.InstallService(kService, "x"), 0u);
}

TEST(SimServiceHost, ErrorTextNamesTheCode) {
    SimMachine machine;
    for (std::uint32_t code : {5u, 1060u, 1073u, 31337u}) {
        EXPECT_NE(machine.platform().services.ErrorText(code).find(std::to_string(code)),
                  std::string::npos);
    }
}

TEST(SimServiceHost, EventLogRecordsSourceAndText) {
    SimMachine machine;
    machine.platform().services.LogError("KorvanelXPService", "Service failed on execute: x");
    EXPECT_EQ(machine.EventLog(),
              std::vector<std::string>{"KorvanelXPService: Service failed on execute: x"});
}

TEST(SimProcessApi, CallsAreRecordedAndExitThrows) {
    SimMachine machine;
    auto& process = machine.platform().process;
    EXPECT_EQ(process.ModuleFileName(), "C:\\Program Files\\KorvanelXP\\KorvanelXP.exe");
    machine.SetModuleFileName("D:\\x.exe");
    EXPECT_EQ(process.ModuleFileName(), "D:\\x.exe");

    EXPECT_TRUE(process.TrimWorkingSet());
    EXPECT_EQ(machine.TrimCount(), 1);
    process.OutputDebugStringA("KorvanelXP: run");
    EXPECT_EQ(machine.DebugOutput(), std::vector<std::string>{"KorvanelXP: run"});

    try {
        process.ExitProcess(3);
        FAIL() << "ExitProcess returned";
    } catch (const SimProcessExit& exit) {
        EXPECT_EQ(exit.exitCode, 3u);
    }
}

}  // namespace
}  // namespace kxp::sim
