#include <gtest/gtest.h>

#include <cstring>

#include "platform/sim/SimMachine.h"

namespace kxp::sim {
namespace {

TEST(SimHeap, RecordsEveryRequestAndRefusesThoseAboveTheLimit) {
    SimMachine sim;
    sim.SetHeapLimit(4096);
    auto& heap = sim.platform().heap;
    void* small = heap.HeapAlloc(4096);
    EXPECT_NE(small, nullptr);
    EXPECT_EQ(heap.HeapAlloc(4097), nullptr);
    EXPECT_EQ(heap.HeapAlloc(~std::uint64_t{0}), nullptr);
    EXPECT_EQ(sim.HeapRequests(), (std::vector<std::uint64_t>{4096, 4097, ~std::uint64_t{0}}));
    EXPECT_EQ(sim.HeapBlocksInUse(), 1);
    heap.HeapFree(small);
    EXPECT_EQ(sim.HeapBlocksInUse(), 0);
}

TEST(SimHeap, NewHeapGrantsOnlyEmptyBlocks) {
    SimMachine sim;
    auto& heap = sim.platform().heap;
    EXPECT_EQ(heap.HeapAlloc(1), nullptr);
    void* empty = heap.HeapAlloc(0);
    EXPECT_NE(empty, nullptr);
    heap.HeapFree(empty);
}

TEST(SimHeap, FailedRequestsFailWhateverTheirSizeThenRequestsSucceedAgain) {
    SimMachine sim;
    sim.SetHeapLimit(1);
    sim.FailHeapRequests(2);
    auto& heap = sim.platform().heap;
    EXPECT_EQ(heap.HeapAlloc(1), nullptr);
    EXPECT_EQ(heap.HeapAlloc(1), nullptr);
    void* block = heap.HeapAlloc(1);
    EXPECT_NE(block, nullptr);
    heap.HeapFree(block);
}

TEST(SimHeap, ReleaseTellsTheByteEveryByteHeld) {
    SimMachine sim;
    sim.SetHeapLimit(1000);
    auto& heap = sim.platform().heap;
    void* uniform = heap.HeapAlloc(1000);
    void* mixed = heap.HeapAlloc(1000);
    void* empty = heap.HeapAlloc(0);
    ASSERT_NE(uniform, nullptr);
    ASSERT_NE(mixed, nullptr);
    ASSERT_NE(empty, nullptr);
    std::memset(uniform, 37, 1000);
    std::memset(mixed, 37, 1000);
    static_cast<unsigned char*>(mixed)[999] = 36;
    heap.HeapFree(uniform);
    heap.HeapFree(mixed);
    heap.HeapFree(empty);
    const auto releases = sim.HeapReleases();
    ASSERT_EQ(releases.size(), 3u);
    EXPECT_EQ(releases[0].size, 1000u);
    EXPECT_EQ(releases[0].uniformByte, std::optional<std::uint8_t>(37));
    EXPECT_EQ(releases[1].uniformByte, std::nullopt);
    EXPECT_EQ(releases[2].size, 0u);
    EXPECT_EQ(releases[2].uniformByte, std::nullopt);
}

TEST(SimHeap, FreeingAnUnknownAddressIsCountedAndNullIsIgnored) {
    SimMachine sim;
    int local = 0;
    sim.platform().heap.HeapFree(&local);
    sim.platform().heap.HeapFree(nullptr);
    EXPECT_EQ(sim.HeapBadFrees(), 1);
    EXPECT_TRUE(sim.HeapReleases().empty());
}

}  // namespace
}  // namespace kxp::sim
