// The process heap on the real API.
#pragma once

#include "platform/Platform.h"

namespace kxp::win32 {

class Win32Heap final : public platform::Heap {
  public:
    void* HeapAlloc(std::uint64_t bytes) override;
    void HeapFree(void* block) override;
};

}  // namespace kxp::win32
