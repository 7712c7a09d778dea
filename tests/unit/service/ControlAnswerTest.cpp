// What the control handler answers the control manager: handled, or not implemented.
#include <gtest/gtest.h>

#include "platform/sim/SimMachine.h"
#include "service/TKorvanelXPService.h"

namespace kxp::test {
namespace {

struct ControlAnswer {
    std::uint32_t code;
    std::uint32_t answer;
};

class ControlAnswerTest : public ::testing::TestWithParam<ControlAnswer> {};

TEST_P(ControlAnswerTest, HandledCodesAreAnsweredNoErrorAndOthersNotImplemented) {
    sim::SimMachine sim;
    TKorvanelXPService service(sim.platform());
    EXPECT_EQ(service.Control(GetParam().code), GetParam().answer);
}

constexpr std::uint32_t kOk = platform::kNoError;
constexpr std::uint32_t kNo = platform::kErrorCallNotImplemented;

INSTANTIATE_TEST_SUITE_P(Codes, ControlAnswerTest,
                         ::testing::Values(ControlAnswer{platform::kControlStop, kOk},
                                           ControlAnswer{platform::kControlInterrogate, kOk},
                                           ControlAnswer{platform::kControlShutdown, kOk},
                                           ControlAnswer{2, kNo},  // pause: not accepted
                                           ControlAnswer{3, kNo}, ControlAnswer{127, kNo},
                                           ControlAnswer{SV_READUSEROPTIONS, kOk},
                                           ControlAnswer{RECOVER, kOk}, ControlAnswer{SV_QUIT, kOk},
                                           ControlAnswer{RECOVER_KEEPICONS, kOk},
                                           ControlAnswer{138, kNo}, ControlAnswer{199, kNo},
                                           ControlAnswer{SV_TEST1, kOk},
                                           ControlAnswer{SV_TEST3, kOk}, ControlAnswer{203, kNo},
                                           ControlAnswer{255, kNo}));

}  // namespace
}  // namespace kxp::test
