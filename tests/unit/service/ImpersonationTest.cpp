// The impersonation pair called directly: profiles, failures, nesting, and two threads at once.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ServiceFixture.h"

namespace kxp::test {
namespace {

// Two threads meeting at each step, until a deadline; false once it has passed. std::barrier waits
// through libstdc++'s atomic-wait backoff, which under Wine can take long enough per meeting to
// time the test out.
class Meeting {
  public:
    bool ArriveAndWait() {
        std::unique_lock lock(mutex_);
        const int round = round_;
        if (++arrived_ == 2) {
            arrived_ = 0;
            ++round_;
            met_.notify_all();
            return true;
        }
        return met_.wait_until(lock, deadline_, [&] { return round_ != round; });
    }

  private:
    const std::chrono::steady_clock::time_point deadline_ =
        std::chrono::steady_clock::now() + std::chrono::seconds(60);
    std::mutex mutex_;
    std::condition_variable met_;
    int arrived_ = 0;
    int round_ = 0;
};

class ImpersonationTest : public ServiceTest {
  protected:
    ImpersonationTest() {
        Shell(1000, kAlice);
        PrepareDirectCalls();
        // The session check makes this thread the one that scans.
        user = service.GetSessionUser("");
    }
    std::string user;
};

TEST_F(ImpersonationTest, TheSessionCheckLeavesNoImpersonationOrHandleBehind) {
    EXPECT_EQ(user, "alice");
    EXPECT_EQ(service.Session().UserSid, kAliceSid);
    EXPECT_EQ(service.UserToken(), 0u);
    EXPECT_EQ(sim.ImpersonatingThreadCount(), 0);
    EXPECT_EQ(sim.OpenSecurityHandleCount(), 0);
}

TEST_F(ImpersonationTest, WithAProfileTheUsersProfileIsLoadedAndUnloaded) {
    ASSERT_TRUE(service.ImpersonateShellUser(true));
    EXPECT_NE(service.UserToken(), 0u);
    EXPECT_EQ(sim.ImpersonatingThreadCount(), 1);
    ASSERT_EQ(sim.ProfileLoads().size(), 1u);
    EXPECT_EQ(sim.ProfileLoads()[0].tokenUser, "alice");
    EXPECT_EQ(sim.ProfileLoads()[0].userName, "alice");
    EXPECT_EQ(sim.ProfileLoads()[0].flags, platform::kPiNoUi);
    EXPECT_EQ(TraceCount("Profile loaded"), 1);
    EXPECT_EQ(sim.LoadedProfileCount(), 1);

    service.EndImpersonation(true);
    EXPECT_EQ(sim.LoadedProfileCount(), 0);
    EXPECT_EQ(sim.ImpersonatingThreadCount(), 0);
    EXPECT_EQ(sim.OpenSecurityHandleCount(), 0);
    EXPECT_EQ(service.UserToken(), 0u);
}

TEST_F(ImpersonationTest, WithoutAProfileNoneIsLoaded) {
    ASSERT_TRUE(service.ImpersonateShellUser(false));
    service.EndImpersonation(false);
    EXPECT_TRUE(sim.ProfileLoads().empty());
    EXPECT_EQ(sim.OpenSecurityHandleCount(), 0);
}

TEST_F(ImpersonationTest, AProfileThatFailsToLoadIsTracedAndTheImpersonationGoesOn) {
    sim.FailSecurityCall(sim::SimSecurityCall::LoadUserProfile, 1314);
    ASSERT_TRUE(service.ImpersonateShellUser(true));
    EXPECT_EQ(TraceCount("Profile not loaded: 1314"), 1);
    EXPECT_EQ(sim.ImpersonatingThreadCount(), 1);
    service.EndImpersonation(true);
    EXPECT_EQ(sim.ImpersonatingThreadCount(), 0);
    EXPECT_EQ(sim.OpenSecurityHandleCount(), 0);
}

TEST_F(ImpersonationTest, NobodysProfileIsNeverLoaded) {
    NoShell();
    sim.platform().clock.Sleep(1000);
    ASSERT_EQ(service.GetSessionUser("alice"), "SYSTEM");
    Shell(1001, kAlice);
    sim.platform().clock.Sleep(1000);
    ASSERT_TRUE(service.ImpersonateShellUser(true));
    EXPECT_TRUE(sim.ProfileLoads().empty());
    service.EndImpersonation(true);
}

struct FailureCase {
    sim::SimSecurityCall call;
    const char* name;
};

void PrintTo(const FailureCase& c, std::ostream* out) {
    *out << c.name;
}

class ImpersonationFailureTest : public ImpersonationTest,
                                 public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ImpersonationFailureTest, AFailedStepGivesFalseAndLeavesNothingOpenOrLoaded) {
    sim.FailSecurityCall(GetParam().call, 5);
    EXPECT_FALSE(service.ImpersonateShellUser(true));
    EXPECT_EQ(service.UserToken(), 0u);
    EXPECT_EQ(sim.ImpersonatingThreadCount(), 0);
    EXPECT_EQ(sim.OpenSecurityHandleCount(), 0);
    EXPECT_EQ(sim.LoadedProfileCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, ImpersonationFailureTest,
    ::testing::Values(FailureCase{sim::SimSecurityCall::OpenProcess, "OpenProcess"},
                      FailureCase{sim::SimSecurityCall::OpenProcessToken, "OpenProcessToken"},
                      FailureCase{sim::SimSecurityCall::DuplicateTokenEx, "DuplicateTokenEx"},
                      FailureCase{sim::SimSecurityCall::ImpersonateLoggedOnUser,
                                  "ImpersonateLoggedOnUser"}));

TEST_F(ImpersonationTest, WithoutAShellThereIsNoImpersonation) {
    NoShell();
    sim.platform().clock.Sleep(1000);
    EXPECT_FALSE(service.ImpersonateShellUser(false));
    EXPECT_EQ(sim.OpenedProcesses().size(), 1u);  // the session check's only
}

TEST_F(ImpersonationTest, ASecondImpersonationOnTheSameThreadIsRefusedAndSpoilsNothing) {
    ASSERT_TRUE(service.ImpersonateShellUser(false));
    const platform::Handle token = service.UserToken();
    EXPECT_FALSE(service.ImpersonateShellUser(false));
    EXPECT_EQ(service.UserToken(), token);
    EXPECT_EQ(sim.ImpersonatingThreadCount(), 1);
    service.EndImpersonation(false);
    EXPECT_EQ(sim.OpenSecurityHandleCount(), 0);
}

TEST_F(ImpersonationTest, EndingWithoutAnImpersonationChangesNothing) {
    ASSERT_TRUE(service.ImpersonateShellUser(false));
    std::thread([this] { service.EndImpersonation(false); }).join();
    EXPECT_EQ(sim.ImpersonatingThreadCount(), 1);
    EXPECT_NE(service.UserToken(), 0u);
    service.EndImpersonation(false);
    EXPECT_EQ(sim.ImpersonatingThreadCount(), 0);
}

TEST_F(ImpersonationTest, TwoThreadsImpersonatingAtOnceKeepTheirOwnTokens) {
    constexpr int kRounds = 200;
    Meeting meeting;
    std::atomic<int> problems{0};
    std::vector<platform::Handle> tokens[2];
    auto impersonate = [&](int self) {
        for (int round = 0; round < kRounds; ++round) {
            const bool profile = round % 2 == 0;
            if (!service.ImpersonateShellUser(profile)) ++problems;
            tokens[self].push_back(service.UserToken());
            if (!meeting.ArriveAndWait()) ++problems;
            // Thread 0 ends first; thread 1 must still act as the user, with its own token.
            if (self == 0) service.EndImpersonation(profile);
            if (!meeting.ArriveAndWait()) ++problems;
            if (self == 1) {
                if (service.UserToken() != tokens[1].back()) ++problems;
                if (sim.ImpersonatingThreadCount() != 1) ++problems;
                service.EndImpersonation(profile);
            }
            if (!meeting.ArriveAndWait()) ++problems;
        }
    };
    std::thread first(impersonate, 0);
    std::thread second(impersonate, 1);
    first.join();
    second.join();

    EXPECT_EQ(problems.load(), 0);
    for (int round = 0; round < kRounds; ++round) {
        EXPECT_NE(tokens[0][round], 0u);
        EXPECT_NE(tokens[1][round], 0u);
        EXPECT_NE(tokens[0][round], tokens[1][round]);
    }
    EXPECT_EQ(sim.ImpersonatingThreadCount(), 0);
    EXPECT_EQ(sim.OpenSecurityHandleCount(), 0);
    EXPECT_EQ(sim.LoadedProfileCount(), 0);
}

}  // namespace
}  // namespace kxp::test
