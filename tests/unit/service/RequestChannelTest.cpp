#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ServiceFixture.h"

namespace kxp::test {
namespace {

// The request flags as one comparable value.
struct Flags {
    bool readUserOptions, sendPeak, hotKeysIgnored, readLocalOptions, recover, keepIcons, restore,
        quit, refresh, test1, test2, test3;
    friend bool operator==(const Flags&, const Flags&) = default;
};

Flags FlagsOf(const TKorvanelXPService& s) {
    return {s.ReadUserOptionsRequested,
            s.SendPeakRequested,
            s.HotKeysIgnored,
            s.ReadLocalOptionsRequested,
            s.RecoverRequested,
            s.KeepIconsOnRecover,
            s.RestoreInProgress,
            s.QuitRequested,
            s.RefreshRequested,
            s.TestFlag1,
            s.TestFlag2,
            s.TestFlag3};
}

struct CodeCase {
    std::uint32_t code;
    const char* trace;
    Flags expected;
};

class ControlCodeTest : public ServiceTest, public ::testing::WithParamInterface<CodeCase> {};

constexpr Flags kNone{};

Flags With(Flags flags, bool Flags::*a, bool Flags::*b = nullptr, bool Flags::*c = nullptr) {
    flags.*a = true;
    if (b) flags.*b = true;
    if (c) flags.*c = true;
    return flags;
}

TEST_P(ControlCodeTest, HandlerSetsTheRequestFlagsOfTheCode) {
    service.ServiceControlHandler(GetParam().code);
    EXPECT_EQ(FlagsOf(service), GetParam().expected);
    EXPECT_EQ(Traces(), std::vector<std::string>{GetParam().trace});
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ControlCodeTest,
    ::testing::Values(
        CodeCase{128, "Request: SV_READUSEROPTIONS", With(kNone, &Flags::readUserOptions)},
        CodeCase{129, "Request: SV_SENDPEAKMEMUSAGE", With(kNone, &Flags::sendPeak)},
        CodeCase{130, "Request: SV_IGNOREHOTKEYS", With(kNone, &Flags::hotKeysIgnored)},
        CodeCase{131, "Request: SV_ALLOWHOTKEYS", kNone},
        CodeCase{132, "Request: SV_READLOCALOPTIONS", With(kNone, &Flags::readLocalOptions)},
        CodeCase{133, "Request: RECOVER", With(kNone, &Flags::recover)},
        CodeCase{134, "Request: RESTORESTART", With(kNone, &Flags::restore)},
        CodeCase{135, "Request: RESTOREEND",
                 With(kNone, &Flags::readUserOptions, &Flags::readLocalOptions)},
        CodeCase{136, "Request: SV_QUIT", With(kNone, &Flags::quit)},
        CodeCase{137, "Request: RECOVER", With(kNone, &Flags::recover, &Flags::keepIcons)},
        CodeCase{200, "Request: SV_TEST1", With(kNone, &Flags::test1)},
        CodeCase{201, "Request: SV_TEST2", With(kNone, &Flags::test2)},
        CodeCase{202, "Request: SV_TEST3", With(kNone, &Flags::test3)}),
    [](const auto& info) { return "Code" + std::to_string(info.param.code); });

TEST_F(ServiceTest, AllowHotKeysUndoesIgnoreHotKeys) {
    service.ServiceControlHandler(SV_IGNOREHOTKEYS);
    service.ServiceControlHandler(SV_ALLOWHOTKEYS);
    EXPECT_FALSE(service.HotKeysIgnored);
}

TEST_F(ServiceTest, RestoreEndClearsRestoreStart) {
    service.ServiceControlHandler(RESTORESTART);
    service.ServiceControlHandler(RESTOREEND);
    EXPECT_FALSE(service.RestoreInProgress);
    EXPECT_TRUE(service.ReadUserOptionsRequested);
    EXPECT_TRUE(service.ReadLocalOptionsRequested);
}

TEST_F(ServiceTest, UnknownCodesChangeNoFlag) {
    service.HotKeysIgnored = true;
    service.RestoreInProgress = true;
    const Flags before = FlagsOf(service);
    for (std::uint32_t code : {0u, 2u, 3u, 127u, 138u, 199u, 203u, 255u, 0xFFFFFFFFu}) {
        service.ServiceControlHandler(code);
    }
    EXPECT_EQ(FlagsOf(service), before);
    EXPECT_TRUE(Traces().empty());
}

TEST_F(ServiceTest, UnknownCodesDoNotDisturbTheRunningService) {
    for (std::uint32_t code : {2u, 127u, 138u, 203u}) ControlDuringPass(2, code);
    QuitAfterPass(4);
    Run();
    EXPECT_EQ(Passes(), 4);
    EXPECT_EQ(sim.StatusReports().size(), 3u);  // start pending, running, stopped
    EXPECT_TRUE(sim.EventLog().empty());
}

TEST_F(ServiceTest, PeakRequestBeforeTheSamplerExistsOnlySetsTheFlag) {
    service.ServiceControlHandler(SV_SENDPEAKMEMUSAGE);
    EXPECT_TRUE(service.SendPeakRequested);
    EXPECT_FALSE(service.SystemData.has_value());
}

class SendToSettingsTest : public ServiceTest {
  protected:
    std::vector<sim::SimMessage> NonProbes(platform::Handle window) const {
        std::vector<sim::SimMessage> messages;
        for (const auto& message : sim.Inbox(window)) {
            if (message.message != platform::kWmNull) messages.push_back(message);
        }
        return messages;
    }
};

TEST_F(SendToSettingsTest, WithoutTheSettingsWindowNothingIsSent) {
    const auto other = sim.AddWindow("Shell_TrayWnd", "");
    service.SendToSettings(4, 0);
    EXPECT_TRUE(sim.Inbox(other).empty());
    EXPECT_TRUE(Traced("Message to settings: 4"));
}

TEST_F(SendToSettingsTest, ResponsiveSettingsWindowGetsCodeAndValueByBroadcast) {
    const auto settings = AddSettingsWindow();
    const auto other = sim.AddWindow("Notepad", "Untitled - Notepad");
    service.SendToSettings(5, 1234);
    EXPECT_EQ(SettingsMessages(settings), (std::vector<SettingsMessage>{{5, 1234}}));
    EXPECT_EQ(SettingsMessages(other), (std::vector<SettingsMessage>{{5, 1234}}));
}

TEST_F(SendToSettingsTest, HungSettingsWindowGetsNothingWithinAHundredMilliseconds) {
    const auto settings = AddSettingsWindow(/*hung=*/true);
    const auto other = sim.AddWindow("Notepad", "Untitled - Notepad");
    const auto before = sim.Now();
    service.SendToSettings(3, 0);
    EXPECT_LE(sim.Now() - before, 100u);
    EXPECT_TRUE(NonProbes(settings).empty());
    EXPECT_TRUE(NonProbes(other).empty());
    EXPECT_TRUE(Traced("hung!!"));
}

TEST_F(SendToSettingsTest, UnrelatedHungWindowNeitherBlocksNorStopsTheNotification) {
    sim.AddWindow("Frozen", "Not Responding", /*hung=*/true);
    const auto settings = AddSettingsWindow();
    const auto before = sim.Now();
    service.SendToSettings(7, 0);
    EXPECT_EQ(sim.Now(), before);
    EXPECT_EQ(SettingsMessages(settings), (std::vector<SettingsMessage>{{7, 0}}));
    EXPECT_FALSE(Traced("hung!!"));
}

TEST_F(SendToSettingsTest, RespondingSettingsWindowIsProbedWithWmNullFirst) {
    const auto settings = AddSettingsWindow();
    service.SendToSettings(2, 0);
    const auto inbox = sim.Inbox(settings);
    ASSERT_EQ(inbox.size(), 2u);
    EXPECT_EQ(inbox[0].message, platform::kWmNull);
    EXPECT_EQ(inbox[1].message, sim.RegisteredMessage("KorvanelXPSettings"));
}

}  // namespace
}  // namespace kxp::test
