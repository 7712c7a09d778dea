#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/NativeRecords.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32Process.h"
#include "platform/win32/Win32SystemInformation.h"

namespace kxp::win32 {
namespace {

using platform::SystemProcessInformation64;

TEST(Win32Clock, Sleep_AdvancesTheTickCount) {
    Win32Clock clock;
    const std::uint32_t before = clock.GetTickCount();
    clock.Sleep(50);
    // The tick count moves in steps of up to about 16 ms.
    EXPECT_GE(clock.GetTickCount() - before, 30u);
}

TEST(Win32SystemInformation, GlobalMemoryStatusEx_FillsThePhysicalFigures) {
    Win32SystemInformation system;
    platform::MemoryStatusEx status;
    ASSERT_TRUE(system.GlobalMemoryStatusEx(status));
    EXPECT_EQ(status.dwLength, 64u);
    EXPECT_GT(status.ullTotalPhys, 0u);
    EXPECT_LE(status.ullAvailPhys, status.ullTotalPhys);
    EXPECT_GT(status.ullTotalPageFile, 0u);
    EXPECT_LE(status.dwMemoryLoad, 100u);
}

TEST(Win32SystemInformation, GlobalMemoryStatusEx_RefusesAWrongLength) {
    Win32SystemInformation system;
    platform::MemoryStatusEx status;
    status.dwLength = 0;
    EXPECT_FALSE(system.GlobalMemoryStatusEx(status));
    EXPECT_EQ(status.ullTotalPhys, 0u);
}

TEST(Win32SystemInformation, NumberOfProcessors_IsAtLeastOne) {
    Win32SystemInformation system;
    EXPECT_GE(system.NumberOfProcessors(), 1u);
}

// Walks the process records, refusing any offset that leaves the buffer.
bool ListsProcess(const std::vector<std::uint8_t>& buffer, std::uint32_t length, DWORD pid) {
    std::size_t offset = 0;
    while (offset + sizeof(SystemProcessInformation64) <= length) {
        SystemProcessInformation64 record;
        std::memcpy(&record, buffer.data() + offset, sizeof record);
        if (record.UniqueProcessId == pid) return true;
        if (record.NextEntryOffset == 0) return false;
        offset += record.NextEntryOffset;
    }
    return false;
}

TEST(Win32SystemInformation, ProcessQuery_ShortBufferReportsTheLengthNeeded) {
    Win32SystemInformation system;
    std::vector<std::uint8_t> buffer(16);
    std::uint32_t needed = 0;
    EXPECT_EQ(system.NtQuerySystemInformation(platform::kSystemProcessInformation, buffer.data(),
                                              16, &needed),
              platform::kStatusInfoLengthMismatch);
    EXPECT_GT(needed, 16u);
}

TEST(Win32SystemInformation, ProcessQuery_ListsThisProcess) {
    Win32SystemInformation system;
    std::uint32_t needed = 0;
    system.NtQuerySystemInformation(platform::kSystemProcessInformation, nullptr, 0, &needed);
    // Room for processes started between the two calls.
    std::vector<std::uint8_t> buffer(needed + 65536);
    std::uint32_t length = 0;
    ASSERT_EQ(system.NtQuerySystemInformation(platform::kSystemProcessInformation, buffer.data(),
                                              static_cast<std::uint32_t>(buffer.size()), &length),
              platform::kStatusSuccess);
    ASSERT_LE(length, buffer.size());
    EXPECT_TRUE(ListsProcess(buffer, length, ::GetCurrentProcessId()));
}

TEST(Win32SystemInformation, ProcessorQuery_GivesOneRecordPerProcessor) {
    Win32SystemInformation system;
    const std::uint32_t count = system.NumberOfProcessors();
    std::vector<platform::SystemProcessorPerformanceInformation64> records(count);
    const auto size = static_cast<std::uint32_t>(records.size() * sizeof(records[0]));
    std::uint32_t length = 0;
    EXPECT_EQ(system.NtQuerySystemInformation(platform::kSystemProcessorPerformanceInformation,
                                              records.data(), size, &length),
              platform::kStatusSuccess);
    EXPECT_EQ(length, size);
}

TEST(Win32SystemInformation, Query_AcceptsNoReturnLengthAndReportsAnUnknownClass) {
    Win32SystemInformation system;
    std::vector<std::uint8_t> buffer(256);
    EXPECT_EQ(system.NtQuerySystemInformation(0xFFFF, buffer.data(), 256, nullptr),
              platform::kStatusInvalidInfoClass);
}

TEST(Win32Process, ModuleFileName_NamesThisExecutable) {
    Win32Process process;
    const std::string path = process.ModuleFileName();
    const std::string name = path.substr(path.find_last_of('\\') + 1);
    EXPECT_EQ(::lstrcmpiA(name.c_str(), "korvanel_tests.exe"), 0) << path;
    EXPECT_NE(::GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << path;
}

TEST(Win32Process, TrimWorkingSet_Succeeds) {
    Win32Process process;
    EXPECT_TRUE(process.TrimWorkingSet());
}

}  // namespace
}  // namespace kxp::win32
