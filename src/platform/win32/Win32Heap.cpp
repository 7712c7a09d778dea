#include "platform/win32/Win32Heap.h"

#include <windows.h>

#include <limits>

namespace kxp::win32 {

void* Win32Heap::HeapAlloc(std::uint64_t bytes) {
    // Without HEAP_GENERATE_EXCEPTIONS a refused block is a null result, never a raised exception.
    if constexpr (sizeof(SIZE_T) < sizeof(std::uint64_t)) {
        if (bytes > std::numeric_limits<SIZE_T>::max()) return nullptr;
    }
    return ::HeapAlloc(::GetProcessHeap(), 0, static_cast<SIZE_T>(bytes));
}

void Win32Heap::HeapFree(void* block) {
    if (block != nullptr) ::HeapFree(::GetProcessHeap(), 0, block);
}

}  // namespace kxp::win32
