#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ServiceFixture.h"
#include "StoredValues.h"

namespace kxp::test {
namespace {

using platform::RegistryRoot;

class MachineOptionWritersTest : public ServiceTest {
  protected:
    std::optional<std::uint32_t> Dword(const char* path, const char* name) const {
        const auto value = sim.GetValue(RegistryRoot::LocalMachine, path, name);
        if (!value || value->type != platform::kRegDword || value->data.size() != 4) {
            return std::nullopt;
        }
        std::uint32_t number = 0;
        std::memcpy(&number, value->data.data(), sizeof number);
        return number;
    }
};

TEST_F(MachineOptionWritersTest, AutoRecoveryToggleWritesRecoverCreatingTheKey) {
    ASSERT_FALSE(sim.KeyExists(RegistryRoot::LocalMachine, kOptionsKey));
    service.miAutoRecoveryClick();
    EXPECT_FALSE(service.MachineOptions().Recover);
    EXPECT_EQ(Dword(kOptionsKey, "Recover"), 0u);
    service.miAutoRecoveryClick();
    EXPECT_TRUE(service.MachineOptions().Recover);
    EXPECT_EQ(Dword(kOptionsKey, "Recover"), 1u);
}

TEST_F(MachineOptionWritersTest, EachToggleNotifiesTheSettingsProgramAndTrims) {
    const auto settings = AddSettingsWindow();
    service.miAutoRecoveryClick();
    service.miLoadWinClick();
    const std::vector<SettingsMessage> expected = {{6, 0}, {6, 0}};
    EXPECT_EQ(SettingsMessages(settings), expected);
    EXPECT_EQ(sim.TrimCount(), 2);
}

TEST_F(MachineOptionWritersTest, AnUnwritableKeyStillTogglesTheOptionAndIsTraced) {
    const auto settings = AddSettingsWindow();
    sim.RefuseRegistryWrites(true);
    service.miAutoRecoveryClick();
    EXPECT_FALSE(service.MachineOptions().Recover);
    EXPECT_TRUE(Traced("Recover setting write error"));
    EXPECT_FALSE(sim.KeyExists(RegistryRoot::LocalMachine, kOptionsKey));
    EXPECT_EQ(SettingsMessages(settings), (std::vector<SettingsMessage>{{6, 0}}));
    EXPECT_EQ(sim.TrimCount(), 1);
}

TEST_F(MachineOptionWritersTest, DisabledStartShowsOffThenTogglesBetweenAutomaticAndOnDemand) {
    sim.SetDword(RegistryRoot::LocalMachine, kServiceKey, "Start", 4);
    QuitAfterPass(1);
    Run();
    EXPECT_FALSE(service.MachineOptions().LoadOnWindowsStartup);
    service.miLoadWinClick();
    EXPECT_TRUE(service.MachineOptions().LoadOnWindowsStartup);
    EXPECT_EQ(Dword(kServiceKey, "Start"), 2u);
    service.miLoadWinClick();
    EXPECT_FALSE(service.MachineOptions().LoadOnWindowsStartup);
    EXPECT_EQ(Dword(kServiceKey, "Start"), 3u);
}

TEST_F(MachineOptionWritersTest, AnUnwritableServiceKeyStillTogglesTheStartModeSilently) {
    sim.RefuseRegistryWrites(true);
    const auto before = Traces().size();
    service.miLoadWinClick();
    EXPECT_TRUE(service.MachineOptions().LoadOnWindowsStartup);
    EXPECT_FALSE(Dword(kServiceKey, "Start").has_value());
    const auto traces = Traces();
    EXPECT_EQ(std::count(traces.begin() + static_cast<std::ptrdiff_t>(before), traces.end(),
                         "Recover setting write error"),
              0);
}

// Clicks on the main thread while the loop re-reads the options: whichever comes last, memory
// and registry end up agreeing.
TEST_F(MachineOptionWritersTest, TogglesDuringRereadsLeaveMemoryAndRegistryAgreeing) {
    LogOn();
    for (int pass = 1; pass < 40; ++pass) ControlDuringPass(pass, SV_READLOCALOPTIONS);
    QuitAfterPass(40);
    // Every click happens, however the threads interleave, so the registry always holds a value.
    std::thread clicker([&] {
        for (int i = 0; i < 101; ++i) {
            service.miAutoRecoveryClick();
            std::this_thread::yield();
        }
    });
    Run();
    clicker.join();
    EXPECT_EQ(Dword(kOptionsKey, "Recover"), service.MachineOptions().Recover ? 1u : 0u);
}

}  // namespace
}  // namespace kxp::test
