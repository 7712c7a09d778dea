// The service on a simulated machine, and the helpers that let a test arrange a run in a few
// lines: who is logged on (the owner of a shell process), the settings window, control codes at
// virtual times or at session checks, and the traces, each with the pass it was written in.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "lang/CaptionList.h"
#include "platform/Trace.h"
#include "platform/sim/SimMachine.h"
#include "service/TKorvanelXPService.h"

namespace kxp::test {

inline constexpr std::int64_t kMiB = 1024 * 1024;
inline constexpr const char* kRecoveryBanner =
    "************************************* RecoverMemory *************************************";

// The folder of the simulated machine's service executable.
inline constexpr const char* kProgramFolder = "C:\\Program Files\\KorvanelXP\\";

inline sim::SimAccount Account(const std::string& name, std::uint32_t rid) {
    return sim::SimAccount{name, 1, {0, 0, 0, 0, 0, 5}, {21, 11, 22, 33, rid}};
}

inline const sim::SimAccount kAlice = Account("alice", 1001);
inline const sim::SimAccount kBob = Account("bob", 1002);
inline const std::string kAliceSid = "\\S-1-5-21-11-22-33-1001";
inline const std::string kBobSid = "\\S-1-5-21-11-22-33-1002";

// What the simulated notification area shows for tray icon 1 or 2: the resource its image came
// from ("MAINICON", "BUSYICON"), "drawn" for a drawn image, empty while the icon is not there.
inline std::string TrayImage(const sim::SimDesktop& desktop, std::uint32_t icon) {
    bool shown = false;
    platform::Handle image = 0;
    for (const auto& call : desktop.ShellCalls()) {
        if (call.data.uID != icon) continue;
        if (call.message == platform::kNimDelete) shown = false;
        if (call.message == platform::kNimAdd) shown = true;
        if (call.message == platform::kNimAdd || call.message == platform::kNimModify) {
            image = call.data.hIcon;
        }
    }
    if (!shown) return "";
    const auto found = desktop.Icon(image);
    if (!found) return "(released)";
    return found->resource.empty() ? "drawn" : found->resource;
}

// Both tray icons as the notification area showed them at a moment of a run.
struct TrayMoment {
    int pass = 0;
    std::string icon1;
    std::string icon2;
    friend bool operator==(const TrayMoment&, const TrayMoment&) = default;
};

inline std::ostream& operator<<(std::ostream& out, const TrayMoment& moment) {
    return out << "pass " << moment.pass << ": " << moment.icon1 << ", " << moment.icon2;
}

// The service with its real session check, watched at every check.
class TestService : public TKorvanelXPService {
  public:
    explicit TestService(sim::SimMachine& machine)
        : TKorvanelXPService(machine.platform()), desktop_(machine.Desktop()) {}

    // Runs on the checking thread at every session check (once at start, then after each pass's
    // sleep), after the check itself.
    std::function<void(int check)> onSessionCheck;
    // Runs when a recovery has shown the busy icons.
    std::function<void()> onBusyIcons;
    // The notification area right after each recovery made the icons busy, and right after it
    // restored them. Written on the service thread: read them once the run is over.
    std::vector<TrayMoment> busyMoments;
    std::vector<TrayMoment> restoredMoments;
    // Stand-ins for failures the simulated machine cannot arrange yet: the drawing objects or the
    // sampler cannot be made.
    bool failDrawingObjects = false;
    bool failSampler = false;

    // The session checks done: the pass the service thread works in, 1 from the start's check
    // (the start counts with the first pass), k + 1 from the check after pass k.
    int SessionChecks() const { return checks_; }

    // Public, so that a test can also check the session directly.
    std::string GetSessionUser(const std::string& previousName) override {
        std::string name = TKorvanelXPService::GetSessionUser(previousName);
        if (onSessionCheck) onSessionCheck(checks_);
        ++checks_;
        return name;
    }

  protected:
    void CreateDrawingObjects() override {
        if (failDrawingObjects) throw std::runtime_error("Out of system resources");
        TKorvanelXPService::CreateDrawingObjects();
    }
    void CreateHistoriesAndSampler() override {
        if (failSampler) throw std::bad_alloc();
        TKorvanelXPService::CreateHistoriesAndSampler();
    }
    void ShowBusyIcons() override {
        TKorvanelXPService::ShowBusyIcons();
        busyMoments.push_back(Moment());
        if (onBusyIcons) onBusyIcons();
    }
    void RestoreIcons() override {
        TKorvanelXPService::RestoreIcons();
        restoredMoments.push_back(Moment());
    }

  private:
    TrayMoment Moment() const { return {checks_, TrayImage(desktop_, 1), TrayImage(desktop_, 2)}; }

    sim::SimDesktop& desktop_;
    std::atomic<int> checks_{0};
};

struct SettingsMessage {
    std::uintptr_t code;
    std::intptr_t value;
    friend bool operator==(const SettingsMessage&, const SettingsMessage&) = default;
};

class ServiceTest : public ::testing::Test {
  protected:
    // A real machine's tick count is far from 0 at start; the process scan is gated against a
    // previous scan at tick 0.
    static constexpr std::uint32_t kStartTick = 100'000;

    ServiceTest() {
        sim.SetNow(kStartTick);
        // Memory to spare: with every figure at 0, free memory would be below the auto-recovery
        // limit, and a recovery would run in the first pass with a user logged on.
        sim.SetMemory(1024 * kMiB, 768 * kMiB, 2048 * kMiB, 1536 * kMiB);
        NoShell();
        // The caption list lives as long as the process: each test starts with no file loaded.
        lang::ProcessCaptions().Replace(lang::LanguageLines{});
        // The service does not run without its English language file.
        sim.AddFile(std::string(kProgramFolder) + "languages\\English.klf",
                    {'=', '$', '0', '4', '0', '9'});
        SetTraceSink([this](const std::string& message) {
            {
                std::lock_guard guard(traceLock_);
                traces_.push_back({service.SessionChecks(), message});
            }
            // The start reads the machine options just before this line.
            if (message == "ServiceExecute SetSize" && startOptions) {
                service.LocalOptions = *startOptions;
            }
            if (onTrace) onTrace(message);
        });
    }
    ~ServiceTest() override { SetTraceSink({}); }

    platform::Platform& Platform() { return sim.platform(); }

    // The process table: the idle process, the shell pid (named name) run by owner, and more.
    void Shell(std::uint32_t pid, const sim::SimAccount& owner,
               std::vector<sim::SimProcess> more = {}, std::u16string name = u"explorer.exe") {
        sim.SetProcessOwner(pid, owner);
        std::vector<sim::SimProcess> processes = {sim::SimProcess{0, std::nullopt, 0, 0},
                                                  sim::SimProcess{pid, std::move(name), 0, 0}};
        processes.insert(processes.end(), more.begin(), more.end());
        sim.SetProcesses(std::move(processes));
    }
    void NoShell() { sim.SetProcesses({sim::SimProcess{0, std::nullopt, 0, 0}}); }

    // The user logs on: a shell process of his own, new to the session checks. The next check
    // sees him; one during a run costs its pass the second the logon waits.
    void LogOn(const sim::SimAccount& user = kAlice) { Shell(nextShellPid_++, user); }
    void LogOff() { NoShell(); }

    platform::Handle AddSettingsWindow(bool hung = false) {
        return sim.AddWindow("TKorvanelXPF", "KorvanelXP Settings", hung);
    }

    // The notifications a window received, in order (the WM_NULL probes left out).
    std::vector<SettingsMessage> SettingsMessages(platform::Handle window) const {
        std::vector<SettingsMessage> messages;
        const auto id = sim.RegisteredMessage("KorvanelXPSettings");
        for (const auto& message : sim.Inbox(window)) {
            if (id && message.message == *id) messages.push_back({message.wParam, message.lParam});
        }
        return messages;
    }
    int SettingsMessageCount(platform::Handle window, std::uintptr_t code) const {
        const auto messages = SettingsMessages(window);
        return static_cast<int>(std::count_if(messages.begin(), messages.end(),
                                              [code](const auto& m) { return m.code == code; }));
    }

    // A machine option as the settings program stores it.
    void SetOption(const std::string& name, std::int32_t value) {
        sim.SetDword(platform::RegistryRoot::LocalMachine, "\\Software\\KorvanelXP", name,
                     static_cast<std::uint32_t>(value));
    }

    // A user option of the user with that SID as the settings program stores it.
    static std::string UserKey(const std::string& sid = kAliceSid) {
        return sid + "\\Software\\KorvanelXP";
    }
    void SetUserOption(const std::string& name, std::int32_t value,
                       const std::string& sid = kAliceSid) {
        sim.SetDword(platform::RegistryRoot::Users, UserKey(sid), name,
                     static_cast<std::uint32_t>(value));
    }
    void SetUserText(const std::string& name, const std::string& text,
                     const std::string& sid = kAliceSid) {
        sim.SetString(platform::RegistryRoot::Users, UserKey(sid), name, text);
    }

    // A language file beside the service.
    void AddLanguageFile(const std::string& name, std::vector<std::uint8_t> bytes) {
        sim.AddFile(std::string(kProgramFolder) + "languages\\" + name + ".klf", std::move(bytes));
    }

    // Physical memory in MiB, total and available; the paging file is left out of the picture.
    void SetMemory(double totalMiB, double availMiB) {
        sim.SetMemory(static_cast<std::uint64_t>(totalMiB * kMiB),
                      static_cast<std::uint64_t>(availMiB * kMiB), 0, 0);
    }

    // Pass k sleeps for the k-th second of virtual time after the start; a control sent in the
    // middle of that sleep is seen at the end of pass k. Later passes shift by the second each
    // logon during the run waits, and by a recovery's waits.
    static std::uint32_t DuringPass(int pass) {
        return kStartTick + static_cast<std::uint32_t>(pass) * 1000 - 500;
    }
    void ControlDuringPass(int pass, std::uint32_t code) {
        sim.At(DuringPass(pass), [this, code] { sim.SendControl(code); });
    }
    void QuitAfterPass(int pass) { ControlDuringPass(pass, SV_QUIT); }

    // Runs an action on the service thread at a session check: check 0 comes during the start,
    // right after the working objects are made, check k after the sleep of pass k.
    void AtSessionCheck(int check, std::function<void()> action) {
        auto previous = std::move(service.onSessionCheck);
        service.onSessionCheck = [check, previous, action](int current) {
            if (previous) previous(current);
            if (current == check) action();
        };
    }
    // Sends a control code as the dispatcher would, at a session check.
    void ControlAt(int check, std::uint32_t code) {
        AtSessionCheck(check, [this, code] { service.Control(code); });
    }

    bool Run() {
        return Platform().services.RunServiceApplication({"KorvanelXPService", "KorvanelXP", true},
                                                         service);
    }
    // Runs the start and the given number of passes, whatever virtual time they take.
    void RunPasses(int passes) {
        AtSessionCheck(passes, [this] { service.QuitRequested = true; });
        Run();
    }
    int Passes() const { return static_cast<int>(sim.TotalSleptMs() / 1000); }

    // Direct calls outside a run: the shell name and the working objects, as at start.
    void PrepareDirectCalls() {
        service.ServiceStart();
        service.GetMemory();
    }

    std::vector<std::string> Traces() const {
        std::lock_guard guard(traceLock_);
        std::vector<std::string> texts;
        for (const auto& trace : traces_) texts.push_back(trace.text);
        return texts;
    }
    // The passes in which a line was written, in order.
    std::vector<int> PassesOf(const std::string& text) const {
        std::lock_guard guard(traceLock_);
        std::vector<int> passes;
        for (const auto& trace : traces_) {
            if (trace.text == text) passes.push_back(trace.pass);
        }
        return passes;
    }
    int TraceCount(const std::string& text) const {
        return static_cast<int>(PassesOf(text).size());
    }
    bool Traced(const std::string& text) const { return TraceCount(text) > 0; }
    // The traces that start with one of the prefixes, in order.
    std::vector<std::string> TracesStartingWith(const std::vector<std::string>& prefixes) const {
        std::vector<std::string> found;
        for (const auto& trace : Traces()) {
            for (const auto& prefix : prefixes) {
                if (trace.starts_with(prefix)) found.push_back(trace);
            }
        }
        return found;
    }

    // The passes of the recoveries that showed the busy image on both icons, and of those that
    // then gave the icons their menus and, where they show it, the product image back.
    std::vector<int> BusyPasses() const {
        std::vector<int> passes;
        for (const auto& moment : service.busyMoments) {
            if (moment.icon1 == "BUSYICON" && moment.icon2 == "BUSYICON")
                passes.push_back(moment.pass);
        }
        return passes;
    }
    std::vector<int> RestoredPasses() const {
        std::vector<int> passes;
        for (const auto& moment : service.restoredMoments) passes.push_back(moment.pass);
        return passes;
    }

    // What icon 1 or 2 shows, as an options read would find it stored and as the service has
    // it now.
    void SetDisplay(int icon, std::int32_t display1, std::int32_t display2,
                    const std::string& userSid) {
        const std::string prefix = icon == 2 ? "t2_" : "";
        const std::string key = userSid + "\\Software\\KorvanelXP";
        sim.SetDword(platform::RegistryRoot::Users, key, prefix + "Display1",
                     static_cast<std::uint32_t>(display1));
        sim.SetDword(platform::RegistryRoot::Users, key, prefix + "Display2",
                     static_cast<std::uint32_t>(display2));
        TConfig config = service.Config(icon);
        config.Display1 = display1;
        config.Display2 = display2;
        service.PublishConfig(icon, config);
    }

    std::string TrayImage(std::uint32_t icon) { return test::TrayImage(sim.Desktop(), icon); }
    std::vector<sim::SimShellCall> ShellCalls() { return sim.Desktop().ShellCalls(); }

    sim::SimMachine sim;
    TestService service{sim};
    // Runs for every trace, on the tracing thread.
    std::function<void(const std::string&)> onTrace;
    // When set, replaces the machine options right after the start has read them: for figures
    // that the registry's scaled values cannot hold.
    std::optional<TMachineOptions> startOptions;

  private:
    struct PassTrace {
        int pass;
        std::string text;
    };

    std::uint32_t nextShellPid_ = 1000;
    mutable std::mutex traceLock_;
    std::vector<PassTrace> traces_;
};

}  // namespace kxp::test
