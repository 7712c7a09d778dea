// CheckFullScreen: whether a full-screen program is in front, so that the tray icons are not
// redrawn over it.
#include <array>
#include <cstring>

#include "sysinfo/TSystemData.h"

namespace kxp {
namespace {

constexpr std::int32_t kTitleBufferChars = 256;
// The desktop itself covers the screen without being a full-screen program.
constexpr const char* kDesktopTitle = "Program Manager";

}  // namespace

void TSystemData::CheckFullScreen() {
    FullScreen = false;
    const platform::Handle window = windows_.GetForegroundWindow();
    platform::Rect bounds;
    // The desktop window itself is in front when no program is, as under Wine's virtual desktop.
    if (window == 0 || window == windows_.GetDesktopWindow() ||
        !windows_.GetWindowRect(window, bounds)) {
        return;
    }

    // In 64 bits: the difference of two extreme coordinates does not fit in 32.
    const std::int64_t width = std::int64_t{bounds.right} - bounds.left;
    const std::int64_t height = std::int64_t{bounds.bottom} - bounds.top;
    FullScreen = width == windows_.GetSystemMetrics(platform::kSmCxScreen) &&
                 height == windows_.GetSystemMetrics(platform::kSmCyScreen);
    if (!FullScreen) return;

    std::array<char, kTitleBufferChars> title{};
    windows_.GetWindowTextA(window, title.data(), kTitleBufferChars);
    title.back() = '\0';
    if (std::strcmp(title.data(), kDesktopTitle) == 0) FullScreen = false;
}

}  // namespace kxp
