// A simulated machine with the service on it, and the few helpers that let a test arrange a run in
// a few lines: who is logged on, the settings window, control codes at virtual times, traces.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Trace.h"
#include "platform/sim/SimMachine.h"
#include "service/TKorvanelXPService.h"

namespace kxp::test {

// The service with stand-ins for the work that later parts fill in: the session check reports
// the user the test chooses, and creating the working objects can be made to fail.
class TestService : public TKorvanelXPService {
  public:
    using TKorvanelXPService::TKorvanelXPService;

    std::string user = "SYSTEM";
    std::string sid = "\\S-1-5-21-0-0-0-1000";
    // Runs at every session check (once at start, then after each pass's sleep), after the scan.
    std::function<void(int check)> onSessionCheck;
    bool failDrawingObjects = false;
    bool failSampler = false;

  protected:
    std::string GetSessionUser(const std::string& previousName) override {
        TKorvanelXPService::GetSessionUser(previousName);
        if (onSessionCheck) onSessionCheck(checks_);
        ++checks_;
        SetUserSid(user == "SYSTEM" ? "" : sid);
        return user;
    }
    void CreateDrawingObjects() override {
        if (failDrawingObjects) throw std::runtime_error("Out of system resources");
    }
    void CreateHistoriesAndSampler() override {
        if (failSampler) throw std::bad_alloc();
        TKorvanelXPService::CreateHistoriesAndSampler();
    }

  private:
    int checks_ = 0;
};

struct SettingsMessage {
    std::uintptr_t code;
    std::intptr_t value;
    friend bool operator==(const SettingsMessage&, const SettingsMessage&) = default;
};

class ServiceTest : public ::testing::Test {
  protected:
    ServiceTest() {
        // Memory to spare: with every figure at 0, free memory would be below the auto-recovery
        // limit, and a recovery would run in the first pass with a user logged on.
        sim.SetMemory(std::uint64_t{1024} << 20, std::uint64_t{768} << 20,
                      std::uint64_t{2048} << 20, std::uint64_t{1536} << 20);
        SetTraceSink([this](const std::string& message) {
            std::lock_guard guard(traceLock_);
            traces_.push_back(message);
        });
    }
    ~ServiceTest() override { SetTraceSink({}); }

    platform::Platform& Platform() { return sim.platform(); }

    void LogOn(const std::string& name = "alice") { service.user = name; }

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

    // Pass k sleeps from (k-1) s to k s of virtual time; a control sent in the middle of that
    // sleep is seen at the end of pass k.
    static std::uint32_t DuringPass(int pass) {
        return static_cast<std::uint32_t>(pass) * 1000 - 500;
    }
    void ControlDuringPass(int pass, std::uint32_t code) {
        sim.At(DuringPass(pass), [this, code] { sim.SendControl(code); });
    }
    void QuitAfterPass(int pass) { ControlDuringPass(pass, SV_QUIT); }

    bool Run() {
        return Platform().services.RunServiceApplication({"KorvanelXPService", "KorvanelXP", true},
                                                         service);
    }
    int Passes() const { return static_cast<int>(sim.TotalSleptMs() / 1000); }

    std::vector<std::string> Traces() const {
        std::lock_guard guard(traceLock_);
        return traces_;
    }
    bool Traced(const std::string& text) const {
        const auto traces = Traces();
        return std::find(traces.begin(), traces.end(), text) != traces.end();
    }
    int TraceCount(const std::string& text) const {
        const auto traces = Traces();
        return static_cast<int>(std::count(traces.begin(), traces.end(), text));
    }

    sim::SimMachine sim;
    TestService service{sim.platform()};

  private:
    mutable std::mutex traceLock_;
    std::vector<std::string> traces_;
};

}  // namespace kxp::test
