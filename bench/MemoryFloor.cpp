// The floor for the idle measurement: the least a memory monitor must do. Once a second it samples
// the memory status and the process list (native query, class 5) and nothing else.
//
//   MemoryFloor [seconds]     runs for that many seconds, or until killed when absent or 0
#include <windows.h>
#include <winternl.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr ULONG kProcessInformationClass = 5;
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);

// Grows the buffer as the query asks, as a monitor that keeps its buffer between samples would.
bool SampleProcesses(std::vector<std::uint8_t>& buffer) {
    if (buffer.empty()) buffer.resize(64 * 1024);
    for (int attempt = 0; attempt < 8; ++attempt) {
        ULONG needed = 0;
        const NTSTATUS status = NtQuerySystemInformation(
            static_cast<SYSTEM_INFORMATION_CLASS>(kProcessInformationClass), buffer.data(),
            static_cast<ULONG>(buffer.size()), &needed);
        if (status != kInfoLengthMismatch) return status >= 0;
        buffer.resize(needed > buffer.size() ? needed + 16 * 1024 : buffer.size() * 2);
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    const unsigned long seconds = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 0;
    std::vector<std::uint8_t> buffer;
    unsigned long failures = 0;
    for (unsigned long pass = 0; seconds == 0 || pass < seconds; ++pass) {
        MEMORYSTATUSEX status{};
        status.dwLength = sizeof(status);
        if (!GlobalMemoryStatusEx(&status)) ++failures;
        if (!SampleProcesses(buffer)) ++failures;
        Sleep(1000);
    }
    std::printf("%lu failed samples\n", failures);
    return failures == 0 ? 0 : 1;
}
