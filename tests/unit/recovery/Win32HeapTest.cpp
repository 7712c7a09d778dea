// The real process heap, run under Wine by the Windows build's tests.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "platform/win32/Win32Heap.h"

namespace kxp::win32 {
namespace {

TEST(Win32Heap, SmallBlockCanBeWrittenInFullAndFreed) {
    Win32Heap heap;
    void* block = heap.HeapAlloc(1 << 20);
    ASSERT_NE(block, nullptr);
    std::memset(block, 37, 1 << 20);
    EXPECT_EQ(static_cast<unsigned char*>(block)[(1 << 20) - 1], 37);
    heap.HeapFree(block);
}

TEST(Win32Heap, BlocksBeyondTheAddressSpaceFailWithoutEndingTheProcess) {
    Win32Heap heap;
    for (const std::uint64_t bytes :
         {~std::uint64_t{0}, std::uint64_t{1} << 63, std::uint64_t{1} << 62}) {
        EXPECT_EQ(heap.HeapAlloc(bytes), nullptr) << bytes;
    }
}

TEST(Win32Heap, FreeingNullDoesNothing) {
    Win32Heap heap;
    heap.HeapFree(nullptr);
    void* block = heap.HeapAlloc(16);
    EXPECT_NE(block, nullptr);
    heap.HeapFree(block);
}

}  // namespace
}  // namespace kxp::win32
