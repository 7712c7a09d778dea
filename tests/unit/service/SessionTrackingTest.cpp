// Who is logged on, as the main loop follows it: the shell process's user at start, shells that
// restart or change hands, impersonations that fail, logoff and logon.
#include <string>
#include <vector>

#include "ServiceFixture.h"

namespace kxp::test {
namespace {

const std::string kStatusChange = "########### STATUS CHANGE ###########";
const std::string kLogoff = "*************************************** LOGOFF: ";
const std::string kLogin = "************************************* LOGIN: ";
const std::string kLoginDone = "---------- Login done --------------";

TEST_F(ServiceTest, AtStartTheShellsUserIsNamedAndThePeakReportedTwice) {
    LogOn(kAlice);
    const auto settings = AddSettingsWindow();
    QuitAfterPass(1);
    Run();
    EXPECT_EQ(service.Session().LoopUserName, "alice");
    EXPECT_EQ(service.Session().UserSid, kAliceSid);
    EXPECT_EQ(service.Session().UserKeyPath, kAliceSid + "\\Software\\KorvanelXP");
    // At start and in the first pass; 256 MB of 1024 are in use.
    const std::vector<SettingsMessage> expected = {{5, 256}, {5, 256}, {7, 0}};
    EXPECT_EQ(SettingsMessages(settings), expected);
    EXPECT_EQ(TraceCount("Session user: alice " + kAliceSid), 1);
    // The start path shows the icons itself: no logon steps.
    EXPECT_EQ(TraceCount(kLoginDone), 0);
    // The session check, and the options read for the language file.
    EXPECT_EQ(sim.ImpersonationCount(), 2);
    EXPECT_EQ(sim.ImpersonatingThreadCount(), 0);
    EXPECT_EQ(sim.OpenSecurityHandleCount(), 0);
}

TEST_F(ServiceTest, WithoutAShellNobodyIsLoggedOnAndTheSidIsEmpty) {
    NoShell();
    const auto settings = AddSettingsWindow();
    QuitAfterPass(3);
    Run();
    EXPECT_EQ(service.Session().CurrentUserName, "SYSTEM");
    EXPECT_EQ(service.Session().UserSid, "");
    EXPECT_EQ(sim.ImpersonationCount(), 0);
    EXPECT_TRUE(sim.OpenedProcesses().empty());
    const std::vector<SettingsMessage> expected = {{7, 0}};
    EXPECT_EQ(SettingsMessages(settings), expected);
}

TEST_F(ServiceTest, TheSameShellIsImpersonatedOnceInAllPasses) {
    Shell(1000, kAlice);
    AddSettingsWindow();  // no first-run launch
    QuitAfterPass(6);
    Run();
    // The start's session check, then its options read for the language file; no pass asks.
    EXPECT_EQ(sim.ImpersonationCount(), 2);
    EXPECT_EQ(sim.OpenedProcesses(), (std::vector<std::uint32_t>{1000, 1000}));
    EXPECT_EQ(TraceCount(kStatusChange), 0);
}

TEST_F(ServiceTest, ExplorerRestartingUnderTheSameUserIsNoLogonChange) {
    Shell(1000, kAlice);
    AddSettingsWindow();  // no first-run launch
    sim.At(DuringPass(2), [this] { Shell(1500, kAlice); });
    QuitAfterPass(4);
    Run();
    // The start's check and options read, and once more for the new shell.
    EXPECT_EQ(sim.ImpersonationCount(), 3);
    EXPECT_EQ(TraceCount(kStatusChange), 0);
    EXPECT_EQ(service.Session().LoopUserName, "alice");
    EXPECT_EQ(service.Session().UserSid, kAliceSid);
}

// One failed impersonation must not cost the user a whole session without icons: the same shell
// process is asked again every fifth session check while nobody is known.
struct RetryCase {
    const char* name;
    int failureEndsDuringPass;  // 0: never
    int passes;
    std::vector<std::uint32_t> opened;
    const char* user;
};

class ImpersonationRetryTest : public ServiceTest,
                               public ::testing::WithParamInterface<RetryCase> {};

TEST_P(ImpersonationRetryTest, TheSameShellIsAskedAgainEveryFifthCheck) {
    Shell(1000, kAlice);
    sim.FailSecurityCall(sim::SimSecurityCall::DuplicateTokenEx, 5);
    if (GetParam().failureEndsDuringPass > 0) {
        sim.At(DuringPass(GetParam().failureEndsDuringPass),
               [this] { sim.FailSecurityCall(sim::SimSecurityCall::DuplicateTokenEx, 0); });
    }
    RunPasses(GetParam().passes);
    EXPECT_EQ(sim.OpenedProcesses(), GetParam().opened);
    EXPECT_EQ(service.Session().LoopUserName, GetParam().user);
    EXPECT_EQ(sim.OpenSecurityHandleCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, ImpersonationRetryTest,
                         ::testing::Values(
                             // The start's check fails; checks 1 to 4 keep nobody, check 5 finds
                             // alice, whose logon reads the options (the language file as alice).
                             RetryCase{
                                 "FailureGoneAfterTheStart", 2, 7, {1000, 1000, 1000}, "alice"},
                             // Checks 0, 5 and 10 ask, and no other.
                             RetryCase{"FailureStays", 0, 12, {1000, 1000, 1000}, "SYSTEM"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ServiceTest, AReplacedShellIsAskedAtOnceAfterAFailedImpersonation) {
    Shell(1000, kAlice);
    sim.FailSecurityCall(sim::SimSecurityCall::DuplicateTokenEx, 5);
    sim.At(DuringPass(2), [this] {
        sim.FailSecurityCall(sim::SimSecurityCall::DuplicateTokenEx, 0);
        Shell(1001, kAlice);
    });
    QuitAfterPass(4);
    Run();
    // The failed check, the new shell's check and its logon's options read.
    EXPECT_EQ(sim.OpenedProcesses(), (std::vector<std::uint32_t>{1000, 1001, 1001}));
    EXPECT_EQ(TracesStartingWith({kLogoff, kLogin}),
              (std::vector<std::string>{kLogoff + "SYSTEM", kLogin + "alice"}));
    EXPECT_EQ(service.Session().LoopUserName, "alice");
    EXPECT_EQ(sim.OpenSecurityHandleCount(), 0);
}

TEST_F(ServiceTest, AUserNameThatCannotBeReadCountsAsNobody) {
    Shell(1000, kAlice);
    sim.FailSecurityCall(sim::SimSecurityCall::GetUserName, 5);
    QuitAfterPass(2);
    Run();
    EXPECT_EQ(service.Session().LoopUserName, "SYSTEM");
    EXPECT_EQ(service.Session().UserSid, "");
    EXPECT_EQ(sim.ImpersonatingThreadCount(), 0);
    EXPECT_EQ(sim.OpenSecurityHandleCount(), 0);
}

TEST_F(ServiceTest, AFastChangeFromAToBLogsAOffAndBOn) {
    LogOn(kAlice);
    sim.At(DuringPass(2), [this] { LogOn(kBob); });
    std::int32_t cpuIdleAtLogon = 0;
    bool readerAtLogon = false;
    onTrace = [&](const std::string& message) {
        if (message == kLoginDone) {
            cpuIdleAtLogon = service.SystemData->CpuIdleAll;
            readerAtLogon =
                (service.OptionReader() != nullptr) && (service.OptionWriter() != nullptr);
        }
    };
    QuitAfterPass(4);
    Run();
    EXPECT_EQ(
        TracesStartingWith({kStatusChange, kLogoff, kLogin, kLoginDone}),
        (std::vector<std::string>{kStatusChange, kLogoff + "alice", kLogin + "bob", kLoginDone}));
    EXPECT_EQ(service.Session().LoopUserName, "bob");
    EXPECT_EQ(service.Session().UserSid, kBobSid);
    EXPECT_EQ(service.Session().UserKeyPath, kBobSid + "\\Software\\KorvanelXP");
    // The run key path is built at start only.
    EXPECT_EQ(service.Session().UserRunKeyPath,
              kAliceSid + "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    EXPECT_EQ(cpuIdleAtLogon, -1);  // the sampler starts afresh for the new user
    EXPECT_TRUE(readerAtLogon);
}

TEST_F(ServiceTest, TheShellGoingAwayLogsOffAndFreesTheRegistryObjectsUntilTheNextLogon) {
    LogOn(kAlice);
    sim.At(DuringPass(2), [this] { LogOff(); });
    bool readerWhileNobody = true;
    bool writerWhileNobody = true;
    sim.At(DuringPass(4), [&] {
        readerWhileNobody = (service.OptionReader() != nullptr);
        writerWhileNobody = (service.OptionWriter() != nullptr);
        LogOn(kAlice);
    });
    bool readerAfterLogon = false;
    sim.At(DuringPass(7), [&] { readerAfterLogon = (service.OptionReader() != nullptr); });
    QuitAfterPass(8);
    Run();
    EXPECT_FALSE(readerWhileNobody);
    EXPECT_FALSE(writerWhileNobody);
    EXPECT_TRUE(readerAfterLogon);
    EXPECT_EQ(TracesStartingWith({kLogoff, kLogin}),
              (std::vector<std::string>{kLogoff + "alice", kLogoff + "SYSTEM", kLogin + "alice"}));
}

TEST_F(ServiceTest, TheWinlogonShellsProcessIdentifiesTheUser) {
    sim.SetString(platform::RegistryRoot::LocalMachine,
                  "\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", "Shell",
                  "\"C:\\Tools\\MyShell.exe\"");
    Shell(1000, kAlice, {sim::SimProcess{1100, u"explorer.exe", 0, 0}}, u"MYSHELL.EXE");
    sim.SetProcessOwner(1100, kBob);
    QuitAfterPass(1);
    Run();
    EXPECT_EQ(service.Session().LoopUserName, "alice");
}

TEST_F(ServiceTest, AnInstallerComingAndGoingRebuildsTheHotKeysOnce) {
    Shell(1000, kAlice);
    sim.At(DuringPass(2), [this] {
        Shell(1000, kAlice, {sim::SimProcess{3000, u"Setup_INS.exe", 0, 0}});
    });
    std::uint32_t installerSeen = 0;
    sim.At(DuringPass(4), [&] {
        installerSeen = service.LastInstallerProcessId;
        Shell(1000, kAlice);
    });
    QuitAfterPass(6);
    Run();
    EXPECT_EQ(installerSeen, 3000u);
    EXPECT_EQ(service.LastInstallerProcessId, 0u);
    // The start's options read, then once when the installer has gone.
    EXPECT_EQ(PassesOf("BuildHotkeys"), (std::vector<int>{1, 5}));
}

TEST_F(ServiceTest, KorvanelExeIsEndedByTheLoopsScan) {
    Shell(1000, kAlice);
    sim.At(DuringPass(2), [this] {
        Shell(1000, kAlice, {sim::SimProcess{4000, u"KORVANEL.EXE", 0, 0}});
    });
    QuitAfterPass(3);
    Run();
    EXPECT_EQ(sim.TerminatedProcesses(), std::vector<std::uint32_t>{4000});
}

}  // namespace
}  // namespace kxp::test
