// The simulated process heap: real blocks, so that a test can see what was written into them, up to
// a limit above which requests fail, as on a machine short of memory or address space.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/Platform.h"
#include "platform/sim/SimMachine.h"

namespace kxp::sim::detail {

class SimHeap final : public platform::Heap {
  public:
    void* HeapAlloc(std::uint64_t bytes) override;
    void HeapFree(void* block) override;

    void SetLimit(std::uint64_t bytes);
    void FailRequests(int count);
    std::vector<std::uint64_t> Requests() const;
    std::vector<SimHeapRelease> Releases() const;
    int BlocksInUse() const;
    int BadFrees() const;

  private:
    struct Block {
        std::unique_ptr<std::uint8_t[]> bytes;
        std::uint64_t size = 0;
    };

    mutable std::mutex mutex_;
    std::uint64_t limit_ = kSimHeapDefaultLimit;
    int failuresLeft_ = 0;
    std::vector<std::uint64_t> requests_;
    std::vector<SimHeapRelease> releases_;
    std::map<void*, Block> blocks_;
    int badFrees_ = 0;
};

}  // namespace kxp::sim::detail
