#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Trace.h"
#include "platform/sim/SimMachine.h"
#include "service/ProgramEntry.h"

namespace kxp::test {
namespace {

using platform::RegistryRoot;

constexpr const char* kServiceKey = "SYSTEM\\CurrentControlSet\\Services\\KorvanelXPService";
constexpr const char* kModule = "C:\\Program Files\\KorvanelXP\\KorvanelXP.exe";

class ProgramEntryTest : public ::testing::Test {
  protected:
    ProgramEntryTest() { sim.SetModuleFileName(kModule); }
    ~ProgramEntryTest() override { SetTraceSink({}); }

    int Run(std::vector<std::string> args) { return RunServiceProgram(sim.platform(), args); }

    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : sim.MessageBoxes()) texts.push_back(box.text);
        return texts;
    }

    sim::SimMachine sim;
};

class InstallSwitchTest : public ProgramEntryTest,
                          public ::testing::WithParamInterface<const char*> {};

TEST_P(InstallSwitchTest, InstallSwitchInstallsTheInteractiveServiceWithAQuotedPath) {
    EXPECT_EQ(Run({GetParam()}), 0);
    const auto installed = sim.InstalledService("KorvanelXPService");
    ASSERT_TRUE(installed.has_value());
    EXPECT_EQ(installed->declaration.name, "KorvanelXPService");
    EXPECT_EQ(installed->declaration.displayName, "KorvanelXP");
    EXPECT_TRUE(installed->declaration.interactive);
    EXPECT_EQ(installed->binaryPath, std::string("\"") + kModule + "\"");
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Service installed successfully"});
    EXPECT_TRUE(sim.StatusReports().empty());  // installing does not run the service
}

INSTANTIATE_TEST_SUITE_P(Spellings, InstallSwitchTest,
                         ::testing::Values("INSTALL", "install", "/INSTALL", "/install", "-Install",
                                           "-INSTALL"));

TEST_F(ProgramEntryTest, SilentInstallShowsNoMessage) {
    EXPECT_EQ(Run({"INSTALL", "SILENT"}), 0);
    EXPECT_TRUE(sim.InstalledService("KorvanelXPService").has_value());
    EXPECT_TRUE(sim.MessageBoxes().empty());
}

TEST_F(ProgramEntryTest, FailedInstallShowsTheErrorTextAndExitsNonZero) {
    sim.FailServiceInstall(5);
    EXPECT_NE(Run({"/INSTALL"}), 0);
    EXPECT_FALSE(sim.InstalledService("KorvanelXPService").has_value());
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{sim.platform().services.ErrorText(5)});
}

TEST_F(ProgramEntryTest, FailedSilentInstallShowsNothingAndExitsNonZero) {
    sim.FailServiceInstall(5);
    EXPECT_NE(Run({"-SILENT", "-INSTALL"}), 0);
    EXPECT_TRUE(sim.MessageBoxes().empty());
}

TEST_F(ProgramEntryTest, UninstallRemovesTheService) {
    ASSERT_EQ(Run({"/install", "/silent"}), 0);
    EXPECT_EQ(Run({"/uninstall"}), 0);
    EXPECT_FALSE(sim.InstalledService("KorvanelXPService").has_value());
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Service uninstalled successfully"});
}

TEST_F(ProgramEntryTest, UninstallingAMissingServiceShowsTheErrorAndExitsNonZero) {
    EXPECT_NE(Run({"-Uninstall"}), 0);
    ASSERT_EQ(sim.MessageBoxes().size(), 1u);
    EXPECT_NE(sim.MessageBoxes()[0].text, "Service uninstalled successfully");
    EXPECT_NE(Run({"/UNINSTALL", "/SILENT"}), 0);
    EXPECT_EQ(sim.MessageBoxes().size(), 1u);
}

TEST_F(ProgramEntryTest, WithoutSwitchesTheServiceRunsUntilStopped) {
    sim.At(2500, [this] { sim.SendControl(platform::kControlStop); });
    EXPECT_EQ(Run({}), 0);
    EXPECT_EQ(sim.TotalSleptMs(), 3000u);
    ASSERT_FALSE(sim.StatusReports().empty());
    EXPECT_EQ(sim.StatusReports().back().state, platform::ServiceState::Stopped);
}

TEST_F(ProgramEntryTest, NotStartedByTheServiceManagerExitsNonZero) {
    sim.SetStartedByServiceManager(false);
    EXPECT_NE(Run({}), 0);
    EXPECT_TRUE(sim.StatusReports().empty());
}

TEST_F(ProgramEntryTest, DebugTraceSendsPrefixedTracesToTheDebugger) {
    sim.SetDword(RegistryRoot::LocalMachine, kServiceKey, "DebugTrace", 1);
    sim.SetStartedByServiceManager(false);
    Run({});
    EXPECT_EQ(sim.DebugOutput(),
              (std::vector<std::string>{"KorvanelXP: Createform", "KorvanelXP: run",
                                        "KorvanelXP: after run"}));
}

TEST_F(ProgramEntryTest, TracesStopWhenTheProgramReturns) {
    sim.SetDword(RegistryRoot::LocalMachine, kServiceKey, "DebugTrace", 1);
    sim.SetStartedByServiceManager(false);
    Run({});
    const auto before = sim.DebugOutput().size();
    Trace("later");
    EXPECT_EQ(sim.DebugOutput().size(), before);
}

struct TraceSwitchCase {
    const char* name;
    std::function<void(sim::SimMachine&)> arrange;
};

class TraceOffTest : public ProgramEntryTest,
                     public ::testing::WithParamInterface<TraceSwitchCase> {};

TEST_P(TraceOffTest, TracesAreDiscarded) {
    GetParam().arrange(sim);
    sim.SetStartedByServiceManager(false);
    Run({});
    EXPECT_TRUE(sim.DebugOutput().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TraceOffTest,
    ::testing::Values(TraceSwitchCase{"KeyMissing", [](auto&) {}},
                      TraceSwitchCase{"ValueMissing",
                                      [](auto& sim) {
                                          sim.CreateKey(RegistryRoot::LocalMachine, kServiceKey);
                                      }},
                      TraceSwitchCase{"Zero",
                                      [](auto& sim) {
                                          sim.SetDword(RegistryRoot::LocalMachine, kServiceKey,
                                                       "DebugTrace", 0);
                                      }},
                      TraceSwitchCase{"WrongType",
                                      [](auto& sim) {
                                          sim.SetString(RegistryRoot::LocalMachine, kServiceKey,
                                                        "DebugTrace", "1");
                                      }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kxp::test
