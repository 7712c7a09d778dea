// A small client of the service control manager for the Wine runs, where "sc control" cannot send
// user-defined codes.
//
//   ControlSender <service> <code>               ControlService with that code (e.g. 129, or 4 to
//                                                interrogate)
//   ControlSender <service> state                prints the current state (RUNNING, STOPPED...)
//   ControlSender <service> start                StartService
//   ControlSender <service> stop <timeout ms>    asks the service to stop, waits for STOPPED and
//                                                prints "stopped after N ms", then the stop-pending
//                                                checkpoints it saw ("checkpoints: 1 2")
//   ControlSender <service> flood <count> <seed>  sends count user codes 128-255 (never 133, 136 or
//                                                137) in random order as fast as it can, an
//                                                INTERROGATE every 100 codes, and 129 last; prints
//                                                "sent N codes in M ms, I interrogations answered"
//   ControlSender <service> wait <STATE> <timeout ms>
//                                                waits until the service is in that state
//   ControlSender <service> hotkey <modifiers> <key code>
//                                                tries to register that system-wide hot key (for
//                                                this thread, given back at once) and prints
//                                                "registered"; the service is not asked
//
// Exit code 0 on success; 1 when a call fails (its error is printed); 2 for bad arguments; 3 when a
// wait times out.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/UniqueHandle.h"

namespace {

struct ServiceHandleCloser {
    void operator()(SC_HANDLE handle) const { CloseServiceHandle(handle); }
};
using unique_sc_handle = kxp::unique_handle<SC_HANDLE, ServiceHandleCloser>;

constexpr int kFailed = 1;
constexpr int kUsage = 2;
constexpr int kTimedOut = 3;

struct StateName {
    DWORD state;
    const char* name;
};
constexpr StateName kStateNames[] = {
    {SERVICE_STOPPED, "STOPPED"},
    {SERVICE_START_PENDING, "START_PENDING"},
    {SERVICE_STOP_PENDING, "STOP_PENDING"},
    {SERVICE_RUNNING, "RUNNING"},
    {SERVICE_CONTINUE_PENDING, "CONTINUE_PENDING"},
    {SERVICE_PAUSE_PENDING, "PAUSE_PENDING"},
    {SERVICE_PAUSED, "PAUSED"},
};

const char* NameOfState(DWORD state) {
    for (const auto& entry : kStateNames) {
        if (entry.state == state) return entry.name;
    }
    return "UNKNOWN";
}

std::optional<DWORD> StateOfName(std::string_view name) {
    for (const auto& entry : kStateNames) {
        if (name == entry.name) return entry.state;
    }
    return std::nullopt;
}

std::optional<unsigned long> ParseNumber(const char* text) {
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 10);
    if (end == text || *end != '\0') return std::nullopt;
    return value;
}

int Fail(const char* what) {
    std::fprintf(stderr, "%s failed: error %lu\n", what, GetLastError());
    return kFailed;
}

std::optional<DWORD> QueryState(SC_HANDLE service) {
    SERVICE_STATUS status{};
    if (!QueryServiceStatus(service, &status)) return std::nullopt;
    return status.dwCurrentState;
}

// Polls every 10 ms; prints how long it took. The clock starts at the caller's request. The
// checkpoints of the stop-pending reports seen on the way are collected when asked for.
int WaitForState(SC_HANDLE service, DWORD wanted, unsigned long timeoutMs,
                 std::chrono::steady_clock::time_point since, const char* verb,
                 std::vector<DWORD>* checkpoints = nullptr) {
    const auto deadline = since + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        SERVICE_STATUS status{};
        if (!QueryServiceStatus(service, &status)) return Fail("QueryServiceStatus");
        if (checkpoints != nullptr && status.dwCurrentState == SERVICE_STOP_PENDING &&
            (checkpoints->empty() || checkpoints->back() != status.dwCheckPoint)) {
            checkpoints->push_back(status.dwCheckPoint);
        }
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - since);
        if (status.dwCurrentState == wanted) {
            std::printf("%s after %lld ms\n", verb, static_cast<long long>(elapsed.count()));
            return 0;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            std::printf("still %s after %lld ms\n", NameOfState(status.dwCurrentState),
                        static_cast<long long>(elapsed.count()));
            return kTimedOut;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

int Flood(SC_HANDLE service, unsigned long count, unsigned long seed) {
    std::vector<DWORD> codes;
    for (DWORD code = 128; code <= 255; ++code) {
        if (code != 133 && code != 136 && code != 137) codes.push_back(code);
    }
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> pick(0, codes.size() - 1);
    unsigned long answered = 0;
    const auto start = std::chrono::steady_clock::now();
    for (unsigned long i = 0; i + 1 < count; ++i) {
        SERVICE_STATUS status{};
        if (!ControlService(service, codes[pick(random)], &status)) return Fail("ControlService");
        if (i % 100 == 0) {
            if (!ControlService(service, SERVICE_CONTROL_INTERROGATE, &status)) {
                return Fail("ControlService(INTERROGATE)");
            }
            ++answered;
        }
    }
    SERVICE_STATUS status{};
    if (!ControlService(service, 129, &status)) return Fail("ControlService(129)");
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    std::printf("sent %lu codes in %lld ms, %lu interrogations answered\n", count,
                static_cast<long long>(elapsed.count()), answered);
    return 0;
}

// Whether another program holds the combination: RegisterHotKey refuses it then (1409).
int TryHotKey(unsigned long modifiers, unsigned long keyCode) {
    // On stdout, where the harness looks for the refusal.
    if (!RegisterHotKey(nullptr, 1, static_cast<UINT>(modifiers), static_cast<UINT>(keyCode))) {
        std::printf("RegisterHotKey failed: error %lu\n", GetLastError());
        return kFailed;
    }
    UnregisterHotKey(nullptr, 1);
    std::printf("registered\n");
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: ControlSender <service> <code> | state | start | stop <timeout ms> | "
                 "wait <STATE> <timeout ms> | flood <count> <seed> | "
                 "hotkey <modifiers> <key code>\n");
    return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    const std::string_view command = argv[2];
    if (command == "hotkey" && argc == 5) {
        const auto modifiers = ParseNumber(argv[3]);
        const auto keyCode = ParseNumber(argv[4]);
        if (!modifiers || !keyCode) return Usage();
        return TryHotKey(*modifiers, *keyCode);
    }

    unique_sc_handle manager{OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT)};
    if (!manager) return Fail("OpenSCManager");
    const DWORD access = SERVICE_USER_DEFINED_CONTROL | SERVICE_INTERROGATE | SERVICE_QUERY_STATUS |
                         SERVICE_START | SERVICE_STOP;
    unique_sc_handle service{OpenServiceA(manager.get(), argv[1], access)};
    if (!service) return Fail("OpenService");

    if (command == "state" && argc == 3) {
        const auto state = QueryState(service.get());
        if (!state) return Fail("QueryServiceStatus");
        std::printf("%s\n", NameOfState(*state));
        return 0;
    }
    if (command == "start" && argc == 3) {
        return StartServiceA(service.get(), 0, nullptr) ? 0 : Fail("StartService");
    }
    if (command == "stop" && argc == 4) {
        const auto timeout = ParseNumber(argv[3]);
        if (!timeout) return Usage();
        const auto since = std::chrono::steady_clock::now();
        SERVICE_STATUS status{};
        if (!ControlService(service.get(), SERVICE_CONTROL_STOP, &status)) {
            return Fail("ControlService");
        }
        std::vector<DWORD> checkpoints;
        const int result =
            WaitForState(service.get(), SERVICE_STOPPED, *timeout, since, "stopped", &checkpoints);
        std::printf("checkpoints:");
        for (const DWORD checkpoint : checkpoints) std::printf(" %lu", checkpoint);
        std::printf("\n");
        return result;
    }
    if (command == "flood" && argc == 5) {
        const auto count = ParseNumber(argv[3]);
        const auto seed = ParseNumber(argv[4]);
        if (!count || !seed || *count == 0) return Usage();
        return Flood(service.get(), *count, *seed);
    }
    if (command == "wait" && argc == 5) {
        const auto wanted = StateOfName(argv[3]);
        const auto timeout = ParseNumber(argv[4]);
        if (!wanted || !timeout) return Usage();
        return WaitForState(service.get(), *wanted, *timeout, std::chrono::steady_clock::now(),
                            argv[3]);
    }
    const auto code = ParseNumber(argv[2]);
    if (!code || argc != 3) return Usage();
    SERVICE_STATUS status{};
    if (!ControlService(service.get(), static_cast<DWORD>(*code), &status)) {
        return Fail("ControlService");
    }
    std::printf("%s\n", NameOfState(status.dwCurrentState));
    return 0;
}
