#include "platform/sim/SimNativeImages.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

#include "platform/NativeRecords.h"

namespace kxp::sim::detail {
namespace {

constexpr std::size_t AlignUp8(std::size_t size) {
    return (size + 7) & ~std::size_t{7};
}

// The longest text a UNICODE_STRING can describe, leaving room for the terminator.
constexpr std::size_t kMaxNameChars = 0x7FFE;

struct PlacedName {
    platform::UnicodeString64 field{};
    std::size_t spaceUsed = 0;  // bytes after the record, aligned
};

// Writes text with its terminator at offset and describes it, the address being the offset.
PlacedName AppendName(std::vector<std::uint8_t>& bytes, std::size_t offset,
                      const std::u16string& text) {
    const std::size_t chars = std::min(text.size(), kMaxNameChars);
    const std::size_t textBytes = chars * sizeof(char16_t);
    PlacedName placed;
    placed.spaceUsed = AlignUp8(textBytes + sizeof(char16_t));
    bytes.resize(offset + placed.spaceUsed, 0);
    std::memcpy(bytes.data() + offset, text.data(), textBytes);
    placed.field.Length = static_cast<std::uint16_t>(textBytes);
    placed.field.MaximumLength = static_cast<std::uint16_t>(textBytes + sizeof(char16_t));
    placed.field.Buffer = offset;
    return placed;
}

template <typename Record>
void WriteRecord(std::vector<std::uint8_t>& bytes, std::size_t offset, const Record& record) {
    std::memcpy(bytes.data() + offset, &record, sizeof record);
}

// Links each record to the next; the last one keeps 0.
template <typename Record>
void LinkRecords(std::vector<std::uint8_t>& bytes, const std::vector<std::size_t>& starts) {
    for (std::size_t i = 0; i + 1 < starts.size(); ++i) {
        const auto next = static_cast<std::uint32_t>(starts[i + 1] - starts[i]);
        std::memcpy(bytes.data() + starts[i] + offsetof(Record, NextEntryOffset), &next,
                    sizeof next);
    }
}

}  // namespace

SimRawProcessBuffer ProcessImage(const std::vector<SimProcess>& processes) {
    using Record = platform::SystemProcessInformation64;
    SimRawProcessBuffer image;
    std::vector<std::size_t> starts;
    for (const SimProcess& process : processes) {
        const std::size_t start = image.bytes.size();
        starts.push_back(start);
        image.bytes.resize(start + sizeof(Record), 0);
        Record record{};
        record.UserTime = process.userTime;
        record.KernelTime = process.kernelTime;
        record.UniqueProcessId = process.pid;
        if (process.imageName) {
            record.ImageName =
                AppendName(image.bytes, start + sizeof(Record), *process.imageName).field;
            image.addressFields.push_back(static_cast<std::uint32_t>(
                start + offsetof(Record, ImageName) + offsetof(platform::UnicodeString64, Buffer)));
        }
        WriteRecord(image.bytes, start, record);
    }
    LinkRecords<Record>(image.bytes, starts);
    return image;
}

SimRawProcessBuffer PageFileImage(const std::vector<SimPageFile>& pageFiles) {
    using Record = platform::SystemPageFileInformation64;
    SimRawProcessBuffer image;
    std::vector<std::size_t> starts;
    char16_t drive = u'C';
    for (const SimPageFile& pageFile : pageFiles) {
        const std::size_t start = image.bytes.size();
        starts.push_back(start);
        image.bytes.resize(start + sizeof(Record), 0);
        Record record{};
        record.TotalSize = pageFile.totalPages;
        record.TotalInUse = pageFile.pagesInUse;
        record.PeakUsage = pageFile.pagesInUse;
        const std::u16string name = u"\\??\\" + std::u16string(1, drive++) + u":\\pagefile.sys";
        record.PageFileName = AppendName(image.bytes, start + sizeof(Record), name).field;
        image.addressFields.push_back(static_cast<std::uint32_t>(
            start + offsetof(Record, PageFileName) + offsetof(platform::UnicodeString64, Buffer)));
        WriteRecord(image.bytes, start, record);
    }
    LinkRecords<Record>(image.bytes, starts);
    return image;
}

void PlaceImage(const SimRawProcessBuffer& image, std::uint8_t* buffer) {
    if (image.bytes.empty()) return;
    std::memcpy(buffer, image.bytes.data(), image.bytes.size());
    const auto base = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(buffer));
    for (std::uint32_t field : image.addressFields) {
        if (field > image.bytes.size() || image.bytes.size() - field < sizeof(std::uint64_t)) {
            continue;
        }
        std::uint64_t address = 0;
        std::memcpy(&address, buffer + field, sizeof address);
        address += base;
        std::memcpy(buffer + field, &address, sizeof address);
    }
}

}  // namespace kxp::sim::detail
