#include "recovery/FillBlock.h"

#include <cstring>

namespace kxp {

// The library's memset is as fast a write as there is; most of the cost is the system handing out
// fresh pages, which no other way of writing avoids.
void FillBlock(void* block, std::size_t size) {
    std::memset(block, kRecoveryFillByte, size);
}

}  // namespace kxp
