// A deterministic simulated Windows machine for the unit tests: virtual time, memory figures, a
// process table served in the real native record layout, a typed registry, top-level windows with
// inboxes, recorded message boxes and service-manager calls. A fixture, not a second Windows: it
// grows only as far as a test needs it. Thread-safe, since the control thread and the service
// thread use it at once.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/NativeRecords.h"
#include "platform/Platform.h"
#include "platform/sim/SimDesktop.h"
#include "platform/sim/SimMenus.h"

namespace kxp::sim {

namespace detail {
struct SimState;
}

// The user a simulated process runs as, as its token names him: a name and a SID.
struct SimAccount {
    std::string name;
    std::uint8_t revision = 1;
    std::array<std::uint8_t, 6> authority{0, 0, 0, 0, 0, 5};
    std::vector<std::uint32_t> subAuthorities;
};

// The calls of the process and token facility a test can make fail.
enum class SimSecurityCall {
    OpenProcess,
    TerminateProcess,
    OpenProcessToken,
    DuplicateTokenEx,
    ImpersonateLoggedOnUser,
    GetUserName,
    GetTokenInformation,
    LoadUserProfile,
    CreateProcessAsUser,
};

struct SimProfileLoad {
    std::string tokenUser;  // the user of the token the profile was loaded with
    std::string userName;   // the user name in the profile record
    std::uint32_t flags = 0;
};

// A hot key registration; window 0 stands for another program's.
struct SimHotKey {
    platform::Handle window = 0;
    std::int32_t id = 0;
    std::uint32_t modifiers = 0;
    std::uint32_t keyCode = 0;
    std::thread::id thread;  // the registering thread
};

// A CreateProcessAsUserA call: the user of the token it was given, what it was asked to start, and
// whether it started (the program's file exists and the call was not made to fail).
struct SimCreatedProcess {
    std::string tokenUser;
    std::string commandLine;
    std::uint32_t creationFlags = 0;
    std::string currentDirectory;
    std::string desktop;
    bool started = false;
};

struct SimWindowMove {
    platform::Handle window = 0;
    platform::Handle insertAfter = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    std::uint32_t flags = 0;
};

// Thrown by Process::ExitProcess, so that a test can see the process end and carry on.
struct SimProcessExit {
    std::uint32_t exitCode;
};

struct SimProcess {
    std::uint32_t pid = 0;
    std::optional<std::u16string> imageName;  // nullopt: a null name pointer (the idle process)
    std::int64_t userTime = 0;                // 100 ns units
    std::int64_t kernelTime = 0;
};

// One processor's class 8 times, 100 ns units; kernel time includes idle time, as on Windows.
struct SimProcessorTimes {
    std::int64_t idle = 0;
    std::int64_t kernel = 0;
    std::int64_t user = 0;
};

struct SimPageFile {
    std::uint32_t totalPages = 0;
    std::uint32_t pagesInUse = 0;
};

// A process-query answer laid out as if the caller's buffer started at address 0: each 64-bit
// field listed in addressFields holds an offset into bytes, which the query turns into the address
// inside the caller's buffer. Lets a test corrupt a well-formed answer and still have it served.
struct SimRawProcessBuffer {
    std::vector<std::uint8_t> bytes;
    std::vector<std::uint32_t> addressFields;
};

struct SimMessage {
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

struct SimMessageBox {
    std::string text;
    std::string caption;
    std::uint32_t flags = 0;
};

struct SimStatusReport {
    platform::ServiceState state;
    std::uint32_t controlsAccepted;
    std::uint32_t exitCode;
    std::uint32_t serviceExitCode;
    std::uint32_t tick;
};

struct SimInstalledService {
    platform::ServiceDeclaration declaration;
    std::string binaryPath;
};

// The heap's limit until a test sets one: only empty blocks, so that a test that gave the heap no
// memory never takes any by mistake, and a recovery there only runs through its requests.
inline constexpr std::uint64_t kSimHeapDefaultLimit = 0;

// A block given back to the heap, with the value all of its bytes held then (none when they
// differed or the block was empty).
struct SimHeapRelease {
    std::uint64_t size = 0;
    std::optional<std::uint8_t> uniformByte;
};

struct SimRegistryValue {
    std::uint32_t type = platform::kRegNone;
    std::vector<std::uint8_t> data;
};

class SimMachine {
  public:
    SimMachine();
    ~SimMachine();
    SimMachine(const SimMachine&) = delete;
    SimMachine& operator=(const SimMachine&) = delete;

    platform::Platform& platform();
    // Drawing, icons, locale, mouse and notification area, with their fixture API.
    SimDesktop& Desktop();
    // Popup menus: the menus shown and the choice the next one makes.
    SimMenus& Menus();

    // Clock: Sleep advances virtual time and runs the actions that fall due, in order. Virtual
    // time is shared: every Sleep, from any thread, moves it on. The tick starts at 0.
    std::uint32_t Now() const;
    // Changes the tick GetTickCount reports; actions already scheduled keep their distance.
    void SetNow(std::uint32_t tick);
    // A tick already passed (up to 2^31 ms behind) runs at the next Sleep.
    void At(std::uint32_t tick, std::function<void()> action);
    std::uint64_t TotalSleptMs() const;

    // Memory and processors. GlobalMemoryStatusEx fails, as on Windows, unless the record's
    // length member is 64.
    void SetMemory(std::uint64_t totalPhys, std::uint64_t availPhys, std::uint64_t totalPageFile,
                   std::uint64_t availPageFile);
    void SetProcessorCount(std::uint32_t count);  // default 1; 0 is served as is

    // Native queries. Each class can be made to fail with a status of the test's choosing.
    // Class 5 with an empty table succeeds with 0 bytes written.
    void SetProcesses(std::vector<SimProcess> processes);
    // Class 8 serves one record per entry; with none set, one zeroed record per processor.
    void SetProcessorIdleTimes(std::vector<std::int64_t> idleTimes);  // kernel = idle, user 0
    void SetProcessorTimes(std::vector<SimProcessorTimes> times);
    // Until this is called class 18 answers kStatusInvalidInfoClass, as Wine does; an empty list
    // then succeeds with 0 bytes written.
    void SetPageFiles(std::vector<SimPageFile> pageFiles);
    void SetFileCache(const platform::SystemFileCacheInformation64& info);
    // Applies to NtQuerySystemInformation and, for class 21, to NtSetSystemInformation too.
    // kStatusSuccess clears the failure.
    void FailQuery(std::uint32_t informationClass, std::uint32_t status);
    // Replaces what class 5 returns with raw bytes (for malformed-record tests).
    void SetRawProcessBuffer(std::vector<std::uint8_t> bytes);
    void SetRawProcessBuffer(SimRawProcessBuffer raw);
    // The well-formed class 5 answer for a table, in the relocatable form above.
    static SimRawProcessBuffer ProcessBufferImage(const std::vector<SimProcess>& processes);
    int QueryCount(std::uint32_t informationClass) const;
    std::vector<std::uint32_t> QueryLengths(std::uint32_t informationClass) const;
    std::optional<platform::SystemFileCacheInformation64> LastFileCacheSet() const;
    int FileCacheSetCount() const;  // class 21 sets that succeeded

    // GetVersionExA: the platform id it reports (2, the NT family, unless set), or a failure.
    void SetPlatformId(std::uint32_t platformId);
    void FailVersionQuery(bool fail);

    // HKEY_PERFORMANCE_DATA: every value name answers this block, ERROR_MORE_DATA for a smaller
    // buffer, else error (when not ERROR_SUCCESS) or the block. Empty until set.
    void SetPerformanceData(std::vector<std::uint8_t> block,
                            std::uint32_t error = platform::kErrorSuccess);
    // The value name and buffer size of every performance-data query, in order.
    std::vector<std::pair<std::string, std::uint32_t>> PerformanceDataQueries() const;

    // Registry. Paths are relative to the root, a leading backslash is ignored, case-insensitive.
    void SetValue(platform::RegistryRoot root, const std::string& path, const std::string& name,
                  SimRegistryValue value);
    void SetDword(platform::RegistryRoot root, const std::string& path, const std::string& name,
                  std::uint32_t value);
    // Stored as REG_SZ with its terminating NUL, as RegSetValueEx callers normally write it.
    void SetString(platform::RegistryRoot root, const std::string& path, const std::string& name,
                   const std::string& value);
    void CreateKey(platform::RegistryRoot root, const std::string& path);
    std::optional<SimRegistryValue> GetValue(platform::RegistryRoot root, const std::string& path,
                                             const std::string& name) const;
    bool KeyExists(platform::RegistryRoot root, const std::string& path) const;
    int OpenKeyCount() const;  // keys opened and not yet closed
    // While set, every open for writing fails, as for a caller without write access.
    void RefuseRegistryWrites(bool refuse);

    // Top-level windows. A hung window answers no message; a sent message costs it the full
    // timeout unless the sender aborts on hung windows. A broadcast succeeds when at least one
    // window received it.
    platform::Handle AddWindow(const std::string& className, const std::string& title,
                               bool hung = false);
    void RemoveWindow(platform::Handle window);
    void SetHung(platform::Handle window, bool hung);
    std::vector<SimMessage> Inbox(platform::Handle window) const;
    std::optional<std::uint32_t> RegisteredMessage(const std::string& name) const;
    int PumpCount() const;

    // The boxes shown, in order; none of them waits.
    std::vector<SimMessageBox> MessageBoxes() const;

    // Process.
    int TrimCount() const;
    std::vector<std::string> DebugOutput() const;
    void SetModuleFileName(const std::string& path);
    // Every SetPriorityClass on the service's own process, in order.
    std::vector<std::uint32_t> PriorityClasses() const;

    // The service's own access token. Every known privilege is held until a test names the held
    // ones; names compare case-insensitively.
    void SetHeldPrivileges(const std::vector<std::string>& names);
    void FailTokenOpen(bool fail);
    // The privileges each adjustment of an open token was for, in call order.
    std::vector<std::string> PrivilegeAdjustments() const;
    bool PrivilegeEnabled(const std::string& name) const;
    int OpenTokenCount() const;  // tokens opened and not yet closed

    // Process heap: real blocks, recorded. Requests above the limit fail, and so do the next count
    // requests after FailHeapRequests, whatever their size.
    void SetHeapLimit(std::uint64_t bytes);
    void FailHeapRequests(int count);
    std::vector<std::uint64_t> HeapRequests() const;  // every request's size, in order
    std::vector<SimHeapRelease> HeapReleases() const;
    int HeapBlocksInUse() const;
    int HeapBadFrees() const;  // frees of addresses the heap never handed out

    // Window watch: each window's owning process, rectangle, extended style and visibility
    // (visible unless set); the foreground window and the primary screen (1024 x 768 unless set).
    void SetWindowOwner(platform::Handle window, std::uint32_t processId);
    void SetWindowRect(platform::Handle window, const platform::Rect& rect);
    void SetWindowExStyle(platform::Handle window, std::int32_t exStyle);
    void SetWindowVisible(platform::Handle window, bool visible);
    void SetForegroundWindow(platform::Handle window);
    // The window GetDesktopWindow names; none until set.
    void SetDesktopWindow(platform::Handle window);
    void SetScreenSize(std::int32_t width, std::int32_t height);
    std::optional<platform::Rect> WindowRect(platform::Handle window) const;
    std::vector<SimWindowMove> WindowMoves() const;
    // The window-watch calls made, by name, in order ("EnumWindows", "GetWindowLongA"...).
    std::vector<std::string> WindowWatchCalls() const;

    // Hot keys: the registrations alive, in the order made. A combination is the modifiers (without
    // MOD_NOREPEAT) and the key code; another program may hold one. A press of a registered
    // combination is queued as WM_HOTKEY for its window's thread; false when none is registered or
    // another program has it.
    std::vector<SimHotKey> HotKeys() const;
    void TakeHotKey(std::uint32_t modifiers, std::uint32_t keyCode);
    bool PressHotKey(std::uint32_t modifiers, std::uint32_t keyCode);

    // Other processes: OpenProcess finds the processes of SetProcesses; a process's token is
    // that of its owner, and one without an owner gives none. TerminateProcess takes the process
    // out of the table.
    void SetProcessOwner(std::uint32_t processId, SimAccount account);
    // The call fails with this error from now on; 0 lets it succeed again.
    void FailSecurityCall(SimSecurityCall call, std::uint32_t error);
    void SetProcessOpenable(std::uint32_t processId, bool openable);
    std::vector<std::uint32_t> OpenedProcesses() const;  // every successful OpenProcess, in order
    std::vector<std::uint32_t> TerminatedProcesses() const;
    int OpenSecurityHandleCount() const;   // process and token handles not yet closed
    int ImpersonationCount() const;        // successful ImpersonateLoggedOnUser calls
    int ImpersonatingThreadCount() const;  // threads impersonating now
    std::vector<SimProfileLoad> ProfileLoads() const;
    int LoadedProfileCount() const;  // loaded and not yet unloaded
    // Every CreateProcessAsUserA call with a known token, in order. The program is the quoted
    // start of the command line, or all of it without quotes.
    std::vector<SimCreatedProcess> CreatedProcesses() const;

    // Service host: RunServiceApplication runs ServiceMain on a service thread of its own while
    // the calling thread, the main thread, dispatches its queued window messages; it returns once
    // ServiceMain has, and hands on what ServiceMain threw.
    std::vector<SimStatusReport> StatusReports() const;
    std::optional<SimInstalledService> InstalledService(const std::string& name) const;
    // Every later InstallService fails with this code; 0 lets installs succeed again.
    void FailServiceInstall(std::uint32_t errorCode);
    void SetStartedByServiceManager(bool started);
    // Plays the control dispatcher: calls Control on the entry whose ServiceMain is running, on
    // the calling thread; the entry's answer, or nothing when no service is running.
    std::optional<std::uint32_t> SendControl(std::uint32_t code);
    std::vector<std::string> EventLog() const;

    // Files: full paths compared without regard to letter case; FindFiles lists entries in the
    // order they were first added. Adding a path again replaces that entry. The user's default
    // language is 0x0409 until set, and the system code page is Latin-1: bytes 0x00 to 0xFF are
    // U+0000 to U+00FF, and any other character becomes "?".
    void AddFile(const std::string& path, std::vector<std::uint8_t> contents);
    void AddDirectory(const std::string& path);
    void SetUserDefaultLangID(std::uint16_t languageId);
    std::vector<std::string> FilesRead() const;  // every ReadWholeFile path, in call order

  private:
    class Impl;
    // For the fixture API kept in files of its own (SimMachineSecurity.cpp).
    detail::SimState& State() const;

    std::unique_ptr<Impl> impl_;
};

}  // namespace kxp::sim
