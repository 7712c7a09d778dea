// Careful readers of the records NtQuerySystemInformation returns. The bytes come from outside the
// service, so nothing is trusted: a record is read only when it lies wholly inside the valid bytes,
// a chain ends at the first link that does not lead to a further whole record, and a name is read
// only when its text lies wholly inside the buffer.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace kxp {

struct ProcessRecord {
    bool nullName = false;     // a null name pointer: the idle process
    std::u16string imageName;  // empty for a null name or one that cannot be read safely
    std::uint32_t processId = 0;
    std::int64_t userTime = 0;  // 100 ns units
    std::int64_t kernelTime = 0;
};

// One processor's times from its performance record (class 8), 100 ns units. Kernel time includes
// idle time.
struct ProcessorTimes {
    std::int64_t idle = 0;
    std::int64_t kernel = 0;
    std::int64_t user = 0;
};

// The whole per-processor records among the first returnedLength bytes of the buffer (all of it
// when the length claims more than the buffer holds), in processor order.
std::vector<ProcessorTimes> ReadProcessorTimes(std::span<const std::uint8_t> buffer,
                                               std::uint32_t returnedLength);

// Calls visit for each process record (class 5), in list order.
void WalkProcessRecords(std::span<const std::uint8_t> bytes,
                        const std::function<void(const ProcessRecord&)>& visit);

// The pages in use of every paging file (class 18), times the page size of 4096, in 64 bits so
// that the sum does not wrap at 4 GB.
std::uint64_t PageFileBytesInUse(std::span<const std::uint8_t> bytes);

// Image names are compared with the product's fixed names ignoring ASCII case.
bool NameEquals(std::u16string_view name, std::string_view asciiName);

}  // namespace kxp
