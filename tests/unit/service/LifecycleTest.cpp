#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

#include "ServiceFixture.h"

namespace kxp::test {
namespace {

using platform::RegistryRoot;
using platform::ServiceState;

constexpr const char* kWinlogon = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

struct ShellCase {
    const char* name;
    std::function<void(sim::SimMachine&)> arrange;
    const char* expected;
};

class WinlogonShellTest : public ServiceTest, public ::testing::WithParamInterface<ShellCase> {};

TEST_P(WinlogonShellTest, ServiceStartTakesTheShellFileName) {
    GetParam().arrange(sim);
    service.ServiceStart();
    EXPECT_EQ(service.ShellProcessName, GetParam().expected);
    EXPECT_EQ(sim.OpenKeyCount(), 0);
}

void SetWinlogonShell(sim::SimMachine& sim, const std::string& value) {
    sim.SetString(RegistryRoot::LocalMachine, kWinlogon, "Shell", value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WinlogonShellTest,
    ::testing::Values(
        ShellCase{"FullPathUpperCase",
                  [](auto& sim) { SetWinlogonShell(sim, "C:\\WINDOWS\\EXPLORER.EXE"); },
                  "explorer.exe"},
        ShellCase{
            "QuotedPath",
            [](auto& sim) { SetWinlogonShell(sim, "\"C:\\Program Files\\Shells\\Cube.exe\""); },
            "cube.exe"},
        ShellCase{"QuotedName", [](auto& sim) { SetWinlogonShell(sim, "\"LiteStep.exe\""); },
                  "litestep.exe"},
        ShellCase{"PlainName", [](auto& sim) { SetWinlogonShell(sim, "myshell.exe"); },
                  "myshell.exe"},
        ShellCase{"OneCharacter", [](auto& sim) { SetWinlogonShell(sim, "X"); }, "x"},
        ShellCase{"OneQuoteIsKept", [](auto& sim) { SetWinlogonShell(sim, "\""); }, "\""},
        ShellCase{"TwoQuotesAreEmpty", [](auto& sim) { SetWinlogonShell(sim, "\"\""); },
                  "explorer.exe"},
        ShellCase{"Empty", [](auto& sim) { SetWinlogonShell(sim, ""); }, "explorer.exe"},
        ShellCase{"TrailingBackslash", [](auto& sim) { SetWinlogonShell(sim, "C:\\Shells\\"); },
                  "explorer.exe"},
        ShellCase{"KeyMissing", [](auto&) {}, "explorer.exe"},
        ShellCase{"ValueMissing",
                  [](auto& sim) { sim.CreateKey(RegistryRoot::LocalMachine, kWinlogon); },
                  "explorer.exe"},
        ShellCase{
            "WrongType",
            [](auto& sim) { sim.SetDword(RegistryRoot::LocalMachine, kWinlogon, "Shell", 1); },
            "explorer.exe"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ServiceTest, ServiceStartForgetsAnEarlierShellName) {
    SetWinlogonShell(sim, "cube.exe");
    service.ServiceStart();
    SetWinlogonShell(sim, "");
    service.ServiceStart();
    EXPECT_EQ(service.ShellProcessName, "explorer.exe");
}

TEST_F(ServiceTest, TheSamplerLooksForTheWinlogonShell) {
    SetWinlogonShell(sim, "C:\\Shells\\Cube.exe");
    std::string shellName;
    sim.At(kStartTick + 500, [&] { shellName = service.SystemData->ShellName; });
    QuitAfterPass(1);
    Run();
    EXPECT_EQ(shellName, "cube.exe");
}

TEST_F(ServiceTest, StartAndEndRunInOrder) {
    LogOn();
    QuitAfterPass(1);
    Run();
    const auto traces = Traces();
    const std::vector<std::string> expected = {
        "GetMemory",  "+GetMemory", "ServiceExecute SetSize", "+++++++++++ QUIT user +++++++++++++",
        "FreeMemory", "+FreeMemory"};
    auto at = traces.begin();
    for (const auto& text : expected) {
        at = std::find(at, traces.end(), text);
        ASSERT_NE(at, traces.end()) << "missing or out of order: " << text;
    }
}

TEST_F(ServiceTest, StopIsHonouredAtTheEndOfTheCurrentPass) {
    ControlDuringPass(3, platform::kControlStop);
    Run();
    EXPECT_EQ(Passes(), 3);
    EXPECT_TRUE(Traced("Stop"));
    EXPECT_TRUE(Traced("+++++++++++ QUIT terminate +++++++++++++"));
    const auto reports = sim.StatusReports();
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports[reports.size() - 2].state, ServiceState::StopPending);
    EXPECT_EQ(reports.back().state, ServiceState::Stopped);
    EXPECT_EQ(reports.back().tick, kStartTick + 3000);
}

TEST_F(ServiceTest, ShutdownEndsTheServiceLikeStop) {
    LogOn();
    const auto settings = AddSettingsWindow();
    ControlDuringPass(2, platform::kControlShutdown);
    Run();
    EXPECT_EQ(Passes(), 2);
    EXPECT_TRUE(Traced("Shutdown"));
    EXPECT_FALSE(Traced("Stop"));
    EXPECT_TRUE(Traced("+++++++++++ QUIT terminate +++++++++++++"));
    EXPECT_EQ(SettingsMessages(settings).back(), (SettingsMessage{7, 0}));
    EXPECT_EQ(sim.StatusReports().back().state, ServiceState::Stopped);
}

TEST_F(ServiceTest, InterrogateReportsTheCurrentStatusAgain) {
    ControlDuringPass(1, platform::kControlInterrogate);
    QuitAfterPass(2);
    Run();
    const auto reports = sim.StatusReports();
    ASSERT_EQ(reports.size(), 4u);
    EXPECT_EQ(reports[2].state, ServiceState::Running);
    EXPECT_EQ(reports[2].controlsAccepted, platform::kAcceptStop | platform::kAcceptShutdown);
    EXPECT_EQ(reports[2].tick, kStartTick + 1000);
}

TEST_F(ServiceTest, ExitFromTheTrayMenuEndsTheLoopAndTellsTheSettingsProgramOnce) {
    LogOn();
    const auto settings = AddSettingsWindow();
    sim.At(DuringPass(2), [this] { service.miExitClick(); });
    Run();
    EXPECT_EQ(Passes(), 2);
    EXPECT_TRUE(Traced("---Exit---"));
    EXPECT_TRUE(Traced("+++++++++++ QUIT user +++++++++++++"));
    const auto messages = SettingsMessages(settings);
    EXPECT_EQ(std::count(messages.begin(), messages.end(), SettingsMessage{7, 0}), 1);
    EXPECT_TRUE(service.QuitRequested);
}

// A critical error shows its box without waiting for it, tells the control manager that the
// service stopped with a code of its own (a dead service would otherwise read as running), and
// ends the process with that code.
struct CriticalCase {
    const char* name;
    bool failDrawingObjects;
    const char* box;
    std::uint32_t exitCode;
};

class CriticalErrorTest : public ServiceTest, public ::testing::WithParamInterface<CriticalCase> {};

TEST_P(CriticalErrorTest, ShowsTheBoxReportsStoppedWithItsCodeAndEndsTheProcess) {
    (GetParam().failDrawingObjects ? service.failDrawingObjects : service.failSampler) = true;
    std::optional<std::uint32_t> exitCode;
    try {
        Run();
    } catch (const sim::SimProcessExit& exit) {
        exitCode = exit.exitCode;
    }
    EXPECT_EQ(exitCode, GetParam().exitCode);
    const auto boxes = sim.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, GetParam().box);
    const auto last = sim.StatusReports().back();
    EXPECT_EQ(last.state, ServiceState::Stopped);
    EXPECT_EQ(last.exitCode, platform::kErrorServiceSpecificError);
    EXPECT_EQ(last.serviceExitCode, GetParam().exitCode);
    EXPECT_FALSE(Traced("+GetMemory"));
    EXPECT_EQ(sim.TotalSleptMs(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CriticalErrorTest,
    ::testing::Values(CriticalCase{"DrawingObjects", true,
                                   "KorvanelXP critical error: Out of system resources", 1},
                      CriticalCase{"Sampler", false, "Critical Error #1", 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ServiceTest, FailingDrawingObjectsAreTraced) {
    service.failDrawingObjects = true;
    EXPECT_THROW(Run(), sim::SimProcessExit);
    EXPECT_TRUE(Traced("###### error 1: Out of system resources"));
}

TEST_F(ServiceTest, AnErrorEscapingTheLoopIsLoggedAndTheServiceStops) {
    service.onSessionCheck = [](int check) {
        if (check == 3) throw std::runtime_error("Counter read failed");
    };
    Run();
    EXPECT_EQ(Passes(), 3);
    const auto log = sim.EventLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("KorvanelXPService"), std::string::npos);
    EXPECT_NE(log[0].find("Service failed on execute: Counter read failed"), std::string::npos);
    EXPECT_EQ(sim.StatusReports().back().state, ServiceState::Stopped);
}

TEST_F(ServiceTest, WorkingObjectsLiveOnlyWhileTheLoopRuns) {
    bool createdDuringLoop = false;
    sim.At(kStartTick + 500, [&] {
        createdDuringLoop = service.SystemData && service.CpuBusyHistory &&
                            service.IconDrawState(1).History && service.IconDrawState(2).History &&
                            service.OptionReader() && service.OptionWriter();
    });
    QuitAfterPass(1);
    Run();
    EXPECT_TRUE(createdDuringLoop);
    EXPECT_FALSE(service.SystemData || service.CpuBusyHistory || service.IconDrawState(1).History ||
                 service.IconDrawState(2).History || service.OptionReader() ||
                 service.OptionWriter());
}

TEST_F(ServiceTest, GraphHistoriesStartEmptyAndTheCpuHistoryAtZero) {
    std::array<std::uint16_t, 16> graph{}, cpu{};
    sim.At(kStartTick + 1, [&] {
        graph = service.IconDrawState(1).History->Slots;
        cpu = service.CpuBusyHistory->Slots;
    });
    QuitAfterPass(1);
    Run();
    EXPECT_EQ(graph[0], 15);
    EXPECT_EQ(graph[15], 15);
    EXPECT_EQ(cpu[0], 0);
    EXPECT_EQ(cpu[15], 0);
}

}  // namespace
}  // namespace kxp::test
