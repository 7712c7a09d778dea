#include "tray/TTrayWindow.h"

#include "tray/TTrayIcon.h"

namespace kxp {
namespace {

constexpr std::uint32_t kWmDestroy = 0x0002;
constexpr std::uint32_t kWmClose = 0x0010;
constexpr std::uint32_t kWmQueryEndSession = 0x0011;
constexpr std::uint32_t kWmQuit = 0x0012;
constexpr std::uint32_t kWmEndSession = 0x0016;
constexpr std::uint32_t kWmNcDestroy = 0x0082;

}  // namespace

TTrayWindow::TTrayWindow(platform::Windows& windows)
    : taskbarCreated_(windows.RegisterWindowMessageA(kTaskbarCreatedMessage)),
      window_(windows, kTrayWindowClass,
              [this](std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                     std::intptr_t& result) { return Message(message, wParam, lParam, result); }) {}

std::uint32_t TTrayWindow::Attach(TTrayIcon& icon) {
    icons_[++lastIdentifier_] = &icon;
    return lastIdentifier_;
}

void TTrayWindow::Detach(std::uint32_t identifier) {
    icons_.erase(identifier);
}

bool TTrayWindow::Message(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                          std::intptr_t& result) {
    if (message == kTrayCallbackMessage) {
        const auto icon = icons_.find(static_cast<std::uint32_t>(wParam));
        if (icon != icons_.end()) icon->second->CallbackMessage(static_cast<std::uint32_t>(lParam));
        return true;
    }
    if (taskbarCreated_ != 0 && message == taskbarCreated_) {
        for (const auto& [identifier, icon] : icons_) icon->TaskbarCreated();
        return true;
    }
    switch (message) {
        // The window is the icons' and lives as long as they do: nothing closes it from outside,
        // and a session may end whenever it likes.
        case kWmDestroy:
        case kWmClose:
        case kWmQueryEndSession:
        case kWmQuit:
        case kWmEndSession:
        case kWmNcDestroy:
            result = 1;
            return true;
        default:
            return false;
    }
}

}  // namespace kxp
