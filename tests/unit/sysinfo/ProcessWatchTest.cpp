// The per-process checks of the scan: shell and installer processes, "korvanel.exe", and names
// that are null, long or not ASCII.
#include <string>
#include <vector>

#include "SamplerFixture.h"
#include "sysinfo/ProcessWatch.h"

namespace kxp::testing {
namespace {

class ProcessWatchTest : public SamplerTest {
  protected:
    ProcessWatchTest() { Sampler().ShellName = "explorer.exe"; }

    // One full scan of the table.
    void Scan(std::vector<sim::SimProcess> processes, bool hideUpdateWindows = false) {
        machine.SetProcesses(std::move(processes));
        machine.platform().clock.Sleep(1000);
        Sampler().ScanProcesses(false, hideUpdateWindows);
    }
};

TEST_F(ProcessWatchTest, TheLaterOfTwoShellsWins) {
    Scan({IdleProcess(0), NamedProcess(100, u"explorer.exe"), NamedProcess(200, u"Explorer.EXE"),
          NamedProcess(300, u"notepad.exe")});
    EXPECT_EQ(Sampler().ShellProcessId.load(), 200);
}

TEST_F(ProcessWatchTest, NoShellMeansZeroAndEachScanStartsAfresh) {
    Scan({NamedProcess(100, u"explorer.exe")});
    ASSERT_EQ(Sampler().ShellProcessId.load(), 100);
    Scan({NamedProcess(300, u"notepad.exe")});
    EXPECT_EQ(Sampler().ShellProcessId.load(), 0);
}

TEST_F(ProcessWatchTest, TheAlternativeShellCountsOnlyWhenInForce) {
    Sampler().AltShellName = "myshell.exe";
    Scan({NamedProcess(100, u"MyShell.exe")});
    EXPECT_EQ(Sampler().ShellProcessId.load(), 0);

    Sampler().UseAltShell = true;
    Scan({NamedProcess(100, u"MyShell.exe")});
    EXPECT_EQ(Sampler().ShellProcessId.load(), 100);
}

TEST_F(ProcessWatchTest, ShellAndAlternativeShellShareTheLastMatch) {
    Sampler().AltShellName = "myshell.exe";
    Sampler().UseAltShell = true;
    Scan({NamedProcess(50, u"myshell.exe"), NamedProcess(100, u"explorer.exe")});
    EXPECT_EQ(Sampler().ShellProcessId.load(), 100);
    Scan({NamedProcess(100, u"explorer.exe"), NamedProcess(150, u"myshell.exe")});
    EXPECT_EQ(Sampler().ShellProcessId.load(), 150);
}

struct InstallerCase {
    std::u16string name;
    std::int32_t expected;
};

class InstallerNameTest : public ProcessWatchTest,
                          public ::testing::WithParamInterface<InstallerCase> {};

TEST_P(InstallerNameTest, OnlyUpperCaseInsMarksAnInstaller) {
    Scan({NamedProcess(40, u"explorer.exe"), NamedProcess(44, GetParam().name)});
    EXPECT_EQ(Sampler().InstallerProcessId.load(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, InstallerNameTest,
    ::testing::Values(InstallerCase{u"Setup_INS.exe", 44}, InstallerCase{u"_INS", 44},
                      InstallerCase{u"x_INSTALL.EXE", 44}, InstallerCase{u"setup_ins.exe", 0},
                      InstallerCase{u"Setup_Ins.exe", 0}, InstallerCase{u"INS.exe", 0}));

TEST_F(ProcessWatchTest, TheLastInstallerInListOrderWins) {
    Scan({NamedProcess(10, u"a_INS.exe"), NamedProcess(20, u"b_INS.exe")});
    EXPECT_EQ(Sampler().InstallerProcessId.load(), 20);
}

TEST_F(ProcessWatchTest, KorvanelExeIsEndedInAnyLetterCase) {
    Scan({NamedProcess(50, u"KORVANEL.EXE"), NamedProcess(51, u"korvanel.exe"),
          NamedProcess(52, u"korvanelxp.exe")});
    EXPECT_EQ(machine.TerminatedProcesses(), (std::vector<std::uint32_t>{50, 51}));
    EXPECT_EQ(machine.OpenSecurityHandleCount(), 0);
}

TEST_F(ProcessWatchTest, KorvanelExeStartedAgainIsEndedAgain) {
    Scan({NamedProcess(50, u"korvanel.exe")});
    Scan({NamedProcess(60, u"Korvanel.exe")});
    EXPECT_EQ(machine.TerminatedProcesses(), (std::vector<std::uint32_t>{50, 60}));
}

TEST_F(ProcessWatchTest, AKorvanelExeThatCannotBeOpenedIsLeftAlone) {
    machine.SetProcessOpenable(50, false);
    Scan({NamedProcess(50, u"korvanel.exe")});
    EXPECT_TRUE(machine.TerminatedProcesses().empty());
    EXPECT_EQ(machine.OpenSecurityHandleCount(), 0);
}

TEST_F(ProcessWatchTest, KorvanelExeIsNeitherShellNorInstallerNorIdleTime) {
    Sampler().ShellName = "korvanel.exe";
    Scan({IdleProcess(0), NamedProcess(50, u"korvanel.exe")});
    Scan({IdleProcess(100 * kIdleUnitsPerMs),
          NamedProcess(50, u"korvanel.exe", 900 * kIdleUnitsPerMs)});
    EXPECT_EQ(Sampler().ShellProcessId.load(), 0);
    EXPECT_EQ(Sampler().CpuIdleAll, 10);
}

TEST_F(ProcessWatchTest, AVeryLongNameIsComparedWholeAndSafely) {
    std::u16string longName(32000, u'a');
    longName += u"_INS";
    std::u16string longShell(32000, u'x');
    Scan({NamedProcess(70, longName), NamedProcess(71, longShell + u"explorer.exe")});
    EXPECT_EQ(Sampler().InstallerProcessId.load(), 70);
    EXPECT_EQ(Sampler().ShellProcessId.load(), 0);
}

TEST_F(ProcessWatchTest, NamesBeyondTheCodePageDoNotMatchByAccident) {
    // U+0165 would become 'e' if only the low byte were kept.
    Scan({NamedProcess(80, u"\u0165xplorer.exe"), NamedProcess(81, u"explor\u00e9r.exe")});
    EXPECT_EQ(Sampler().ShellProcessId.load(), 0);
    EXPECT_EQ(AnsiName(u"\u0165xplor\u00e9r"), "?xplor\xe9r");
}

TEST(AnsiNameEqualsTest, IgnoresAsciiCaseOnly) {
    EXPECT_TRUE(AnsiNameEquals("EXPLORER.exe", "explorer.EXE"));
    EXPECT_FALSE(AnsiNameEquals("explorer.ex", "explorer.exe"));
    EXPECT_FALSE(AnsiNameEquals("\xc9", "\xe9"));
    EXPECT_TRUE(AnsiNameEquals("", ""));
}

}  // namespace
}  // namespace kxp::testing
