// Menu work on the main thread beside the loop on the service thread: the option records, the
// session record, the drawing records and the registry objects across a logoff and a logon. Meant
// for the sanitizer builds; every wait in it is bounded by the run's own end.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "ServiceFixture.h"
#include "platform/RegistryKey.h"

namespace kxp::test {
namespace {

TEST_F(ServiceTest, MenuWorkOnTheMainThreadSharesTheRecordsWithTheLoopAcrossALogoff) {
    LogOn(kAlice);
    const auto mainThread = std::this_thread::get_id();
    std::atomic<int> posted{0}, ran{0}, ranOnMain{0}, written{0}, lastPosted{0};
    for (int i = 1; i <= 40; ++i) {
        // Posted from the service thread, as the tray's own events are made on the main one.
        sim.At(kStartTick + static_cast<std::uint32_t>(i) * 300, [&, i] {
            ++posted;
            lastPosted = i;
            const bool queued = service.PostToMainThread([&, i] {
                ++ran;
                if (std::this_thread::get_id() == mainThread) ++ranOnMain;
                TConfig config = service.Config(2);
                config.Refresh = 1000 + i;
                service.PublishConfig(2, config);
                service.ForceRedraw();
                const TSessionRecord session = service.Session();
                // The write either completes on objects kept alive here, or is skipped.
                if (auto writer = service.OptionWriter(); writer && !session.UserKeyPath.empty()) {
                    *writer = RegistryKey::OpenWrite(sim.platform().registry,
                                                     platform::RegistryRoot::Users,
                                                     session.UserKeyPath, true);
                    if (writer->WriteInteger("t2_Refresh", 1000 + i)) ++written;
                    writer->Close();
                }
            });
            // Virtual time runs ahead of the main thread; waiting here keeps each piece of work
            // inside the session phase it was posted in.
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (queued && ran < i && std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
    }
    sim.At(DuringPass(3), [this] { LogOff(); });
    sim.At(DuringPass(6), [this] { LogOn(kAlice); });
    RunPasses(12);

    EXPECT_GT(posted, 10);
    EXPECT_EQ(ran, posted);  // the main thread's loop runs what was posted before it ends
    EXPECT_EQ(ranOnMain, ran);
    EXPECT_GT(written, 0);
    EXPECT_EQ(service.Config(2).Refresh, 1000 + lastPosted);
    EXPECT_EQ(sim.OpenKeyCount(), 0);
    EXPECT_EQ(TraceCount("---------- Login done --------------"), 1);
}

}  // namespace
}  // namespace kxp::test
