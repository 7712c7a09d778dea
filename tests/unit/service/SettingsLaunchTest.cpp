// The settings program: started as the logged-on user at a first run or on request, found instead
// when its window is open, a box when it is missing; and the old program's Run value.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ServiceFixture.h"
#include "platform/RegistryKey.h"

namespace kxp::test {
namespace {

using platform::RegistryRoot;

const std::string kProgram = std::string(kProgramFolder) + "KorvanelXPSettings.exe";
const std::string kRunKey = kAliceSid + "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class SettingsLaunchTest : public ServiceTest {
  protected:
    SettingsLaunchTest() {
        LogOn();
        sim.AddFile(kProgram, {'M', 'Z'});
    }
    // The user has options, so the start launches nothing by itself.
    void UserHasOptions() { sim.CreateKey(RegistryRoot::Users, UserKey()); }
    // "Settings..." on the service thread at a session check.
    void ClickSettingsAt(int check) {
        AtSessionCheck(check, [this] { service.miSettingsClick(); });
    }
    std::vector<std::string> Boxes() const {
        std::vector<std::string> texts;
        for (const auto& box : sim.MessageBoxes()) texts.push_back(box.text);
        return texts;
    }
    void ExpectNothingLeftOpen() const {
        EXPECT_EQ(sim.ImpersonatingThreadCount(), 0);
        EXPECT_EQ(sim.LoadedProfileCount(), 0);
        EXPECT_EQ(sim.OpenSecurityHandleCount(), 0);
    }
};

TEST_F(SettingsLaunchTest, AFirstRunStartsTheProgramAsTheUserOnTheInteractiveDesktop) {
    RunPasses(1);
    EXPECT_TRUE(Traced("firstrun!"));
    const auto created = sim.CreatedProcesses();
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(created[0].tokenUser, "alice");
    // Quoted, so that "C:\Program.exe" can never be started in its place.
    EXPECT_EQ(created[0].commandLine, "\"" + kProgram + "\"");
    EXPECT_EQ(created[0].creationFlags, 0x80u);
    EXPECT_EQ(created[0].currentDirectory, kProgramFolder);
    EXPECT_EQ(created[0].desktop, "Winsta0\\Default");
    EXPECT_TRUE(created[0].started);
    EXPECT_TRUE(Traced("settings process created"));
    // With the user's profile loaded for the start.
    ASSERT_EQ(sim.ProfileLoads().size(), 1u);
    EXPECT_EQ(sim.ProfileLoads()[0].tokenUser, "alice");
    ExpectNothingLeftOpen();
}

struct RealtimeCase {
    std::int32_t realtime;
    std::uint32_t creationFlags;
};

class SettingsPriority : public SettingsLaunchTest,
                         public ::testing::WithParamInterface<RealtimeCase> {};

TEST_P(SettingsPriority, FollowsRealtime) {
    UserHasOptions();
    SetUserOption("Realtime", GetParam().realtime);
    ClickSettingsAt(1);
    RunPasses(1);
    const auto created = sim.CreatedProcesses();
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(created[0].creationFlags, GetParam().creationFlags);
}

INSTANTIATE_TEST_SUITE_P(Realtime, SettingsPriority,
                         ::testing::Values(RealtimeCase{1, 0x100}, RealtimeCase{0, 0x80}));

struct OpenWindowCase {
    const char* name;
    bool firstRun;
    int comeForward;  // notifications 1 the window gets
};

class OpenSettingsWindow : public SettingsLaunchTest,
                           public ::testing::WithParamInterface<OpenWindowCase> {};

TEST_P(OpenSettingsWindow, IsAskedToComeForwardInsteadOfAStart) {
    const auto window = AddSettingsWindow();
    if (!GetParam().firstRun) {
        UserHasOptions();
        ClickSettingsAt(1);
    }
    RunPasses(1);
    EXPECT_EQ(Traced("firstrun!"), GetParam().firstRun);
    EXPECT_EQ(TraceCount("Window exists"), 1);
    EXPECT_EQ(SettingsMessageCount(window, 1), GetParam().comeForward);
    EXPECT_TRUE(sim.CreatedProcesses().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, OpenSettingsWindow,
                         ::testing::Values(OpenWindowCase{"AtAFirstRunNothingIsSent", true, 0},
                                           OpenWindowCase{"SettingsMenuSendsOne", false, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsLaunchTest, AMissingProgramShowsOneBoxPerRequestAndStartsNothing) {
    sim.AddDirectory(kProgram);
    UserHasOptions();
    ClickSettingsAt(1);
    ClickSettingsAt(2);
    RunPasses(2);
    const std::string box =
        "Error: " + std::string(kProgramFolder) + "KorvanelXPSettings.exe not found!";
    EXPECT_EQ(Boxes(), (std::vector<std::string>{box, box}));
    const auto created = sim.CreatedProcesses();
    ASSERT_EQ(created.size(), 2u);
    EXPECT_FALSE(created[0].started || created[1].started);
    EXPECT_EQ(TraceCount("settings Process not created: 2"), 2);
    ExpectNothingLeftOpen();
}

TEST_F(SettingsLaunchTest, WithoutTheUsersTokenNothingIsStarted) {
    UserHasOptions();
    AtSessionCheck(1, [this] {
        sim.FailSecurityCall(sim::SimSecurityCall::ImpersonateLoggedOnUser, 5);
        service.miSettingsClick();
        sim.FailSecurityCall(sim::SimSecurityCall::ImpersonateLoggedOnUser, 0);
    });
    RunPasses(1);
    EXPECT_TRUE(sim.CreatedProcesses().empty());
    EXPECT_TRUE(Traced("********UserExecute:\"" + kProgram + "\""));
    ExpectNothingLeftOpen();
}

TEST_F(SettingsLaunchTest, AFailedStartIsOnlyTraced) {
    UserHasOptions();
    sim.FailSecurityCall(sim::SimSecurityCall::CreateProcessAsUser, 1314);
    ClickSettingsAt(1);
    RunPasses(2);
    EXPECT_TRUE(Traced("settings Process not created: 1314"));
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Passes(), 2);
    ExpectNothingLeftOpen();
}

struct RunValueCase {
    const char* name;
    std::vector<std::string> before;
    std::vector<std::string> after;
    bool cleaned;
};

class OldRunValue : public SettingsLaunchTest,
                    public ::testing::WithParamInterface<RunValueCase> {};

TEST_P(OldRunValue, OnlyTheKorvanelValueGoes) {
    UserHasOptions();
    for (const auto& name : GetParam().before) {
        sim.SetString(RegistryRoot::Users, kRunKey, name, "C:\\some\\program.exe");
    }
    RunPasses(1);
    std::vector<std::string> after;
    for (const char* name : {"Korvanel", "Other"}) {
        if (sim.GetValue(RegistryRoot::Users, kRunKey, name)) after.push_back(name);
    }
    EXPECT_EQ(after, GetParam().after);
    EXPECT_EQ(Traced("Killing Korvanel startup"), GetParam().cleaned);
    EXPECT_EQ(Traced("kill setting written"), GetParam().cleaned);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OldRunValue,
    ::testing::Values(
        RunValueCase{"KorvanelRemovedOtherKept", {"Korvanel", "Other"}, {"Other"}, true},
        RunValueCase{"AnyLetterCase", {"KORVANEL"}, {}, true},
        RunValueCase{"WithoutKorvanelTheKeyIsUntouched", {"Other"}, {"Other"}, false},
        RunValueCase{"NoRunKey", {}, {}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsLaunchTest, ARunKeyThatCannotBeWrittenIsTraced) {
    UserHasOptions();
    sim.SetString(RegistryRoot::Users, kRunKey, "Korvanel", "C:\\old.exe");
    sim.RefuseRegistryWrites(true);
    RunPasses(1);
    EXPECT_TRUE(Traced("kill setting write error"));
    EXPECT_TRUE(sim.GetValue(RegistryRoot::Users, kRunKey, "Korvanel").has_value());
}

}  // namespace
}  // namespace kxp::test
