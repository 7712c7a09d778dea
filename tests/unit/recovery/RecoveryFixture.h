// The service on a simulated machine with small memory figures, for the recovery tests: the busy
// and restored icons show up in the trace beside the service's own lines, every trace line carries
// the pass it was written in, and the machine options can be set right after the start has read
// them.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Trace.h"
#include "platform/sim/SimMachine.h"
#include "service/ServiceFixture.h"

namespace kxp::test {

inline constexpr std::int64_t kMiB = 1024 * 1024;
inline constexpr const char* kBusyIcons = "[busy icons]";
inline constexpr const char* kRestoredIcons = "[restored icons]";
inline constexpr const char* kRecoveryBanner =
    "************************************* RecoverMemory *************************************";

class RecoveryService : public TestService {
  public:
    using TestService::TestService;

    // The pass the service thread works in: 1 from the start's session check (the start counts
    // with the first pass), k + 1 from the session check after pass k.
    std::atomic<int> pass{0};
    std::function<void()> onBusyIcons;

  protected:
    std::string GetSessionUser(const std::string& previousName) override {
        const std::string name = TestService::GetSessionUser(previousName);
        ++pass;
        return name;
    }
    void ShowBusyIcons() override {
        Trace(kBusyIcons);
        if (onBusyIcons) onBusyIcons();
    }
    void RestoreIcons() override { Trace(kRestoredIcons); }
};

struct PassTrace {
    int pass;
    std::string text;
};

class RecoveryTest : public ::testing::Test {
  protected:
    RecoveryTest() {
        SetTraceSink([this](const std::string& message) {
            std::lock_guard guard(traceLock_);
            traces_.push_back({service.pass, message});
            // The start reads the machine options just before this line; the test's replace them.
            if (message == "ServiceExecute SetSize") service.LocalOptions = options;
        });
        sim.SetHeapLimit(64 * kMiB);
    }
    ~RecoveryTest() override { SetTraceSink({}); }

    // Physical memory in MiB: total and available (the paging file is left out of the picture).
    void SetMemory(double totalMiB, double availMiB) {
        sim.SetMemory(static_cast<std::uint64_t>(totalMiB * kMiB),
                      static_cast<std::uint64_t>(availMiB * kMiB), 0, 0);
    }

    void LogOn(const std::string& name = "alice") { service.user = name; }

    platform::Handle AddSettingsWindow() {
        return sim.AddWindow("TKorvanelXPF", "KorvanelXP Settings", false);
    }

    std::vector<SettingsMessage> Notes(platform::Handle window) const {
        std::vector<SettingsMessage> notes;
        const auto id = sim.RegisteredMessage("KorvanelXPSettings");
        for (const auto& message : sim.Inbox(window)) {
            if (id && message.message == *id) notes.push_back({message.wParam, message.lParam});
        }
        return notes;
    }
    int NoteCount(platform::Handle window, std::uintptr_t code) const {
        const auto notes = Notes(window);
        return static_cast<int>(std::count_if(notes.begin(), notes.end(),
                                              [code](const auto& n) { return n.code == code; }));
    }

    // Runs the start and the given number of passes.
    void RunPasses(int passes) {
        AtSessionCheck(passes, [this] { service.QuitRequested = true; });
        Platform().services.RunServiceApplication({"KorvanelXPService", "KorvanelXP", true},
                                                  service);
    }

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

    platform::Platform& Platform() { return sim.platform(); }

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

    sim::SimMachine sim;
    RecoveryService service{sim.platform()};
    // Applied right after the start has read the machine options; automatic recovery is off
    // unless a test turns it on.
    TMachineOptions options = ManualOnly();

  private:
    static TMachineOptions ManualOnly() {
        TMachineOptions manual;
        manual.Recover = false;
        return manual;
    }

    mutable std::mutex traceLock_;
    std::vector<PassTrace> traces_;
};

}  // namespace kxp::test
