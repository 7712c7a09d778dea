// Recovery requests from other threads while the service thread recovers: every recovery is
// announced and closed once, and the icons made busy are restored. Meant for the sanitizer builds.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "ServiceFixture.h"

namespace kxp::test {
namespace {

TEST_F(ServiceTest, RequestsFromTwoThreadsDuringRecoveriesKeepEveryRecoveryWhole) {
    SetMemory(2, 0.5);
    sim.SetHeapLimit(64 * kMiB);
    SetOption("Recover", 0);
    LogOn();
    const auto settings = AddSettingsWindow();
    std::atomic<bool> hammering{true};
    std::atomic<int> sent[2] = {0, 0};
    auto hammer = [&](int index, std::vector<std::uint32_t> codes) {
        for (std::size_t i = 0; hammering; ++i) {
            service.Control(codes[i % codes.size()]);
            ++sent[index];
            std::this_thread::yield();
        }
    };
    std::thread first(hammer, 0, std::vector<std::uint32_t>{RECOVER, SV_SENDPEAKMEMUSAGE});
    std::thread second(hammer, 1, std::vector<std::uint32_t>{RECOVER_KEEPICONS, RECOVER});
    // The passes run in virtual time and could all be over before a thread is scheduled: each
    // session check waits (within a deadline) until both threads have sent again.
    service.onSessionCheck = [&](int) {
        const int before[2] = {sent[0], sent[1]};
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while ((sent[0] == before[0] || sent[1] == before[1]) &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
        }
    };
    RunPasses(60);
    hammering = false;
    first.join();
    second.join();

    std::vector<std::uintptr_t> codes;
    for (const auto& note : SettingsMessages(settings)) {
        if (note.code == 3 || note.code == 4) codes.push_back(note.code);
    }
    ASSERT_FALSE(codes.empty());
    for (std::size_t i = 0; i < codes.size(); ++i) EXPECT_EQ(codes[i], i % 2 == 0 ? 3u : 4u);
    EXPECT_EQ(codes.size() % 2, 0u);
    EXPECT_EQ(service.busyMoments.size(), service.restoredMoments.size());
    EXPECT_EQ(sim.HeapBlocksInUse(), 0);
}

}  // namespace
}  // namespace kxp::test
