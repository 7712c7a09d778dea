#include "platform/sim/SimHeap.h"

#include <algorithm>
#include <cstring>

namespace kxp::sim::detail {

void* SimHeap::HeapAlloc(std::uint64_t bytes) {
    std::lock_guard lock(mutex_);
    requests_.push_back(bytes);
    if (failuresLeft_ > 0) {
        --failuresLeft_;
        return nullptr;
    }
    if (bytes > limit_) return nullptr;
    // One byte at least, so that a block of size 0 still has an address of its own, as on Windows.
    auto memory = std::make_unique_for_overwrite<std::uint8_t[]>(std::max<std::uint64_t>(bytes, 1));
    void* address = memory.get();
    blocks_.emplace(address, Block{std::move(memory), bytes});
    return address;
}

void SimHeap::HeapFree(void* block) {
    if (block == nullptr) return;
    std::lock_guard lock(mutex_);
    const auto found = blocks_.find(block);
    if (found == blocks_.end()) {
        ++badFrees_;
        return;
    }
    const std::uint8_t* bytes = found->second.bytes.get();
    const std::uint64_t size = found->second.size;
    SimHeapRelease release{size, std::nullopt};
    // Every byte equals the first when the block equals itself shifted by one.
    if (size > 0 && std::memcmp(bytes, bytes + 1, size - 1) == 0) release.uniformByte = bytes[0];
    releases_.push_back(release);
    blocks_.erase(found);
}

void SimHeap::SetLimit(std::uint64_t bytes) {
    std::lock_guard lock(mutex_);
    limit_ = bytes;
}

void SimHeap::FailRequests(int count) {
    std::lock_guard lock(mutex_);
    failuresLeft_ = count;
}

std::vector<std::uint64_t> SimHeap::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::vector<SimHeapRelease> SimHeap::Releases() const {
    std::lock_guard lock(mutex_);
    return releases_;
}

int SimHeap::BlocksInUse() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(blocks_.size());
}

int SimHeap::BadFrees() const {
    std::lock_guard lock(mutex_);
    return badFrees_;
}

}  // namespace kxp::sim::detail
