// A snapshot of all top-level windows with their owning processes and rectangles. The process
// scan takes one only when it hides the update client's windows, and drops it at the end of the
// scan.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace kxp {

struct TWindowObject {
    platform::Handle Wnd = 0;
    std::string Text;  // not filled by the snapshot
    std::uint32_t ProcessId = 0;
    // 1 when the window was visible at the snapshot, else 0. The hiding moves only windows whose
    // Flag is set: the update client also owns hidden helper windows, which are out of sight
    // already and gain nothing from being moved.
    std::uint8_t Flag = 0;
    platform::Rect Bounds;
};

class TWindowList {
  public:
    // Takes the snapshot at once.
    explicit TWindowList(platform::Windows& windows);

    // Copies entry index (0-based) out; false, leaving entry alone, when there is no such entry.
    bool Get(std::size_t index, TWindowObject& entry) const;
    std::size_t Count() const { return entries_.size(); }

  private:
    std::vector<TWindowObject> entries_;
};

}  // namespace kxp
