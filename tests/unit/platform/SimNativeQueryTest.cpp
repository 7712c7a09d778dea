#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/sim/SimMachine.h"

namespace kxp::sim {
namespace {

using platform::kStatusInfoLengthMismatch;
using platform::kStatusInvalidInfoClass;
using platform::kStatusSuccess;

template <typename T>
T ReadAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

class SimNativeQueryTest : public ::testing::Test {
  protected:
    std::uint32_t Query(std::uint32_t cls, std::vector<std::uint8_t>& buffer,
                        std::uint32_t& returned) {
        return machine.platform().system.NtQuerySystemInformation(
            cls, buffer.data(), static_cast<std::uint32_t>(buffer.size()), &returned);
    }
    SimMachine machine;
};

TEST_F(SimNativeQueryTest, ProcessRecordsUseTheX64LayoutWithNamesInsideTheBuffer) {
    machine.SetProcesses({{0, std::nullopt, 7, 8}, {4, u"System", 0, 0}, {500, u"a.exe", 1, 2}});
    std::vector<std::uint8_t> buffer(4096);
    std::uint32_t returned = 0;
    ASSERT_EQ(Query(platform::kSystemProcessInformation, buffer, returned), kStatusSuccess);

    using Record = platform::SystemProcessInformation64;
    const auto base = reinterpret_cast<std::uintptr_t>(buffer.data());
    const auto idle = ReadAt<Record>(buffer, 0);
    EXPECT_EQ(idle.NextEntryOffset, sizeof(Record));
    EXPECT_EQ(idle.ImageName.Buffer, 0u);
    EXPECT_EQ(idle.UserTime, 7);
    EXPECT_EQ(idle.KernelTime, 8);

    const auto system = ReadAt<Record>(buffer, sizeof(Record));
    EXPECT_EQ(system.NextEntryOffset, sizeof(Record) + 16);  // 12 bytes of text + NUL, aligned
    EXPECT_EQ(system.UniqueProcessId, 4u);
    EXPECT_EQ(system.ImageName.Length, 12);
    EXPECT_EQ(system.ImageName.MaximumLength, 14);
    EXPECT_EQ(system.ImageName.Buffer, base + 2 * sizeof(Record));
    std::u16string name(6, u'\0');
    std::memcpy(name.data(), buffer.data() + 2 * sizeof(Record), 12);
    EXPECT_EQ(name, u"System");

    const std::size_t lastOffset = 2 * sizeof(Record) + 16;
    const auto last = ReadAt<Record>(buffer, lastOffset);
    EXPECT_EQ(last.NextEntryOffset, 0u);
    EXPECT_EQ(last.UniqueProcessId, 500u);
    EXPECT_EQ(returned, lastOffset + sizeof(Record) + 16);
}

TEST_F(SimNativeQueryTest, ShortBufferGetsLengthMismatchAndTheNeededSize) {
    machine.SetProcesses({{4, u"System", 0, 0}});
    const std::uint32_t needed = 256 + 16;
    std::vector<std::uint8_t> buffer(needed - 1, 0xAA);
    std::uint32_t returned = 0;
    EXPECT_EQ(Query(platform::kSystemProcessInformation, buffer, returned),
              kStatusInfoLengthMismatch);
    EXPECT_EQ(returned, needed);
    EXPECT_EQ(buffer[0], 0xAA);

    buffer.resize(needed);
    EXPECT_EQ(Query(platform::kSystemProcessInformation, buffer, returned), kStatusSuccess);
}

TEST_F(SimNativeQueryTest, EmptyProcessTableSucceedsWithNothingWritten) {
    std::vector<std::uint8_t> buffer(64);
    std::uint32_t returned = 99;
    EXPECT_EQ(Query(platform::kSystemProcessInformation, buffer, returned), kStatusSuccess);
    EXPECT_EQ(returned, 0u);
}

TEST_F(SimNativeQueryTest, RawProcessBufferIsServedVerbatimOrRelocated) {
    machine.SetRawProcessBuffer(std::vector<std::uint8_t>{1, 2, 3});
    std::vector<std::uint8_t> buffer(8);
    std::uint32_t returned = 0;
    EXPECT_EQ(Query(platform::kSystemProcessInformation, buffer, returned), kStatusSuccess);
    EXPECT_EQ(returned, 3u);
    EXPECT_EQ(buffer[2], 3);

    machine.SetRawProcessBuffer(SimMachine::ProcessBufferImage({{4, u"x", 0, 0}}));
    buffer.assign(512, 0);
    ASSERT_EQ(Query(platform::kSystemProcessInformation, buffer, returned), kStatusSuccess);
    const auto record = ReadAt<platform::SystemProcessInformation64>(buffer, 0);
    EXPECT_EQ(record.ImageName.Buffer, reinterpret_cast<std::uintptr_t>(buffer.data()) + 256);
}

TEST_F(SimNativeQueryTest, ProcessorRecordsCarryTheIdleTimes) {
    using Record = platform::SystemProcessorPerformanceInformation64;
    std::vector<std::uint8_t> buffer(10 * sizeof(Record));
    std::uint32_t returned = 0;
    machine.SetProcessorCount(3);
    EXPECT_EQ(Query(platform::kSystemProcessorPerformanceInformation, buffer, returned),
              kStatusSuccess);
    EXPECT_EQ(returned, 3 * sizeof(Record));

    machine.SetProcessorIdleTimes({100, 200});
    EXPECT_EQ(Query(platform::kSystemProcessorPerformanceInformation, buffer, returned),
              kStatusSuccess);
    EXPECT_EQ(returned, 2 * sizeof(Record));
    EXPECT_EQ(ReadAt<Record>(buffer, sizeof(Record)).IdleTime, 200);

    buffer.resize(sizeof(Record));
    EXPECT_EQ(Query(platform::kSystemProcessorPerformanceInformation, buffer, returned),
              kStatusInfoLengthMismatch);
}

TEST_F(SimNativeQueryTest, PageFilesAreUnknownUntilSet) {
    std::vector<std::uint8_t> buffer(1024);
    std::uint32_t returned = 0;
    EXPECT_EQ(Query(platform::kSystemPageFileInformation, buffer, returned),
              kStatusInvalidInfoClass);

    machine.SetPageFiles({});
    EXPECT_EQ(Query(platform::kSystemPageFileInformation, buffer, returned), kStatusSuccess);
    EXPECT_EQ(returned, 0u);

    machine.SetPageFiles({{100, 10}, {200, 20}});
    ASSERT_EQ(Query(platform::kSystemPageFileInformation, buffer, returned), kStatusSuccess);
    using Record = platform::SystemPageFileInformation64;
    const auto first = ReadAt<Record>(buffer, 0);
    EXPECT_EQ(first.TotalSize, 100u);
    EXPECT_EQ(first.TotalInUse, 10u);
    EXPECT_EQ(first.NextEntryOffset % 8, 0u);
    const auto second = ReadAt<Record>(buffer, first.NextEntryOffset);
    EXPECT_EQ(second.TotalInUse, 20u);
    EXPECT_EQ(second.NextEntryOffset, 0u);
}

TEST_F(SimNativeQueryTest, FileCacheRecordIsReadWholeAndSetsAreRecorded) {
    platform::SystemFileCacheInformation64 info{};
    info.CurrentSize = 42;
    machine.SetFileCache(info);
    std::vector<std::uint8_t> buffer(63);
    std::uint32_t returned = 0;
    EXPECT_EQ(Query(platform::kSystemFileCacheInformation, buffer, returned),
              kStatusInfoLengthMismatch);
    buffer.resize(64);
    EXPECT_EQ(Query(platform::kSystemFileCacheInformation, buffer, returned), kStatusSuccess);
    EXPECT_EQ(ReadAt<platform::SystemFileCacheInformation64>(buffer, 0).CurrentSize, 42u);

    EXPECT_FALSE(machine.LastFileCacheSet().has_value());
    info.MinimumWorkingSet = 1000;
    EXPECT_EQ(machine.platform().system.NtSetSystemInformation(
                  platform::kSystemFileCacheInformation, &info, sizeof info),
              kStatusSuccess);
    ASSERT_TRUE(machine.LastFileCacheSet().has_value());
    EXPECT_EQ(machine.LastFileCacheSet()->MinimumWorkingSet, 1000u);
}

TEST_F(SimNativeQueryTest, FailedClassReturnsTheChosenStatusUntilCleared) {
    std::vector<std::uint8_t> buffer(64);
    std::uint32_t returned = 0;
    machine.FailQuery(platform::kSystemFileCacheInformation, 0xC0000022);
    EXPECT_EQ(Query(platform::kSystemFileCacheInformation, buffer, returned), 0xC0000022);
    platform::SystemFileCacheInformation64 info{};
    EXPECT_EQ(machine.platform().system.NtSetSystemInformation(
                  platform::kSystemFileCacheInformation, &info, sizeof info),
              0xC0000022);
    EXPECT_EQ(Query(platform::kSystemProcessInformation, buffer, returned), kStatusSuccess);

    machine.FailQuery(platform::kSystemFileCacheInformation, kStatusSuccess);
    EXPECT_EQ(Query(platform::kSystemFileCacheInformation, buffer, returned), kStatusSuccess);
}

TEST_F(SimNativeQueryTest, QueriesAreCountedWithTheirLengths) {
    std::vector<std::uint8_t> buffer(100);
    std::uint32_t returned = 0;
    Query(platform::kSystemProcessInformation, buffer, returned);
    buffer.resize(200);
    Query(platform::kSystemProcessInformation, buffer, returned);
    EXPECT_EQ(Query(77, buffer, returned), kStatusInvalidInfoClass);

    EXPECT_EQ(machine.QueryCount(platform::kSystemProcessInformation), 2);
    EXPECT_EQ(machine.QueryLengths(platform::kSystemProcessInformation),
              (std::vector<std::uint32_t>{100, 200}));
    EXPECT_EQ(machine.QueryCount(platform::kSystemPageFileInformation), 0);
}

TEST_F(SimNativeQueryTest, MemoryStatusNeedsItsLengthAndComputesTheLoad) {
    machine.SetMemory(1000, 250, 3000, 2000);
    platform::MemoryStatusEx status{};
    ASSERT_TRUE(machine.platform().system.GlobalMemoryStatusEx(status));
    EXPECT_EQ(status.dwMemoryLoad, 75u);
    EXPECT_EQ(status.ullTotalPhys, 1000u);
    EXPECT_EQ(status.ullAvailPhys, 250u);
    EXPECT_EQ(status.ullTotalPageFile, 3000u);
    EXPECT_EQ(status.ullAvailPageFile, 2000u);

    platform::MemoryStatusEx unsized{};
    unsized.dwLength = 0;
    EXPECT_FALSE(machine.platform().system.GlobalMemoryStatusEx(unsized));
    EXPECT_EQ(unsized.ullTotalPhys, 0u);
}

TEST_F(SimNativeQueryTest, ProcessorCountDefaultsToOneAndMayBeZero) {
    EXPECT_EQ(machine.platform().system.NumberOfProcessors(), 1u);
    machine.SetProcessorCount(0);
    EXPECT_EQ(machine.platform().system.NumberOfProcessors(), 0u);
}

}  // namespace
}  // namespace kxp::sim
