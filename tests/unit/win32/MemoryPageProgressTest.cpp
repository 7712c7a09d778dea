// The Memory page's recovery on request: the status line, the button and the progress bar follow
// the service's notifications and whether it runs; the peak usage shows as the service reports it.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "PageFixture.h"
#include "settings/win32/MemoryPageIds.h"

namespace kxp::settings::test {
namespace {

// One step of the service's side: a notification, a change of whether it runs, or a click on
// "Recover RAM now" that the service takes or not.
struct ServiceStep {
    enum Kind { Notification, Running, Click } kind;
    int value;
    LPARAM extra = 0;
};

struct ProgressCase {
    const char* what;
    std::vector<ServiceStep> steps;
    const wchar_t* status;
    bool buttonEnabled;
    bool progressShown;
    const wchar_t* peak;
    std::vector<int> sent;
};

void PrintTo(const ProgressCase& c, std::ostream* out) {
    *out << c.what;
}

class RecoveryProgress : public ::testing::TestWithParam<ProgressCase> {};

TEST_P(RecoveryProgress, TheStatusButtonAndBarFollowTheService) {
    PageFixture fixture(std::make_unique<MemoryPage>());
    ASSERT_NE(fixture.dialog(), nullptr);
    SettingsState state;
    fixture.page().Show(fixture.dialog(), state);
    for (const ServiceStep& step : GetParam().steps) {
        switch (step.kind) {
            case ServiceStep::Notification:
                fixture.page().Notified(fixture.dialog(), step.value, step.extra);
                break;
            case ServiceStep::Running:
                fixture.page().ServiceRunning(fixture.dialog(), step.value != 0);
                break;
            case ServiceStep::Click:
                fixture.host.serviceTakes = step.value != 0;
                fixture.Click(IDC_MEMORY_RECOVER_NOW);
                break;
        }
    }
    EXPECT_EQ(Text(fixture.Item(IDC_MEMORY_STATUS)), GetParam().status);
    EXPECT_EQ(::IsWindowEnabled(fixture.Item(IDC_MEMORY_RECOVER_NOW)) != FALSE,
              GetParam().buttonEnabled);
    EXPECT_EQ((::GetWindowLongW(fixture.Item(IDC_MEMORY_PROGRESS), GWL_STYLE) & WS_VISIBLE) != 0,
              GetParam().progressShown);
    EXPECT_EQ(Text(fixture.Item(IDC_MEMORY_PEAK)), GetParam().peak);
    EXPECT_EQ(fixture.host.sent, GetParam().sent);
}

using S = ServiceStep;

INSTANTIATE_TEST_SUITE_P(
    Cases, RecoveryProgress,
    ::testing::Values(ProgressCase{"not_running",
                                   {{S::Running, 0}},
                                   L"The service is not running.",
                                   false,
                                   false,
                                   L"not known yet",
                                   {}},
                      ProgressCase{"requested",
                                   {{S::Running, 1}, {S::Click, 1}},
                                   L"The service has been asked to recover RAM.",
                                   true,
                                   false,
                                   L"not known yet",
                                   {133}},
                      ProgressCase{"refused",
                                   {{S::Running, 1}, {S::Click, 0}},
                                   L"The service did not take the request.",
                                   true,
                                   false,
                                   L"not known yet",
                                   {133}},
                      ProgressCase{"recovering",
                                   {{S::Running, 1}, {S::Click, 1}, {S::Notification, 3}},
                                   L"Recovering RAM...",
                                   false,
                                   true,
                                   L"not known yet",
                                   {133}},
                      // The recovery takes memory of its own: the page asks for the peak again.
                      ProgressCase{"finished",
                                   {{S::Running, 1}, {S::Notification, 3}, {S::Notification, 4}},
                                   L"The recovery has finished.",
                                   true,
                                   false,
                                   L"not known yet",
                                   {129}},
                      ProgressCase{"peak",
                                   {{S::Running, 1}, {S::Notification, 5, 1234}},
                                   L"",
                                   true,
                                   false,
                                   L"1234 MB",
                                   {}},
                      ProgressCase{"stopped_while_recovering",
                                   {{S::Running, 1}, {S::Notification, 3}, {S::Running, 0}},
                                   L"The service is not running.",
                                   false,
                                   false,
                                   L"not known yet",
                                   {}},
                      ProgressCase{"back_again",
                                   {{S::Running, 0}, {S::Running, 1}},
                                   L"",
                                   true,
                                   false,
                                   L"not known yet",
                                   {}}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace kxp::settings::test
