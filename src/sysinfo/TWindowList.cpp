#include "sysinfo/TWindowList.h"

namespace kxp {

TWindowList::TWindowList(platform::Windows& windows) {
    windows.EnumWindows([&](platform::Handle window) {
        TWindowObject entry;
        entry.Wnd = window;
        windows.GetWindowThreadProcessId(window, &entry.ProcessId);
        // Unchecked: a window that went away meanwhile keeps the empty rectangle.
        windows.GetWindowRect(window, entry.Bounds);
        entry.Flag = windows.IsWindowVisible(window) ? 1 : 0;
        entries_.push_back(std::move(entry));
        return true;
    });
}

bool TWindowList::Get(std::size_t index, TWindowObject& entry) const {
    if (index >= entries_.size()) return false;
    entry = entries_[index];
    return true;
}

}  // namespace kxp
