#include "sysinfo/ProcessWatch.h"

#include "platform/SecurityHandle.h"

namespace kxp {
namespace {

constexpr std::int32_t kOutOfSight = 2048;
constexpr const char* kUpdateWindowTitle = "Automatic Updates";
constexpr const char* kUpdateWindowTitleGerman = "Automatische Updates";

bool InSight(const platform::Rect& bounds) {
    return bounds.left != kOutOfSight && bounds.top != kOutOfSight;
}

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string AnsiName(std::u16string_view name) {
    std::string text(name.size(), '?');
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] < 0x100) text[i] = static_cast<char>(name[i]);
    }
    return text;
}

bool AnsiNameEquals(std::string_view name, std::string_view other) {
    if (name.size() != other.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (FoldAscii(name[i]) != FoldAscii(other[i])) return false;
    }
    return true;
}

void UpdateWindowHider::Hide(std::uint32_t processId) {
    platform::Handle window = windows_.FindWindowA(nullptr, kUpdateWindowTitle);
    if (window == 0) window = windows_.FindWindowA(nullptr, kUpdateWindowTitleGerman);
    std::uint32_t owner = 0;
    if (window != 0 && !HasDialogFrame(window)) windows_.GetWindowThreadProcessId(window, &owner);

    if (window != 0 && owner == processId) {
        platform::Rect bounds;
        if (windows_.GetWindowRect(window, bounds) && InSight(bounds)) Move(window);
        return;
    }
    // The titled window is missing or belongs to another process: look at all of this one's.
    if (!snapshot_) snapshot_.emplace(windows_);
    TWindowObject entry;
    for (std::size_t i = 0; snapshot_->Get(i, entry); ++i) {
        if (entry.ProcessId == processId && !HasDialogFrame(entry.Wnd) && entry.Flag != 0 &&
            InSight(entry.Bounds)) {
            Move(entry.Wnd);
        }
    }
}

bool UpdateWindowHider::HasDialogFrame(platform::Handle window) {
    const auto exStyle =
        static_cast<std::uint32_t>(windows_.GetWindowLongA(window, platform::kGwlExStyle));
    return (exStyle & platform::kWsExDlgModalFrame) != 0;
}

void UpdateWindowHider::Move(platform::Handle window) {
    // Best effort: a window that refuses to move is tried again at the next scan.
    windows_.SetWindowPos(window, platform::kHwndBottom, kOutOfSight, kOutOfSight, 1, 1,
                          platform::kSwpNoActivate | platform::kSwpFrameChanged);
}

void EndProcess(platform::Security& security, std::uint32_t processId) {
    const auto process =
        OwnHandle(security, security.OpenProcess(platform::kProcessTerminate, false, processId));
    if (process) security.TerminateProcess(process.get(), 0);
}

}  // namespace kxp
