// The service with its real session check on a simulated machine, and builders for the shell
// process and its user.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Trace.h"
#include "platform/sim/SimMachine.h"
#include "service/TKorvanelXPService.h"

namespace kxp::test {

class SessionService : public TKorvanelXPService {
  public:
    using TKorvanelXPService::GetSessionUser;
    using TKorvanelXPService::TKorvanelXPService;
};

inline sim::SimAccount Account(const std::string& name, std::uint32_t rid) {
    return sim::SimAccount{name, 1, {0, 0, 0, 0, 0, 5}, {21, 11, 22, 33, rid}};
}

inline const sim::SimAccount kAlice = Account("alice", 1001);
inline const sim::SimAccount kBob = Account("bob", 1002);
inline const std::string kAliceSid = "\\S-1-5-21-11-22-33-1001";
inline const std::string kBobSid = "\\S-1-5-21-11-22-33-1002";

class SessionTest : public ::testing::Test {
  protected:
    // A real machine's tick count is far from 0 at start; the process scan is gated against a
    // previous scan at tick 0.
    static constexpr std::uint32_t kStartTick = 100'000;
    static constexpr std::uint64_t kMiB = 1024 * 1024;

    SessionTest() {
        sim.SetNow(kStartTick);
        sim.SetMemory(1024 * kMiB, 768 * kMiB, 2048 * kMiB, 1536 * kMiB);
        SetTraceSink([this](const std::string& message) {
            std::lock_guard guard(traceLock_);
            traces_.push_back(message);
            if (onTrace) onTrace(message);
        });
    }
    ~SessionTest() override { SetTraceSink({}); }

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

    // Pass k sleeps for the k-th second of virtual time after the start (later passes shift by
    // the second a logon waits).
    static std::uint32_t DuringPass(int pass) {
        return kStartTick + static_cast<std::uint32_t>(pass) * 1000 - 500;
    }
    void QuitAfterPass(int pass) {
        sim.At(DuringPass(pass), [this] { sim.SendControl(SV_QUIT); });
    }
    void Run() {
        sim.platform().services.RunServiceApplication({"KorvanelXPService", "KorvanelXP", true},
                                                      service);
    }

    // Direct calls outside a run: the shell name and the working objects, as at start.
    void PrepareDirectCalls() {
        service.ServiceStart();
        service.GetMemory();
    }

    platform::Handle AddSettingsWindow() {
        return sim.AddWindow("TKorvanelXPF", "KorvanelXP Settings");
    }
    // The (code, value) notifications a window received, the WM_NULL probes left out.
    std::vector<std::pair<std::uintptr_t, std::intptr_t>> SettingsMessages(
        platform::Handle window) const {
        std::vector<std::pair<std::uintptr_t, std::intptr_t>> messages;
        const auto id = sim.RegisteredMessage("KorvanelXPSettings");
        for (const auto& message : sim.Inbox(window)) {
            if (id && message.message == *id) messages.emplace_back(message.wParam, message.lParam);
        }
        return messages;
    }

    std::vector<std::string> Traces() const {
        std::lock_guard guard(traceLock_);
        return traces_;
    }
    int TraceCount(const std::string& text) const {
        const auto traces = Traces();
        return static_cast<int>(std::count(traces.begin(), traces.end(), text));
    }
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

    sim::SimMachine sim;
    SessionService service{sim.platform()};
    // Runs for every trace, on the tracing thread.
    std::function<void(const std::string&)> onTrace;

  private:
    mutable std::mutex traceLock_;
    std::vector<std::string> traces_;
};

}  // namespace kxp::test
