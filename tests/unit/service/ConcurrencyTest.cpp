// The control dispatcher sets request flags and samples memory while the service thread runs its
// passes and frees its working objects. Meant for the sanitizer builds.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "ServiceFixture.h"

namespace kxp::test {
namespace {

TEST_F(ServiceTest, ControlCodesFromTwoThreadsDuringTheLoopAreSafeAndQuitEndsIt) {
    sim.SetMemory(1024 * kMiB, 512 * kMiB, 2048 * kMiB, 1024 * kMiB);
    sim.SetPageFiles({{25600, 1280}});
    LogOn();
    service.PublishConfig(1, TConfig{1000, 1, 0});
    service.PublishConfig(2, TConfig{1000, 2, 12});
    AddSettingsWindow();

    std::atomic<int> passes{0};
    service.onSessionCheck = [&](int) { ++passes; };
    std::thread serviceThread([this] { Run(); });

    const std::vector<std::uint32_t> codes = {
        128, 129, 130, 131, 132, 133, 134,
        135, 137, 200, 201, 202, 129, platform::kControlInterrogate};
    std::atomic<bool> hammering{true};
    auto hammer = [&](std::size_t offset) {
        for (std::size_t i = offset; hammering; ++i) {
            service.Control(codes[i % codes.size()]);
            if (i % 64 == 0) std::this_thread::yield();
        }
    };
    std::thread first(hammer, 0);
    std::thread second(hammer, codes.size() / 2);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (passes < 200 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    EXPECT_GE(passes, 200);
    service.Control(SV_QUIT);
    serviceThread.join();
    hammering = false;
    first.join();
    second.join();

    EXPECT_TRUE(service.QuitRequested);
    EXPECT_FALSE(service.SystemData.has_value());
    EXPECT_EQ(sim.StatusReports().back().state, platform::ServiceState::Stopped);
    EXPECT_TRUE(Traced("+++++++++++ QUIT user +++++++++++++"));
}

}  // namespace
}  // namespace kxp::test
