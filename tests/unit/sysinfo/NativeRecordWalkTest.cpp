#include <cstddef>
#include <cstring>
#include <random>
#include <vector>

#include "SamplerFixture.h"
#include "platform/NativeRecords.h"
#include "sysinfo/NativeRecordWalk.h"

namespace kxp::testing {
namespace {

using platform::SystemProcessInformation64;
using platform::UnicodeString64;

constexpr std::size_t kNameField =
    offsetof(SystemProcessInformation64, ImageName) + offsetof(UnicodeString64, Buffer);
constexpr std::size_t kNameLength = offsetof(SystemProcessInformation64, ImageName);

// A process-query answer placed in memory as the kernel leaves it: name addresses point into it.
struct PlacedAnswer {
    std::vector<std::uint8_t> bytes;

    explicit PlacedAnswer(const std::vector<sim::SimProcess>& processes) {
        const sim::SimRawProcessBuffer image = sim::SimMachine::ProcessBufferImage(processes);
        bytes = image.bytes;
        for (std::uint32_t field : image.addressFields) {
            Put<std::uint64_t>(field, Get<std::uint64_t>(field) + Base());
        }
    }
    std::uint64_t Base() const { return reinterpret_cast<std::uintptr_t>(bytes.data()); }
    template <typename T>
    T Get(std::size_t offset) const {
        T value;
        std::memcpy(&value, bytes.data() + offset, sizeof value);
        return value;
    }
    template <typename T>
    void Put(std::size_t offset, T value) {
        std::memcpy(bytes.data() + offset, &value, sizeof value);
    }
    std::vector<ProcessRecord> Walk(std::size_t validLength) const {
        std::vector<ProcessRecord> records;
        WalkProcessRecords(std::span(bytes.data(), validLength),
                           [&](const ProcessRecord& record) { records.push_back(record); });
        return records;
    }
    std::vector<ProcessRecord> Walk() const { return Walk(bytes.size()); }
};

const std::vector<sim::SimProcess> kThreeProcesses = {
    IdleProcess(11, 12), NamedProcess(4, u"System", 21, 22), NamedProcess(88, u"explorer.exe")};

TEST(NativeRecordWalk, WellFormedAnswerGivesEveryRecordInOrder) {
    const auto records = PlacedAnswer(kThreeProcesses).Walk();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_TRUE(records[0].nullName);
    EXPECT_EQ(records[0].kernelTime, 11);
    EXPECT_EQ(records[0].userTime, 12);
    EXPECT_FALSE(records[1].nullName);
    EXPECT_EQ(records[1].imageName, u"System");
    EXPECT_EQ(records[1].processId, 4u);
    EXPECT_EQ(records[2].imageName, u"explorer.exe");
    EXPECT_EQ(records[2].processId, 88u);
}

TEST(NativeRecordWalk, EmptyOrShortBufferGivesNoRecord) {
    const PlacedAnswer answer(kThreeProcesses);
    EXPECT_TRUE(answer.Walk(0).empty());
    EXPECT_TRUE(answer.Walk(sizeof(SystemProcessInformation64) - 1).empty());
}

struct BadLinkCase {
    const char* what;
    std::uint32_t nextEntryOffset;
};

void PrintTo(const BadLinkCase& c, std::ostream* out) {
    *out << c.what;
}

class BadLinkTest : public ::testing::TestWithParam<BadLinkCase> {};

TEST_P(BadLinkTest, WalkStopsAfterTheRecordWithTheBadLink) {
    PlacedAnswer answer(kThreeProcesses);
    answer.Put<std::uint32_t>(0, GetParam().nextEntryOffset);
    EXPECT_EQ(answer.Walk().size(), 1u) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(Links, BadLinkTest,
                         ::testing::Values(BadLinkCase{"past the end", 0x7FFFFFF8},
                                           BadLinkCase{"shorter than a record", 8},
                                           BadLinkCase{"one short of a record", 248}));

TEST(NativeRecordWalk, LinksThatAreNotMultiplesOfEightAreFollowed) {
    // Wine packs its records without aligning them: here two bytes after each one.
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> starts;
    std::vector<std::pair<std::size_t, std::size_t>> nameFields;  // field, its record's start
    for (const auto& process : kThreeProcesses) {
        const sim::SimRawProcessBuffer image = sim::SimMachine::ProcessBufferImage({process});
        const std::size_t start = bytes.size();
        starts.push_back(start);
        bytes.insert(bytes.end(), image.bytes.begin(), image.bytes.end());
        bytes.resize(bytes.size() + 2, 0);
        for (std::uint32_t field : image.addressFields)
            nameFields.emplace_back(start + field, start);
    }
    const auto base = reinterpret_cast<std::uintptr_t>(bytes.data());
    for (const auto& [field, start] : nameFields) {
        std::uint64_t address = 0;
        std::memcpy(&address, bytes.data() + field, sizeof address);
        address += base + start;
        std::memcpy(bytes.data() + field, &address, sizeof address);
    }
    for (std::size_t i = 0; i + 1 < starts.size(); ++i) {
        const auto next = static_cast<std::uint32_t>(starts[i + 1] - starts[i]);
        ASSERT_NE(next % 8, 0u);
        std::memcpy(bytes.data() + starts[i], &next, sizeof next);
    }

    std::vector<ProcessRecord> records;
    WalkProcessRecords(bytes, [&](const ProcessRecord& record) { records.push_back(record); });
    ASSERT_EQ(records.size(), 3u);
    EXPECT_TRUE(records[0].nullName);
    EXPECT_EQ(records[1].imageName, u"System");
    EXPECT_EQ(records[2].imageName, u"explorer.exe");
    EXPECT_EQ(records[2].processId, 88u);
}

TEST(NativeRecordWalk, RecordCutByTheValidLengthIsNotRead) {
    const PlacedAnswer answer(kThreeProcesses);
    const std::uint32_t first = answer.Get<std::uint32_t>(0);
    const std::uint32_t second = answer.Get<std::uint32_t>(first);
    EXPECT_EQ(answer.Walk(first + second + sizeof(SystemProcessInformation64) - 1).size(), 2u);
}

struct BadNameCase {
    const char* what;
    std::int64_t addressFromRecord;  // relative to the second record's start
    std::uint16_t length;
};

void PrintTo(const BadNameCase& c, std::ostream* out) {
    *out << c.what;
}

class BadNameTest : public ::testing::TestWithParam<BadNameCase> {};

TEST_P(BadNameTest, UnreadableNameIsEmptyButNotTheIdleProcess) {
    PlacedAnswer answer(kThreeProcesses);
    const std::uint32_t second = answer.Get<std::uint32_t>(0);
    answer.Put<std::uint64_t>(second + kNameField,
                              answer.Base() + second + GetParam().addressFromRecord);
    answer.Put<std::uint16_t>(second + kNameLength, GetParam().length);

    const auto records = answer.Walk();
    ASSERT_EQ(records.size(), 3u) << GetParam().what;
    EXPECT_FALSE(records[1].nullName) << GetParam().what;
    EXPECT_TRUE(records[1].imageName.empty()) << GetParam().what;
    EXPECT_EQ(records[2].imageName, u"explorer.exe") << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(Names, BadNameTest,
                         ::testing::Values(BadNameCase{"odd length", 256, 11},
                                           BadNameCase{"before the buffer", -0x10000, 12},
                                           BadNameCase{"far past the end", 0x10000000, 12},
                                           BadNameCase{"running past the end", 256, 0xFFFE}));

TEST(NativeRecordWalk, NameAddressBeyondTheAddressSpaceIsEmpty) {
    PlacedAnswer answer(kThreeProcesses);
    const std::uint32_t second = answer.Get<std::uint32_t>(0);
    answer.Put<std::uint64_t>(second + kNameField, ~std::uint64_t{0});
    EXPECT_TRUE(answer.Walk()[1].imageName.empty());
}

TEST(NativeRecordWalk, PageFileChainSumsInUsePagesIn64Bits) {
    std::vector<std::uint8_t> bytes(3 * sizeof(platform::SystemPageFileInformation64));
    for (std::uint32_t i = 0; i < 3; ++i) {
        platform::SystemPageFileInformation64 record{};
        record.NextEntryOffset = i < 2 ? sizeof record : 0;
        record.TotalInUse = 0x80000000u;
        std::memcpy(bytes.data() + i * sizeof record, &record, sizeof record);
    }
    EXPECT_EQ(PageFileBytesInUse(bytes), 3 * std::uint64_t{0x80000000u} * 4096);
    // A link back into the chain's own first record ends it.
    bytes[0] = 8;
    EXPECT_EQ(PageFileBytesInUse(bytes), std::uint64_t{0x80000000u} * 4096);
    EXPECT_EQ(PageFileBytesInUse(std::span(bytes.data(), 31)), 0u);
}

TEST(NativeRecordWalk, NamesCompareIgnoringAsciiCase) {
    EXPECT_TRUE(NameEquals(u"CPUIDLE.exe", "cpuidle.exe"));
    EXPECT_FALSE(NameEquals(u"cpuidle.ex", "cpuidle.exe"));
    EXPECT_FALSE(NameEquals(u"cpuidle.exf", "cpuidle.exe"));
    EXPECT_FALSE(NameEquals(u"cpu\u0130dle.exe", "cpuidle.exe"));
}

TEST_F(SamplerTest, UnreadableIdleNameFallsBackToTheProcessorIdleTimes) {
    sim::SimRawProcessBuffer raw = sim::SimMachine::ProcessBufferImage(
        {NamedProcess(8, u"cpuidle.exe", 777 * kIdleUnitsPerMs)});
    raw.bytes[kNameLength] = 11;  // odd length: the name cannot be trusted
    machine.SetRawProcessBuffer(raw);
    machine.SetProcessorIdleTimes({0});
    Sampler().ScanProcesses(false, false);
    machine.platform().clock.Sleep(1000);
    machine.SetProcessorIdleTimes({330 * kIdleUnitsPerMs});
    Sampler().ScanProcesses(false, false);

    EXPECT_EQ(Sampler().CpuIdleAll, 33);
}

TEST_F(SamplerTest, EmptyProcessAnswerStillGivesAFigure) {
    machine.SetRawProcessBuffer(std::vector<std::uint8_t>{});
    machine.SetProcessorIdleTimes({0});
    Sampler().ScanProcesses(false, false);
    machine.platform().clock.Sleep(1000);
    machine.SetProcessorIdleTimes({1000 * kIdleUnitsPerMs});
    Sampler().ScanProcesses(false, false);

    EXPECT_EQ(Sampler().CpuIdleAll, 100);
}

TEST_F(SamplerTest, NamePointersOutsideTheBufferAreNotFollowed) {
    // Raw bytes as laid out at address 0: the name addresses lie outside the caller's buffer.
    const auto answer = [](std::int64_t idle, std::int64_t cpuIdle) {
        return sim::SimMachine::ProcessBufferImage(
                   {IdleProcess(idle), NamedProcess(8, u"cpuidle.exe", cpuIdle)})
            .bytes;
    };
    machine.SetRawProcessBuffer(answer(0, 0));
    Sampler().ScanProcesses(false, false);
    machine.platform().clock.Sleep(1000);
    machine.SetRawProcessBuffer(answer(100 * kIdleUnitsPerMs, 500 * kIdleUnitsPerMs));
    Sampler().ScanProcesses(false, false);

    EXPECT_EQ(Sampler().CpuIdleAll, 10);
}

TEST_F(SamplerTest, RandomProcessAnswersNeitherCrashNorHang) {
    std::mt19937 random(1234);
    const sim::SimRawProcessBuffer good = sim::SimMachine::ProcessBufferImage(kThreeProcesses);
    for (int round = 0; round < 200; ++round) {
        sim::SimRawProcessBuffer raw = good;
        raw.bytes.resize(random() % (good.bytes.size() + 64));
        for (int flips = 0; flips < 8 && !raw.bytes.empty(); ++flips) {
            raw.bytes[random() % raw.bytes.size()] = static_cast<std::uint8_t>(random());
        }
        machine.SetRawProcessBuffer(raw);
        machine.platform().clock.Sleep(1000);
        Sampler().ScanProcesses(false, false);
    }
    EXPECT_NE(Sampler().CpuIdleAll, -1);
}

}  // namespace
}  // namespace kxp::testing
