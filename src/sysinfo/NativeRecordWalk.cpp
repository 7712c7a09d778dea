#include "sysinfo/NativeRecordWalk.h"

#include <algorithm>
#include <cstring>

#include "platform/NativeRecords.h"

namespace kxp {
namespace {

constexpr std::uint64_t kPageSize = 4096;

// Walks a chain of records linked by NextEntryOffset. A link of 0 ends it, as does a link shorter
// than a record (which could revisit bytes already read); each step moves on by at least one
// record, so the walk always ends. A link need not be a multiple of 8: Wine packs its process
// records without aligning them, and each record is copied out before it is read.
template <typename Record, typename Visit>
void WalkChain(std::span<const std::uint8_t> bytes, Visit visit) {
    std::size_t offset = 0;
    while (offset <= bytes.size() && bytes.size() - offset >= sizeof(Record)) {
        Record record;
        std::memcpy(&record, bytes.data() + offset, sizeof record);
        visit(record);
        const std::uint32_t next = record.NextEntryOffset;
        if (next == 0 || next < sizeof(Record)) return;
        offset += next;
    }
}

// The text of a name when it lies wholly inside bytes; empty otherwise, or when its length is odd.
std::u16string ReadName(std::span<const std::uint8_t> bytes,
                        const platform::UnicodeString64& name) {
    const auto base = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(bytes.data()));
    if (name.Length % 2 != 0 || name.Buffer < base) return {};
    const std::uint64_t offset = name.Buffer - base;
    if (offset > bytes.size() || bytes.size() - offset < name.Length) return {};
    std::u16string text(name.Length / sizeof(char16_t), u'\0');
    std::memcpy(text.data(), bytes.data() + offset, name.Length);
    return text;
}

}  // namespace

void WalkProcessRecords(std::span<const std::uint8_t> bytes,
                        const std::function<void(const ProcessRecord&)>& visit) {
    WalkChain<platform::SystemProcessInformation64>(
        bytes, [&](const platform::SystemProcessInformation64& record) {
            ProcessRecord process;
            process.nullName = record.ImageName.Buffer == 0;
            if (!process.nullName) process.imageName = ReadName(bytes, record.ImageName);
            process.processId = static_cast<std::uint32_t>(record.UniqueProcessId);
            process.userTime = record.UserTime;
            process.kernelTime = record.KernelTime;
            visit(process);
        });
}

std::vector<ProcessorTimes> ReadProcessorTimes(std::span<const std::uint8_t> buffer,
                                               std::uint32_t returnedLength) {
    using Record = platform::SystemProcessorPerformanceInformation64;
    const std::size_t valid = std::min<std::size_t>(returnedLength, buffer.size());
    std::vector<ProcessorTimes> times(valid / sizeof(Record));
    for (std::size_t i = 0; i < times.size(); ++i) {
        Record record;
        std::memcpy(&record, buffer.data() + i * sizeof(Record), sizeof record);
        times[i] = {record.IdleTime, record.KernelTime, record.UserTime};
    }
    return times;
}

std::uint64_t PageFileBytesInUse(std::span<const std::uint8_t> bytes) {
    std::uint64_t total = 0;
    WalkChain<platform::SystemPageFileInformation64>(
        bytes, [&](const platform::SystemPageFileInformation64& record) {
            total += record.TotalInUse * kPageSize;
        });
    return total;
}

bool NameEquals(std::u16string_view name, std::string_view asciiName) {
    if (name.size() != asciiName.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char16_t c = name[i];
        const char16_t lower = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
        const char ascii = asciiName[i];
        const char asciiLower =
            (ascii >= 'A' && ascii <= 'Z') ? static_cast<char>(ascii + 32) : ascii;
        if (lower != static_cast<unsigned char>(asciiLower)) return false;
    }
    return true;
}

}  // namespace kxp
