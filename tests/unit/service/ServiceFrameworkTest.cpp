#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/sim/SimMachine.h"
#include "service/ServiceFramework.h"

namespace kxp::test {
namespace {

using platform::ServiceState;

constexpr std::uint32_t kRunningAccepts = platform::kAcceptStop | platform::kAcceptShutdown;

class ServiceFrameworkTest : public ::testing::Test {
  protected:
    ServiceFramework& Framework() {
        if (!framework_) {
            framework_.emplace(
                sim.platform().services, sim.platform().windows, sim.platform().clock,
                "KorvanelXPService",
                ServiceHandlers{[this] { Handler("start"); }, [this] { Handler("execute"); },
                                [this] { Handler("stop"); }, [this] { Handler("shutdown"); }});
        }
        return *framework_;
    }

    std::vector<ServiceState> States() const {
        std::vector<ServiceState> states;
        for (const auto& report : sim.StatusReports()) states.push_back(report.state);
        return states;
    }

    sim::SimMachine sim;
    std::vector<std::string> calls;
    std::string failIn;               // the handler that throws
    std::function<void()> onExecute;  // what the execute handler does

  private:
    void Handler(const std::string& name) {
        calls.push_back(name);
        if (name == failIn) throw std::runtime_error("boom in " + name);
        if (name == "execute" && onExecute) onExecute();
    }

    std::optional<ServiceFramework> framework_;
};

TEST_F(ServiceFrameworkTest, RunReportsStartPendingRunningStopped) {
    Framework().ServiceMain();
    EXPECT_EQ(calls, (std::vector<std::string>{"start", "execute"}));
    EXPECT_EQ(States(), (std::vector<ServiceState>{ServiceState::StartPending,
                                                   ServiceState::Running, ServiceState::Stopped}));
    EXPECT_EQ(sim.StatusReports()[1].controlsAccepted, kRunningAccepts);
    EXPECT_EQ(sim.StatusReports()[2].controlsAccepted, 0u);
}

TEST_F(ServiceFrameworkTest, StopRunsTheStopHandlerThenTerminates) {
    onExecute = [this] {
        Framework().Control(platform::kControlStop);
        EXPECT_FALSE(Framework().Terminated());
        Framework().ProcessRequests();
        EXPECT_TRUE(Framework().Terminated());
    };
    Framework().ServiceMain();
    EXPECT_EQ(calls, (std::vector<std::string>{"start", "execute", "stop"}));
    EXPECT_EQ(States().back(), ServiceState::Stopped);
    EXPECT_EQ(States()[2], ServiceState::StopPending);
}

TEST_F(ServiceFrameworkTest, SecondStopAfterTheFirstIsIgnored) {
    onExecute = [this] {
        Framework().Control(platform::kControlStop);
        Framework().Control(platform::kControlStop);
        Framework().ProcessRequests();
    };
    Framework().ServiceMain();
    EXPECT_EQ(calls, (std::vector<std::string>{"start", "execute", "stop"}));
}

TEST_F(ServiceFrameworkTest, InterrogateReportsTheCurrentStatus) {
    onExecute = [this] {
        Framework().Control(platform::kControlInterrogate);
        Framework().ProcessRequests();
    };
    Framework().ServiceMain();
    EXPECT_EQ(States(),
              (std::vector<ServiceState>{ServiceState::StartPending, ServiceState::Running,
                                         ServiceState::Running, ServiceState::Stopped}));
    EXPECT_EQ(sim.StatusReports()[2].controlsAccepted, kRunningAccepts);
}

TEST_F(ServiceFrameworkTest, CustomCodesAreOnlyAcknowledged) {
    onExecute = [this] {
        for (std::uint32_t code : {128u, 136u, 202u}) Framework().Control(code);
        Framework().ProcessRequests();
        EXPECT_FALSE(Framework().Terminated());
    };
    Framework().ServiceMain();
    EXPECT_EQ(calls, (std::vector<std::string>{"start", "execute"}));
    EXPECT_EQ(States().size(), 3u);
}

TEST_F(ServiceFrameworkTest, ProcessingRequestsPumpsTheThreadsMessagesWithoutWaiting) {
    const int pumpsBefore = sim.PumpCount();
    Framework().ProcessRequests();
    Framework().ProcessRequests();
    EXPECT_EQ(sim.PumpCount() - pumpsBefore, 2);
    EXPECT_EQ(sim.Now(), 0u);
    EXPECT_EQ(sim.TotalSleptMs(), 0u);
}

TEST_F(ServiceFrameworkTest, RequestsLeftWhenExecuteReturnsAreHandledOnce) {
    onExecute = [this] { Framework().Control(platform::kControlStop); };
    Framework().ServiceMain();
    EXPECT_EQ(calls, (std::vector<std::string>{"start", "execute", "stop"}));
    EXPECT_EQ(States().back(), ServiceState::Stopped);
}

TEST_F(ServiceFrameworkTest, ErrorEscapingStartIsLoggedAndNothingRuns) {
    failIn = "start";
    Framework().ServiceMain();
    EXPECT_EQ(calls, (std::vector<std::string>{"start"}));
    EXPECT_EQ(
        sim.EventLog(),
        (std::vector<std::string>{"KorvanelXPService: Service failed on start: boom in start"}));
    EXPECT_EQ(States(),
              (std::vector<ServiceState>{ServiceState::StartPending, ServiceState::Stopped}));
}

// What the control manager hears while a stop is under way: pending at once on the dispatcher
// thread, again when the service thread takes the request, then at most once a second of work,
// and never "running" again.
TEST_F(ServiceFrameworkTest, AStopIsReportedPendingAtOnceThenAboutEverySecondUntilStopped) {
    std::vector<std::size_t> reportsAfter;
    onExecute = [this, &reportsAfter] {
        const auto count = [this] { return sim.StatusReports().size(); };
        const std::size_t before = count();
        Framework().Control(platform::kControlStop);
        reportsAfter.push_back(count() - before);  // at once, before the service thread acts
        Framework().ProcessRequests();
        reportsAfter.push_back(count() - before);  // taken by the service thread
        sim.platform().clock.Sleep(600);
        Framework().ReportStopProgress();
        reportsAfter.push_back(count() - before);  // too soon for progress
        sim.platform().clock.Sleep(600);
        Framework().ReportStopProgress();
        reportsAfter.push_back(count() - before);  // a second after the last report
        Framework().ProcessRequests();
        reportsAfter.push_back(count() - before);
    };
    Framework().ServiceMain();
    EXPECT_EQ(reportsAfter, (std::vector<std::size_t>{1, 2, 2, 3, 3}));
    EXPECT_EQ(States(),
              (std::vector<ServiceState>{ServiceState::StartPending, ServiceState::Running,
                                         ServiceState::StopPending, ServiceState::StopPending,
                                         ServiceState::StopPending, ServiceState::Stopped}));
}

TEST_F(ServiceFrameworkTest, AFatalEndIsReportedStoppedWithTheServicesOwnCode) {
    onExecute = [this] { Framework().ReportFatal(2); };
    Framework().ServiceMain();
    const auto reports = sim.StatusReports();
    ASSERT_GE(reports.size(), 3u);
    EXPECT_EQ(reports[2].state, ServiceState::Stopped);
    EXPECT_EQ(reports[2].exitCode, platform::kErrorServiceSpecificError);
    EXPECT_EQ(reports[2].serviceExitCode, 2u);
}

}  // namespace
}  // namespace kxp::test
