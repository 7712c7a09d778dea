// CheckFullScreen: the foreground window against the primary screen, the desktop excepted.
#include <string>

#include "SamplerFixture.h"

namespace kxp::testing {
namespace {

struct FullScreenCase {
    const char* title;
    platform::Rect bounds;
    bool expected;
};

void PrintTo(const FullScreenCase& c, std::ostream* out) {
    *out << '"' << c.title << "\" " << c.bounds.left << ',' << c.bounds.top << ',' << c.bounds.right
         << ',' << c.bounds.bottom << " -> " << c.expected;
}

class FullScreenTest : public SamplerTest, public ::testing::WithParamInterface<FullScreenCase> {
  protected:
    FullScreenTest() { machine.SetScreenSize(1280, 1024); }
};

TEST_P(FullScreenTest, ForegroundWindowOfTheScreensSizeIsFullScreen) {
    const auto window = machine.AddWindow("Game", GetParam().title);
    machine.SetWindowRect(window, GetParam().bounds);
    machine.SetForegroundWindow(window);
    Sampler().CheckFullScreen();
    EXPECT_EQ(Sampler().FullScreen, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, FullScreenTest,
    ::testing::Values(FullScreenCase{"Game", {0, 0, 1280, 1024}, true},
                      FullScreenCase{"Game", {-100, -50, 1180, 974}, true},  // size, not place
                      FullScreenCase{"Game", {0, 0, 1280, 1023}, false},
                      FullScreenCase{"Game", {0, 0, 1279, 1024}, false},
                      FullScreenCase{"Program Manager", {0, 0, 1280, 1024}, false},
                      FullScreenCase{"program manager", {0, 0, 1280, 1024}, true},
                      FullScreenCase{"Program Manager ", {0, 0, 1280, 1024}, true},
                      FullScreenCase{"Game", {INT32_MIN, 0, INT32_MAX, 1024}, false}));

TEST_F(SamplerTest, NoForegroundWindowIsNotFullScreen) {
    Sampler().FullScreen = true;
    Sampler().CheckFullScreen();
    EXPECT_FALSE(Sampler().FullScreen);
}

TEST_F(SamplerTest, TheDesktopWindowInFrontIsNotFullScreen) {
    const auto desktop = machine.AddWindow("#32769", "");
    machine.SetWindowRect(desktop, {0, 0, 1024, 768});
    machine.SetDesktopWindow(desktop);
    machine.SetForegroundWindow(desktop);
    Sampler().FullScreen = true;
    Sampler().CheckFullScreen();
    EXPECT_FALSE(Sampler().FullScreen);
}

TEST_F(SamplerTest, AForegroundWindowThatIsGoneIsNotFullScreen) {
    const auto window = machine.AddWindow("Game", "Game");
    machine.SetWindowRect(window, {0, 0, 1024, 768});
    machine.SetForegroundWindow(window);
    machine.RemoveWindow(window);
    Sampler().FullScreen = true;
    Sampler().CheckFullScreen();
    EXPECT_FALSE(Sampler().FullScreen);
}

TEST_F(SamplerTest, ALongTitleIsCutAtTheBufferAndStillCompared) {
    const auto window = machine.AddWindow("Game", "Program Manager" + std::string(400, 'x'));
    machine.SetWindowRect(window, {0, 0, 1024, 768});
    machine.SetForegroundWindow(window);
    Sampler().CheckFullScreen();
    EXPECT_TRUE(Sampler().FullScreen);
}

}  // namespace
}  // namespace kxp::testing
