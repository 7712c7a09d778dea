// What the window watch sees on the simulated machine beyond the windows themselves: the
// foreground window, the primary screen, and a record of the watch's calls and moves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/sim/SimMachine.h"

namespace kxp::sim::detail {

struct SimWindowWatchState {
    platform::Handle foreground = 0;
    platform::Handle desktop = 0;
    std::int32_t screenWidth = 1024;
    std::int32_t screenHeight = 768;
    std::vector<SimWindowMove> moves;
    std::vector<std::string> calls;
};

}  // namespace kxp::sim::detail
