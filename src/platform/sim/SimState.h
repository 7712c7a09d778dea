// The simulated machine's data, shared by the platform interfaces it serves and by the fixture
// API. One mutex guards all of it; nobody holds it while running a scheduled action or calling out.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/NativeRecords.h"
#include "platform/Platform.h"
#include "platform/sim/SimFiles.h"
#include "platform/sim/SimMachine.h"
#include "platform/sim/SimPrivileges.h"
#include "platform/sim/SimSecurity.h"
#include "platform/sim/SimWindowWatch.h"

namespace kxp::sim::detail {

struct SimWindow {
    platform::Handle handle = 0;
    std::string className;
    std::string title;
    bool hung = false;
    std::vector<SimMessage> inbox;
    // Seen by the window watch.
    std::uint32_t processId = 0;
    platform::Rect rect{};
    std::int32_t exStyle = 0;
    bool visible = true;
    // A window the code under test made: its procedure runs on the thread that made it.
    platform::WindowProcedure* procedure = nullptr;
    std::thread::id owner;
};

// A message waiting in a thread's queue for a window of that thread.
struct SimQueuedMessage {
    platform::Handle window = 0;
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

// A window timer on the virtual clock; due is on the elapsed-ms scale.
struct SimTimer {
    platform::Handle window = 0;
    std::uintptr_t id = 0;
    std::uint32_t intervalMs = 0;
    std::uint64_t due = 0;
};

struct SimRegistryKeyData {
    // Lower-case name -> the value; names compare case-insensitively.
    std::map<std::string, SimRegistryValue> values;
};

struct SimOpenKey {
    std::string key;  // the key's entry in SimState::keys
    bool write = false;
};

struct SimState {
    mutable std::mutex mutex;

    // Clock. Scheduled actions are keyed by their due time on the elapsed-ms scale, which never
    // wraps; the reported tick is that scale's low 32 bits plus tickOffset.
    std::uint64_t elapsedMs = 0;
    std::uint32_t tickOffset = 0;
    std::uint64_t sleptMs = 0;
    std::multimap<std::uint64_t, std::function<void()>> actions;

    // Memory and native queries.
    platform::MemoryStatusEx memory{};
    std::uint32_t processorCount = 1;
    std::vector<SimProcess> processes;
    std::optional<SimRawProcessBuffer> rawProcesses;
    std::vector<SimProcessorTimes> processorTimes;
    std::optional<std::vector<SimPageFile>> pageFiles;
    platform::SystemFileCacheInformation64 fileCache{};
    std::optional<platform::SystemFileCacheInformation64> lastFileCacheSet;
    int fileCacheSetCount = 0;
    std::map<std::uint32_t, std::uint32_t> failures;
    std::map<std::uint32_t, std::vector<std::uint32_t>> queryLengths;

    // Version and performance data.
    std::uint32_t platformId = platform::kVerPlatformWin32Nt;
    bool versionQueryFails = false;
    std::vector<std::uint8_t> performanceData;
    std::uint32_t performanceDataError = platform::kErrorSuccess;
    std::vector<std::pair<std::string, std::uint32_t>> performanceDataQueries;

    // Registry.
    std::map<std::string, SimRegistryKeyData> keys;
    std::map<platform::Handle, SimOpenKey> openKeys;
    platform::Handle nextKey = 0x100;
    bool refuseRegistryWrites = false;

    // Windows and dialogs.
    std::vector<SimWindow> windows;
    platform::Handle nextWindow = 0x10010;
    std::map<std::string, std::uint32_t> registeredMessages;
    int pumpCount = 0;
    std::vector<SimMessageBox> messageBoxes;
    std::map<std::thread::id, std::deque<SimQueuedMessage>> threadQueues;
    std::condition_variable queueChanged;
    std::vector<SimTimer> timers;
    std::vector<SimHotKey> hotKeys;

    // Process.
    int trimCount = 0;
    std::vector<std::string> debugOutput;
    std::vector<std::uint32_t> priorityClasses;
    std::string moduleFileName = "C:\\Program Files\\KorvanelXP\\KorvanelXP.exe";

    // Service host.
    bool startedByServiceManager = true;
    platform::ServiceEntry* runningEntry = nullptr;
    bool serviceThreadRunning = false;
    int controlsInFlight = 0;
    std::condition_variable controlsDone;
    std::vector<SimStatusReport> statusReports;
    std::map<std::string, SimInstalledService> services;
    std::uint32_t installFailure = 0;
    std::vector<std::string> eventLog;

    // The service's own access token.
    SimTokenState token;

    // Other processes, tokens, impersonation and profiles; the window watch.
    SimSecurityState security;
    SimWindowWatchState windowWatch;

    // Files and the user's locale.
    SimFilesState files;

    std::uint32_t Now() const { return static_cast<std::uint32_t>(elapsedMs) + tickOffset; }
    SimWindow* FindWindowByHandle(platform::Handle handle);
};

// Queues a message for the window's thread; false when there is no such window. Mutex held.
bool QueueMessage(SimState& state, const SimQueuedMessage& message);

// Dispatches the messages queued for the calling thread to their windows' procedures, with the
// mutex released around each call. Returns the number dispatched.
int DispatchQueuedMessages(SimState& state);

// Moves virtual time on by ms, running the actions that fall due in the order of their due time.
// The caller must not hold the mutex. Counted as sleep only when asSleep is set.
void AdvanceTime(SimState& state, std::uint64_t ms, bool asSleep);

std::string ToLower(std::string text);

// The registry entry of a key: the root's name and the lower-case path without outer backslashes.
std::string RegistryKeyName(platform::RegistryRoot root, const std::string& path);

// Creates a key with every missing key above it, as RegCreateKeyEx does.
SimRegistryKeyData& EnsureRegistryKey(SimState& state, const std::string& name);

}  // namespace kxp::sim::detail
