// The per-processor record reader on any bytes and any claimed length.
#include <cstdint>
#include <cstring>
#include <vector>

#include "sysinfo/NativeRecordWalk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::uint32_t returned = 0;
    if (size >= sizeof returned) {
        std::memcpy(&returned, data, sizeof returned);
        data += sizeof returned;
        size -= sizeof returned;
    }
    const std::vector<std::uint8_t> buffer(data, data + size);
    const auto times = kxp::ReadProcessorTimes(buffer, returned);
    if (times.size() * 48 > buffer.size()) __builtin_trap();
    return 0;
}
