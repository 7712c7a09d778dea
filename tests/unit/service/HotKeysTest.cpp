// The service's hot keys: what a build registers and traces, what a press does, the release at
// logoff and while an installer runs, and the component's move between threads.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "ServiceFixture.h"

namespace kxp::test {
namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t kCtrlAlt = platform::kModControl | platform::kModAlt;
constexpr std::uint32_t kKeyR = 0x52;
constexpr std::uint32_t kKeyEnd = 0x23;

struct Registration {
    std::int32_t id;
    std::uint32_t modifiers;
    std::uint32_t keyCode;
    friend bool operator==(const Registration&, const Registration&) = default;
};

// One hot key of the options: enabled, key number, Ctrl, Alt, Shift.
struct KeyOption {
    bool enabled;
    std::uint16_t key;
    bool ctrl, alt, shift;
};

constexpr KeyOption kOff{false, 45, true, true, false};
constexpr KeyOption kCtrlAltR{true, 45, true, true, false};
constexpr KeyOption kCtrlAltEnd{true, 10, true, true, false};
constexpr KeyOption kDefault2 = kCtrlAltEnd;

class HotKeyFixture : public ServiceTest {
  protected:
    void SetHotKeys(const KeyOption& one, const KeyOption& two) {
        TConfig config = service.Config(1);
        config.Hotkey1Enabled = one.enabled;
        config.HotKey1 = one.key;
        config.Hotkey1Ctrl = one.ctrl;
        config.Hotkey1Alt = one.alt;
        config.Hotkey1Shift = one.shift;
        config.Hotkey2Enabled = two.enabled;
        config.HotKey2 = two.key;
        config.Hotkey2Ctrl = two.ctrl;
        config.Hotkey2Alt = two.alt;
        config.Hotkey2Shift = two.shift;
        service.PublishConfig(1, config);
        // The same in the user's key, for the options read of a run.
        for (const auto& [name, value] :
             {std::pair<const char*, std::int32_t>{"Hotkey1Enabled", one.enabled},
              {"HotKey1", one.key},
              {"Hotkey1Ctrl", one.ctrl},
              {"Hotkey1Alt", one.alt},
              {"Hotkey1Shift", one.shift},
              {"Hotkey2Enabled", two.enabled},
              {"HotKey2", two.key},
              {"Hotkey2Ctrl", two.ctrl},
              {"Hotkey2Alt", two.alt},
              {"Hotkey2Shift", two.shift}}) {
            SetUserOption(name, value);
        }
    }

    // The service's own registrations, in the order made.
    std::vector<Registration> Registrations() const {
        std::vector<Registration> found;
        for (const auto& hotKey : sim.HotKeys()) {
            if (hotKey.window != 0) found.push_back({hotKey.id, hotKey.modifiers, hotKey.keyCode});
        }
        return found;
    }
    // The threads that hold the service's registrations.
    std::vector<std::thread::id> RegisteringThreads() const {
        std::vector<std::thread::id> threads;
        for (const auto& hotKey : sim.HotKeys()) {
            if (hotKey.window != 0) threads.push_back(hotKey.thread);
        }
        return threads;
    }

    // Presses the combination and lets this thread's windows handle it.
    void Press(std::uint32_t modifiers, std::uint32_t keyCode) {
        EXPECT_TRUE(sim.PressHotKey(modifiers, keyCode));
        Platform().windows.PumpThreadMessages();
    }

    std::vector<std::string> BuildTraces() const {
        return TracesStartingWith({"BuildHotkeys", "Hotkey1: ", "Hotkey2: ", "Alt", "Shift"});
    }
    std::vector<std::string> PressTraces() const {
        return TracesStartingWith({"Hotkey pressed: ", "Hotkey ignore", "Hotkey1 rec mem",
                                   "Hotkey2 show set", "+Hotkey pressed"});
    }

    // Waits at most 5 s, handling this thread's window messages meanwhile.
    bool WaitFor(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            Platform().windows.PumpThreadMessages();
            std::this_thread::sleep_for(1ms);
        }
        return true;
    }
};

struct BuildCase {
    const char* name;
    KeyOption one, two;
    std::vector<Registration> registered;
    std::vector<std::string> traces;
};

class HotKeyBuildTest : public HotKeyFixture, public ::testing::WithParamInterface<BuildCase> {};

TEST_P(HotKeyBuildTest, BuildRegistersTheEnabledKeysByPosition) {
    SetHotKeys(GetParam().one, GetParam().two);
    service.BuildHotkeys();
    EXPECT_EQ(Registrations(), GetParam().registered);
    EXPECT_EQ(BuildTraces(), GetParam().traces);
}

INSTANTIATE_TEST_SUITE_P(
    Options, HotKeyBuildTest,
    ::testing::Values(
        BuildCase{"Defaults",
                  kOff,
                  kDefault2,
                  {{0, kCtrlAlt, kKeyEnd}},
                  {"BuildHotkeys", "Hotkey2: 10 added", "Alt"}},
        BuildCase{"OnlyHotKey1",
                  kCtrlAltR,
                  {false, 10, true, true, false},
                  {{0, kCtrlAlt, kKeyR}},
                  {"BuildHotkeys", "Hotkey1: 45 added", "Alt"}},
        BuildCase{"Both",
                  kCtrlAltR,
                  kCtrlAltEnd,
                  {{0, kCtrlAlt, kKeyR}, {1, kCtrlAlt, kKeyEnd}},
                  {"BuildHotkeys", "Hotkey1: 45 added", "Alt", "Hotkey2: 10 added", "Alt"}},
        BuildCase{"Neither",
                  kOff,
                  {false, 10, true, true, false},
                  {},
                  {"BuildHotkeys", "BuildHotkeys no hotkeys"}},
        BuildCase{
            "ShiftAndHome",
            {true, 9, true, false, true},
            {true, 10, false, true, true},
            {{0, platform::kModControl | platform::kModShift, 0x24},
             {1, platform::kModAlt | platform::kModShift, kKeyEnd}},
            {"BuildHotkeys", "Hotkey1: 9 added", "Shift", "Hotkey2: 10 added", "Alt", "Shift"}},
        BuildCase{"SameCombinationTwice",
                  {true, 10, true, true, false},
                  kCtrlAltEnd,
                  {{0, kCtrlAlt, kKeyEnd}},
                  {"BuildHotkeys", "Hotkey1: 10 added", "Alt", "Hotkey2: 10 added", "Alt"}},
        BuildCase{"KeyNumberOutsideTheTable",
                  {true, 65535, true, true, false},
                  {false, 10, true, true, false},
                  {{0, kCtrlAlt, 0}},
                  {"BuildHotkeys", "Hotkey1: 65535 added", "Alt"}}),
    [](const auto& info) { return info.param.name; });

struct PressCase {
    const char* name;
    KeyOption one, two;
    std::uint32_t keyCode;
    std::vector<std::string> traces;
    bool recover;
};

class HotKeyPressTest : public HotKeyFixture, public ::testing::WithParamInterface<PressCase> {};

TEST_P(HotKeyPressTest, PressActsAsItsKeysMenuItem) {
    SetHotKeys(GetParam().one, GetParam().two);
    service.BuildHotkeys();
    Press(kCtrlAlt, GetParam().keyCode);
    EXPECT_EQ(PressTraces(), GetParam().traces);
    EXPECT_EQ(service.RecoverRequested, GetParam().recover);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, HotKeyPressTest,
    ::testing::Values(PressCase{"DefaultsShowSettings",
                                kOff,
                                kDefault2,
                                kKeyEnd,
                                {"Hotkey pressed: 0", "Hotkey2 show set", "+Hotkey pressed"},
                                false},
                      PressCase{"BothFirstRecovers",
                                kCtrlAltR,
                                kCtrlAltEnd,
                                kKeyR,
                                {"Hotkey pressed: 0", "Hotkey1 rec mem", "+Hotkey pressed"},
                                true},
                      PressCase{"BothSecondShowsSettings",
                                kCtrlAltR,
                                kCtrlAltEnd,
                                kKeyEnd,
                                {"Hotkey pressed: 1", "Hotkey2 show set", "+Hotkey pressed"},
                                false},
                      PressCase{"OnlyHotKey1Recovers",
                                kCtrlAltR,
                                {false, 10, true, true, false},
                                kKeyR,
                                {"Hotkey pressed: 0", "Hotkey1 rec mem", "+Hotkey pressed"},
                                true}),
    [](const auto& info) { return info.param.name; });

TEST_F(HotKeyFixture, IgnoredPressesStayRegisteredAndWorkAgainWhenAllowed) {
    SetHotKeys(kCtrlAltR, kCtrlAltEnd);
    service.BuildHotkeys();
    const auto registered = sim.HotKeys();

    service.ServiceControlHandler(SV_IGNOREHOTKEYS);
    Press(kCtrlAlt, kKeyR);
    EXPECT_EQ(PressTraces(), (std::vector<std::string>{"Hotkey pressed: 0", "Hotkey ignore"}));
    EXPECT_FALSE(service.RecoverRequested);

    service.ServiceControlHandler(SV_ALLOWHOTKEYS);
    Press(kCtrlAlt, kKeyR);
    EXPECT_TRUE(service.RecoverRequested);
    EXPECT_EQ(TraceCount("Hotkey1 rec mem"), 1);
    EXPECT_EQ(TraceCount("BuildHotkeys"), 1);
    const auto after = sim.HotKeys();
    ASSERT_EQ(after.size(), registered.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i].window, registered[i].window);
        EXPECT_EQ(after[i].id, registered[i].id);
    }
}

TEST_F(HotKeyFixture, SecondBuildLeavesExactlyTheCurrentOptionsKeys) {
    SetHotKeys(kCtrlAltR, kCtrlAltEnd);
    service.BuildHotkeys();
    service.BuildHotkeys();
    EXPECT_EQ(Registrations(),
              (std::vector<Registration>{{0, kCtrlAlt, kKeyR}, {1, kCtrlAlt, kKeyEnd}}));
    const platform::Handle window = sim.HotKeys().front().window;

    SetHotKeys(kOff, kCtrlAltEnd);
    service.BuildHotkeys();
    EXPECT_EQ(Registrations(), (std::vector<Registration>{{0, kCtrlAlt, kKeyEnd}}));
    EXPECT_EQ(sim.HotKeys().front().window, window);  // the same component, rebuilt

    SetHotKeys(kOff, kOff);
    service.BuildHotkeys();
    EXPECT_TRUE(Registrations().empty());
    SetHotKeys(kCtrlAltR, kOff);
    service.BuildHotkeys();
    EXPECT_EQ(Registrations(), (std::vector<Registration>{{0, kCtrlAlt, kKeyR}}));
}

TEST_F(HotKeyFixture, RefusedHotKeyLeavesTheOtherOneWorking) {
    sim.TakeHotKey(kCtrlAlt, kKeyR);  // another program's
    SetHotKeys(kCtrlAltR, kCtrlAltEnd);
    service.BuildHotkeys();
    EXPECT_EQ(Registrations(), (std::vector<Registration>{{1, kCtrlAlt, kKeyEnd}}));
    Press(kCtrlAlt, kKeyEnd);
    EXPECT_EQ(PressTraces(), (std::vector<std::string>{"Hotkey pressed: 1", "Hotkey2 show set",
                                                       "+Hotkey pressed"}));
}

TEST_F(HotKeyFixture, ReleaseGivesBackEveryRegistration) {
    SetHotKeys(kCtrlAltR, kCtrlAltEnd);
    service.BuildHotkeys();
    service.ReleaseHotkeys();
    EXPECT_TRUE(Registrations().empty());
    EXPECT_FALSE(sim.PressHotKey(kCtrlAlt, kKeyEnd));
    service.ReleaseHotkeys();  // nothing left to release
    service.BuildHotkeys();
    EXPECT_EQ(Registrations().size(), 2u);
}

enum class Away { Installer, Logoff };

class HotKeyReleaseTest : public HotKeyFixture, public ::testing::WithParamInterface<Away> {};

// Away during pass 2, back during pass 4: the keys go in pass 2 and come back in pass 4.
TEST_P(HotKeyReleaseTest, KeysGoWhileAwayAndComeBackOnTheServiceThread) {
    Shell(1000, kAlice);
    if (GetParam() == Away::Installer) {
        sim.At(DuringPass(2), [this] {
            Shell(1000, kAlice, {sim::SimProcess{3000, u"Setup_INS.exe", 0, 0}});
        });
        sim.At(DuringPass(4), [this] { Shell(1000, kAlice); });
    } else {
        sim.At(DuringPass(2), [this] { LogOff(); });
        sim.At(DuringPass(4), [this] { Shell(1001, kAlice); });
    }
    std::vector<std::size_t> counts;
    std::vector<bool> onServiceThread;
    service.onSessionCheck = [&](int) {
        counts.push_back(Registrations().size());
        for (const auto thread : RegisteringThreads()) {
            onServiceThread.push_back(thread == std::this_thread::get_id());
        }
    };
    RunPasses(6);
    EXPECT_EQ(counts, (std::vector<std::size_t>{0, 1, 1, 0, 0, 1, 1}));
    EXPECT_EQ(onServiceThread, std::vector<bool>(4, true));
    EXPECT_TRUE(Registrations().empty());  // the end of the loop gives them back
}

INSTANTIATE_TEST_SUITE_P(Reasons, HotKeyReleaseTest,
                         ::testing::Values(Away::Installer, Away::Logoff), [](const auto& info) {
                             return info.param == Away::Installer ? "Installer" : "Logoff";
                         });

// The service thread's hot keys are handled where the loop handles its requests; the loop acts on
// the press in its next pass.
TEST_F(HotKeyFixture, PressDuringARunRecoversInTheNextPass) {
    SetHotKeys(kCtrlAltR, kCtrlAltEnd);
    Shell(1000, kAlice);
    bool pressed = false;
    AtSessionCheck(2, [&] { pressed = sim.PressHotKey(kCtrlAlt, kKeyR); });
    RunPasses(4);
    EXPECT_TRUE(pressed);
    EXPECT_EQ(PassesOf("Hotkey1 rec mem"), std::vector<int>{3});
    EXPECT_EQ(PassesOf(kRecoveryBanner), std::vector<int>{4});
}

// A tray click re-reads the options on the main thread while the loop runs: the keys move to the
// main thread's window, and the end of the loop gives them back there.
TEST_F(HotKeyFixture, MainThreadBuildDuringARunTakesTheKeysFromTheServiceThread) {
    Shell(1000, kAlice);
    const auto main = std::this_thread::get_id();
    std::vector<std::thread::id> before;
    bool moved = false;
    AtSessionCheck(2, [&] {
        before = RegisteringThreads();
        service.PostToMainThread([this] { service.BuildHotkeys(); });
        // The loop's own request handling would do this pumping in its next pass.
        moved = WaitFor([&] { return RegisteringThreads() == std::vector<std::thread::id>{main}; });
    });
    std::thread::id serviceThread;
    AtSessionCheck(1, [&] { serviceThread = std::this_thread::get_id(); });
    RunPasses(4);
    EXPECT_EQ(before, std::vector<std::thread::id>{serviceThread});
    EXPECT_TRUE(moved);
    EXPECT_TRUE(WaitFor([&] { return Registrations().empty(); }));
}

// Another thread stands in for the service thread, handling its messages as the loop does; this
// thread is the main thread. Each build moves the component to the building thread.
TEST_F(HotKeyFixture, BuildOnAnotherThreadLeavesNoRegistrationOnTheFirstThreadsWindow) {
    enum Command { kNone, kBuild, kRelease };
    std::atomic<int> command{kNone};
    std::atomic<bool> stop{false};
    std::atomic<std::thread::id> serviceThread{};
    std::thread other([&] {
        serviceThread = std::this_thread::get_id();
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (!stop && std::chrono::steady_clock::now() < deadline) {
            const int next = command.exchange(kNone);
            if (next == kBuild) service.BuildHotkeys();
            if (next == kRelease) service.ReleaseHotkeys();
            Platform().windows.PumpThreadMessages();
            std::this_thread::sleep_for(1ms);
        }
        service.ReleaseHotkeys();
    });
    const auto main = std::this_thread::get_id();
    const auto heldOnlyBy = [this](std::thread::id thread) {
        const auto threads = RegisteringThreads();
        return threads == std::vector<std::thread::id>{thread};
    };

    command = kBuild;
    EXPECT_TRUE(WaitFor([&] { return heldOnlyBy(serviceThread); }));

    service.BuildHotkeys();  // a tray click's re-read
    EXPECT_TRUE(WaitFor([&] { return heldOnlyBy(main); }));
    EXPECT_EQ(Registrations(), (std::vector<Registration>{{0, kCtrlAlt, kKeyEnd}}));

    command = kBuild;  // the loop's next re-read
    EXPECT_TRUE(WaitFor([&] { return heldOnlyBy(serviceThread); }));

    service.ReleaseHotkeys();  // from the thread that does not hold them
    EXPECT_TRUE(WaitFor([&] { return Registrations().empty(); }));

    stop = true;
    other.join();
    EXPECT_EQ(TraceCount("BuildHotkeys"), 3);
}

}  // namespace
}  // namespace kxp::test
