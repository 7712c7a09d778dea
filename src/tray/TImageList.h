// A list of 16 x 16 icons, each owned by the list for as long as it lives.
#pragma once

#include <utility>
#include <vector>

#include "platform/DrawingHandles.h"

namespace kxp {

class TImageList {
  public:
    // An empty icon is not added.
    void Add(OwnedIcon icon) {
        if (icon) images_.push_back(std::move(icon));
    }
    int Count() const { return static_cast<int>(images_.size()); }
    // 0 outside the list.
    platform::Handle Image(int index) const {
        if (index < 0 || index >= Count()) return 0;
        return images_[static_cast<std::size_t>(index)].get();
    }

  private:
    std::vector<OwnedIcon> images_;
};

}  // namespace kxp
