#include "platform/win32/Win32Process.h"

#include <windows.h>

namespace kxp::win32 {

namespace {

// The longest path the system accepts, in characters.
constexpr std::size_t kLongestPath = 32768;

}  // namespace

bool Win32Process::TrimWorkingSet() {
    return ::SetProcessWorkingSetSize(::GetCurrentProcess(), static_cast<SIZE_T>(-1),
                                      static_cast<SIZE_T>(-1)) != FALSE;
}

std::string Win32Process::ModuleFileName() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        // A result that fills the buffer was cut short.
        if (path.size() >= kLongestPath) return {};
        path.resize(path.size() * 2);
    }
}

void Win32Process::OutputDebugStringA(const std::string& text) {
    ::OutputDebugStringA(text.c_str());
}

bool Win32Process::SetPriorityClass(std::uint32_t priorityClass) {
    return ::SetPriorityClass(::GetCurrentProcess(), priorityClass) != FALSE;
}

void Win32Process::ExitProcess(std::uint32_t exitCode) {
    ::ExitProcess(exitCode);
}

}  // namespace kxp::win32
