#include "platform/sim/SimState.h"

#include <algorithm>
#include <cctype>

namespace kxp::sim::detail {

std::string ToLower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

SimWindow* SimState::FindWindowByHandle(platform::Handle handle) {
    auto window = std::find_if(windows.begin(), windows.end(),
                               [handle](const SimWindow& w) { return w.handle == handle; });
    return window == windows.end() ? nullptr : &*window;
}

}  // namespace kxp::sim::detail
