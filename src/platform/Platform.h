// The seam between the service's logic and Windows. Each interface is as thin as the Windows calls
// it stands for; win32/ implements them on the real API, sim/ on plain data for the unit tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kxp::platform {

// An opaque Windows handle (HWND, HKEY, HANDLE...). 0 is "none".
using Handle = std::uintptr_t;

// MEMORYSTATUSEX, byte for byte.
struct MemoryStatusEx {
    std::uint32_t dwLength = sizeof(MemoryStatusEx);
    std::uint32_t dwMemoryLoad = 0;
    std::uint64_t ullTotalPhys = 0;
    std::uint64_t ullAvailPhys = 0;
    std::uint64_t ullTotalPageFile = 0;
    std::uint64_t ullAvailPageFile = 0;
    std::uint64_t ullTotalVirtual = 0;
    std::uint64_t ullAvailVirtual = 0;
    std::uint64_t ullAvailExtendedVirtual = 0;
};
static_assert(sizeof(MemoryStatusEx) == 64);

class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::uint32_t GetTickCount() = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
};

// OSVERSIONINFOA, byte for byte.
struct OsVersionInfoA {
    std::uint32_t dwOSVersionInfoSize = sizeof(OsVersionInfoA);
    std::uint32_t dwMajorVersion = 0;
    std::uint32_t dwMinorVersion = 0;
    std::uint32_t dwBuildNumber = 0;
    std::uint32_t dwPlatformId = 0;
    char szCSDVersion[128] = {};
};
static_assert(sizeof(OsVersionInfoA) == 148);
inline constexpr std::uint32_t kVerPlatformWin32Nt = 2;

class SystemInformation {
  public:
    virtual ~SystemInformation() = default;
    virtual bool GlobalMemoryStatusEx(MemoryStatusEx& status) = 0;
    // GetSystemInfo's dwNumberOfProcessors.
    virtual std::uint32_t NumberOfProcessors() = 0;
    // NTSTATUS results; returnLength may be null.
    virtual std::uint32_t NtQuerySystemInformation(std::uint32_t informationClass, void* buffer,
                                                   std::uint32_t length,
                                                   std::uint32_t* returnLength) = 0;
    virtual std::uint32_t NtSetSystemInformation(std::uint32_t informationClass, void* buffer,
                                                 std::uint32_t length) = 0;
    // GetVersionExA; the record's size member must be 148.
    virtual bool GetVersionExA(OsVersionInfoA& info) = 0;
};

// DynData is HKEY_DYN_DATA, which only the non-NT family has.
enum class RegistryRoot { LocalMachine, Users, CurrentUser, DynData };

// Registry value types, as REG_SZ, REG_DWORD...
enum RegistryType : std::uint32_t {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
};

class Registry {
  public:
    virtual ~Registry() = default;
    // Returns 0 when the key cannot be opened (or created, with create set).
    virtual Handle OpenKey(RegistryRoot root, const std::string& path, bool write, bool create) = 0;
    virtual void CloseKey(Handle key) = 0;
    // False when the value does not exist or cannot be read.
    virtual bool QueryValue(Handle key, const std::string& name, std::uint32_t& type,
                            std::vector<std::uint8_t>& data) = 0;
    virtual bool SetValue(Handle key, const std::string& name, std::uint32_t type,
                          const std::vector<std::uint8_t>& data) = 0;
    virtual bool DeleteValue(Handle key, const std::string& name) = 0;
    // RegQueryValueExA on HKEY_PERFORMANCE_DATA without a type: size is the buffer's bytes and
    // afterwards, on success, the bytes written. Returns the system error code.
    virtual std::uint32_t QueryPerformanceData(const std::string& name, std::uint8_t* buffer,
                                               std::uint32_t& size) = 0;
};

inline constexpr std::uint32_t kErrorSuccess = 0;
inline constexpr std::uint32_t kErrorMoreData = 234;

// SendMessageTimeout flags and the messages the service uses.
inline constexpr std::uint32_t kSmtoNormal = 0x0000;
inline constexpr std::uint32_t kSmtoAbortIfHung = 0x0002;
inline constexpr std::uint32_t kWmNull = 0x0000;
inline constexpr Handle kHwndBroadcast = 0xFFFF;

// A window rectangle in screen coordinates, as RECT.
struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// What a window made through Windows::CreateHiddenWindow calls for each of its messages, on the
// thread that created it. False leaves the message to the default handling.
class WindowProcedure {
  public:
    virtual ~WindowProcedure() = default;
    virtual bool WindowMessage(Handle window, std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam, std::intptr_t& result) = 0;
};

class Windows {
  public:
    virtual ~Windows() = default;
    // Class or title may be null (any).
    virtual Handle FindWindowA(const char* className, const char* title) = 0;
    // False when the call failed or timed out (hung window).
    virtual bool SendMessageTimeoutA(Handle window, std::uint32_t message, std::uintptr_t wParam,
                                     std::intptr_t lParam, std::uint32_t flags,
                                     std::uint32_t timeoutMs) = 0;
    virtual std::uint32_t RegisterWindowMessageA(const std::string& name) = 0;
    // Dispatches the window messages already queued for the calling thread, without waiting.
    virtual void PumpThreadMessages() = 0;
    // Shows a message box to the interactive user and returns at once, without waiting for the
    // box to be read: a service's own box would sit on a desktop nobody sees.
    virtual void ShowMessage(const std::string& text, const std::string& caption,
                             std::uint32_t flags) = 0;
    // Waits at most timeoutMs for the boxes this process still shows itself to be closed; for a
    // process about to end, so that its last box stays up for a while.
    virtual void WaitForShownMessages(std::uint32_t timeoutMs) = 0;

    // An invisible top-level window of the class (registered on first use) that belongs to the
    // calling thread; top-level so that broadcasts reach it. 0 on failure. Destroyed on the same
    // thread; procedure must outlive it.
    virtual Handle CreateHiddenWindow(const std::string& className, WindowProcedure& procedure) = 0;
    virtual bool DestroyWindow(Handle window) = 0;
    // Queues the message for the window's thread and returns at once.
    virtual bool PostMessageA(Handle window, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) = 0;
    // WM_TIMER with wParam id every intervalMs, on the window's thread; SetTimer again restarts it.
    virtual bool SetTimer(Handle window, std::uintptr_t id, std::uint32_t intervalMs) = 0;
    virtual bool KillTimer(Handle window, std::uintptr_t id) = 0;
    // A system-wide key combination whose presses arrive as WM_HOTKEY (wParam id) on the window's
    // thread. Only that thread may register or unregister on the window; a combination another
    // window already holds is refused.
    virtual bool RegisterHotKey(Handle window, std::int32_t id, std::uint32_t modifiers,
                                std::uint32_t keyCode) = 0;
    virtual bool UnregisterHotKey(Handle window, std::int32_t id) = 0;

    // Window watch: top-level windows, their owners, places, styles and titles.
    // Calls visit for each top-level window until it returns false.
    virtual void EnumWindows(const std::function<bool(Handle)>& visit) = 0;
    // The owning thread's id, 0 when there is no such window; processId may be null.
    virtual std::uint32_t GetWindowThreadProcessId(Handle window, std::uint32_t* processId) = 0;
    virtual bool GetWindowRect(Handle window, Rect& rect) = 0;
    virtual bool SetWindowPos(Handle window, Handle insertAfter, std::int32_t x, std::int32_t y,
                              std::int32_t cx, std::int32_t cy, std::uint32_t flags) = 0;
    virtual std::int32_t GetWindowLongA(Handle window, std::int32_t index) = 0;
    virtual Handle GetForegroundWindow() = 0;
    virtual Handle GetDesktopWindow() = 0;
    // Lets the calling thread's window take the foreground, as a tray icon's menu needs.
    virtual bool SetForegroundWindow(Handle window) = 0;
    virtual std::int32_t GetSystemMetrics(std::int32_t index) = 0;
    // Copies at most maxCount - 1 characters and a terminator; returns the characters copied.
    virtual std::int32_t GetWindowTextA(Handle window, char* buffer, std::int32_t maxCount) = 0;
    virtual bool IsWindowVisible(Handle window) = 0;
};

// Window-watch constants, as Windows numbers them.
inline constexpr std::int32_t kGwlExStyle = -20;
inline constexpr std::uint32_t kWsExDlgModalFrame = 0x0001;
inline constexpr Handle kHwndBottom = 1;
inline constexpr std::uint32_t kSwpNoActivate = 0x0010;
inline constexpr std::uint32_t kSwpFrameChanged = 0x0020;
inline constexpr std::int32_t kSmCxScreen = 0;
inline constexpr std::int32_t kSmCyScreen = 1;

inline constexpr std::uint32_t kInfinite = 0xFFFFFFFF;
inline constexpr std::uint32_t kWmTimer = 0x0113;
inline constexpr std::uint32_t kWmApp = 0x8000;
inline constexpr std::uint32_t kWmHotKey = 0x0312;
// RegisterHotKey's modifiers.
inline constexpr std::uint32_t kModAlt = 0x0001;
inline constexpr std::uint32_t kModControl = 0x0002;
inline constexpr std::uint32_t kModShift = 0x0004;
inline constexpr std::uint32_t kModWin = 0x0008;

inline constexpr std::uint32_t kMbOk = 0x0000;
inline constexpr std::uint32_t kMbIconError = 0x0010;
inline constexpr std::uint32_t kMbIconInformation = 0x0040;

// Priority classes, as SetPriorityClass and CreateProcess's creation flags take them.
inline constexpr std::uint32_t kNormalPriorityClass = 0x0020;
inline constexpr std::uint32_t kHighPriorityClass = 0x0080;
inline constexpr std::uint32_t kRealtimePriorityClass = 0x0100;

class Process {
  public:
    virtual ~Process() = default;
    // SetProcessWorkingSetSize(GetCurrentProcess(), -1, -1).
    virtual bool TrimWorkingSet() = 0;
    virtual std::string ModuleFileName() = 0;
    virtual void OutputDebugStringA(const std::string& text) = 0;
    // SetPriorityClass(GetCurrentProcess(), priorityClass).
    virtual bool SetPriorityClass(std::uint32_t priorityClass) = 0;
    // Ends the process at once, without clean-up.
    [[noreturn]] virtual void ExitProcess(std::uint32_t exitCode) = 0;
};

// Service states and control codes as the service control manager numbers them.
enum class ServiceState : std::uint32_t {
    Stopped = 1,
    StartPending = 2,
    StopPending = 3,
    Running = 4,
};
inline constexpr std::uint32_t kControlStop = 1;
inline constexpr std::uint32_t kControlInterrogate = 4;
inline constexpr std::uint32_t kControlShutdown = 5;
inline constexpr std::uint32_t kNoError = 0;
inline constexpr std::uint32_t kErrorCallNotImplemented = 120;
inline constexpr std::uint32_t kErrorServiceSpecificError = 1066;
inline constexpr std::uint32_t kAcceptStop = 0x1;
inline constexpr std::uint32_t kAcceptShutdown = 0x4;

// What the service control dispatcher calls back into.
class ServiceEntry {
  public:
    virtual ~ServiceEntry() = default;
    // Runs on the thread the control manager starts for the service; returns when it has ended.
    virtual void ServiceMain() = 0;
    // Runs on the dispatcher thread for every control code; returns NO_ERROR, or
    // kErrorCallNotImplemented for a code the service does not handle.
    virtual std::uint32_t Control(std::uint32_t code) = 0;
};

struct ServiceDeclaration {
    std::string name;
    std::string displayName;
    bool interactive = false;
};

class ServiceHost {
  public:
    virtual ~ServiceHost() = default;
    // Connects to the control manager and runs the calling (main) thread's message loop until the
    // service has ended. False when the process was not started by the control manager.
    virtual bool RunServiceApplication(const ServiceDeclaration& service, ServiceEntry& entry) = 0;
    // exitCode kErrorServiceSpecificError carries serviceExitCode, the service's own code.
    virtual void ReportStatus(ServiceState state, std::uint32_t controlsAccepted,
                              std::uint32_t exitCode, std::uint32_t serviceExitCode) = 0;
    // 0 on success, else the system error code.
    virtual std::uint32_t InstallService(const ServiceDeclaration& service,
                                         const std::string& binaryPath) = 0;
    virtual std::uint32_t UninstallService(const std::string& name) = 0;
    virtual std::string ErrorText(std::uint32_t errorCode) = 0;
    virtual void LogError(const std::string& source, const std::string& text) = 0;
};

// A locally unique identifier, as LUID.
struct Luid {
    std::uint32_t LowPart = 0;
    std::int32_t HighPart = 0;
};

inline constexpr std::uint32_t kTokenQuery = 0x0008;
inline constexpr std::uint32_t kTokenAdjustPrivileges = 0x0020;
inline constexpr std::uint32_t kSePrivilegeEnabled = 0x00000002;

// The privileges of the service's own access token.
class Privileges {
  public:
    virtual ~Privileges() = default;
    // OpenProcessToken on the current process; 0 when it fails. Closed with CloseToken.
    virtual Handle OpenProcessToken(std::uint32_t access) = 0;
    virtual void CloseToken(Handle token) = 0;
    // LookupPrivilegeValueA on the local system.
    virtual bool LookupPrivilegeValueA(const std::string& name, Luid& luid) = 0;
    // AdjustTokenPrivileges for one privilege, the previous state in a 16-byte buffer; returns
    // GetLastError() as it stands after the call (0, or ERROR_NOT_ALL_ASSIGNED when not held).
    virtual std::uint32_t AdjustTokenPrivileges(Handle token, const Luid& luid,
                                                std::uint32_t attributes) = 0;
};

// The process heap. A block that cannot be had is a null result, never the end of the process.
class Heap {
  public:
    virtual ~Heap() = default;
    // Null also when bytes exceeds what the process can address.
    virtual void* HeapAlloc(std::uint64_t bytes) = 0;
    virtual void HeapFree(void* block) = 0;
};

// PROFILEINFOA as the service fills it in. The platform lays the record out for its architecture
// and returns the loaded profile's handle in profile.
struct ProfileInfo {
    std::uint32_t flags = 0;
    std::string userName;
    Handle profile = 0;
};

inline constexpr std::uint32_t kProcessTerminate = 0x0001;
inline constexpr std::uint32_t kProcessVmRead = 0x0010;
inline constexpr std::uint32_t kProcessQueryInformation = 0x0400;
inline constexpr std::uint32_t kTokenDuplicate = 0x0002;
inline constexpr std::uint32_t kTokenAllAccess = 0x000F01FF;
inline constexpr std::uint32_t kSecurityImpersonation = 2;  // SECURITY_IMPERSONATION_LEVEL
inline constexpr std::uint32_t kTokenPrimary = 1;           // TOKEN_TYPE
inline constexpr std::uint32_t kTokenUser = 1;              // TOKEN_INFORMATION_CLASS
inline constexpr std::uint32_t kPiNoUi = 0x0001;
inline constexpr std::uint32_t kErrorInsufficientBuffer = 122;

// Other processes, their tokens, impersonation and user profiles. An impersonation applies to the
// calling thread only. Handles returned here are closed with CloseHandle; 0 means failure, and
// GetLastError then tells why.
class Security {
  public:
    virtual ~Security() = default;
    virtual Handle OpenProcess(std::uint32_t access, bool inherit, std::uint32_t processId) = 0;
    virtual bool TerminateProcess(Handle process, std::uint32_t exitCode) = 0;
    virtual bool CloseHandle(Handle handle) = 0;
    virtual Handle OpenProcessToken(Handle process, std::uint32_t access) = 0;
    virtual Handle DuplicateTokenEx(Handle token, std::uint32_t access,
                                    std::uint32_t impersonationLevel, std::uint32_t tokenType) = 0;
    virtual bool ImpersonateLoggedOnUser(Handle token) = 0;
    virtual bool RevertToSelf() = 0;
    // size: the buffer's characters; afterwards those written with the terminator, or needed.
    virtual bool GetUserNameA(char* buffer, std::uint32_t& size) = 0;
    // The record exactly as the system writes it, with its pointers into buffer; returnLength is
    // the size written or, when the buffer is too small, the size needed.
    virtual bool GetTokenInformation(Handle token, std::uint32_t informationClass, void* buffer,
                                     std::uint32_t length, std::uint32_t& returnLength) = 0;
    virtual bool LoadUserProfileA(Handle token, ProfileInfo& profile) = 0;
    virtual bool UnloadUserProfile(Handle token, Handle profile) = 0;
    // CreateProcessAsUserA with no application name, no security attributes, no inherited
    // handles and no environment block; the startup record names only the desktop. The new
    // process's handles are closed at once. False on failure (GetLastError tells why).
    virtual bool CreateProcessAsUserA(Handle token, const std::string& commandLine,
                                      std::uint32_t creationFlags,
                                      const std::string& currentDirectory,
                                      const std::string& desktop) = 0;
    virtual std::uint32_t GetLastError() = 0;
};

// Files beside the executable and the user's locale, as the language loader reads them. Paths are
// full Windows paths in the system code page.
class Files {
  public:
    virtual ~Files() = default;
    // FindFirstFileA / FindNextFileA over a pattern such as "C:\dir\*.klf": the name of every
    // entry that matches, directories included, in the order the search returns them.
    virtual std::vector<std::string> FindFiles(const std::string& pattern) = 0;
    // True for an existing file; false for a directory or nothing.
    virtual bool FileExists(const std::string& path) = 0;
    // The whole file. False, with contents untouched, when it cannot be opened or read, or when it
    // holds more than maxBytes.
    virtual bool ReadWholeFile(const std::string& path, std::size_t maxBytes,
                               std::vector<std::uint8_t>& contents) = 0;
    virtual std::uint16_t GetUserDefaultLangID() = 0;
    // MultiByteToWideChar and WideCharToMultiByte with the system code page; a character the code
    // page lacks becomes its default character.
    virtual std::u16string AnsiToWide(const std::string& text) = 0;
    virtual std::string WideToAnsi(const std::u16string& text) = 0;
};

// Drawing on small bitmaps, as GDI does it. Objects (bitmaps, brushes, pens, fonts) are released
// with DeleteObject once no DC has them selected; DCs with DeleteDC; icons with DestroyIcon.
// Colours are COLORREF values, $00BBGGRR.
using ColorRef = std::uint32_t;

// What CreateFontIndirect needs of a font: the face name, the size in points and the style.
struct FontRequest {
    std::string Name;
    std::int32_t Size = 0;
    bool Bold = false;
    bool Italic = false;
    friend bool operator==(const FontRequest&, const FontRequest&) = default;
};

struct Size {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
};

inline constexpr std::int32_t kTransparentBk = 1;  // SetBkMode's TRANSPARENT
inline constexpr std::int32_t kOpaqueBk = 2;       // OPAQUE

class Drawing {
  public:
    virtual ~Drawing() = default;
    // A memory DC compatible with the screen.
    virtual Handle CreateCompatibleDC() = 0;
    virtual bool DeleteDC(Handle dc) = 0;
    // A 32 bits per pixel bitmap of that size, every pixel 0.
    virtual Handle CreateBitmap(std::int32_t width, std::int32_t height) = 0;
    virtual Handle CreateSolidBrush(ColorRef color) = 0;
    // A solid pen.
    virtual Handle CreatePen(std::int32_t width, ColorRef color) = 0;
    // The face name is cut to what the system keeps (31 characters); sizes are the system's to map.
    virtual Handle CreateFontIndirectW(const FontRequest& font) = 0;
    virtual bool DeleteObject(Handle object) = 0;
    // Returns the object it replaced (0 on failure).
    virtual Handle SelectObject(Handle dc, Handle object) = 0;
    virtual bool FillRect(Handle dc, const Rect& rect, Handle brush) = 0;
    virtual bool MoveToEx(Handle dc, std::int32_t x, std::int32_t y) = 0;
    // Draws with the selected pen from the current position up to, not including, (x, y).
    virtual bool LineTo(Handle dc, std::int32_t x, std::int32_t y) = 0;
    // SRCCOPY.
    virtual bool BitBlt(Handle dc, std::int32_t x, std::int32_t y, std::int32_t width,
                        std::int32_t height, Handle source, std::int32_t sourceX,
                        std::int32_t sourceY) = 0;
    virtual ColorRef SetTextColor(Handle dc, ColorRef color) = 0;
    virtual ColorRef SetBkColor(Handle dc, ColorRef color) = 0;
    virtual std::int32_t SetBkMode(Handle dc, std::int32_t mode) = 0;
    // Text is UTF-8, passed on wide; measured and drawn with the selected font.
    virtual bool GetTextExtentPoint32W(Handle dc, const std::string& text, Size& size) = 0;
    virtual bool TextOutW(Handle dc, std::int32_t x, std::int32_t y, const std::string& text) = 0;
    virtual ColorRef GetSysColor(std::int32_t index) = 0;
    // The icon of a bitmap that no DC has selected: pure white ($00FFFFFF) pixels transparent,
    // every other pixel opaque. 0 on failure.
    virtual Handle CreateIconFromBitmap(Handle bitmap) = 0;
    // A 16 x 16 icon resource of the program's own file, by name; 0 when there is none.
    virtual Handle LoadIconResource(const std::string& name) = 0;
    virtual bool DestroyIcon(Handle icon) = 0;
};

// GetNumberFormat for the user's locale: its separators and grouping, with a fixed count of
// decimals. value is plain ASCII digits with an optional "." and fractional digits. False on
// failure, formatted then untouched.
class Locale {
  public:
    virtual ~Locale() = default;
    virtual bool GetNumberFormatW(const std::string& value, std::uint32_t decimals,
                                  std::string& formatted) = 0;
};

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

class Mouse {
  public:
    virtual ~Mouse() = default;
    virtual std::uint32_t GetDoubleClickTime() = 0;
    virtual bool GetCursorPos(Point& point) = 0;
};

// NOTIFYICONDATAW up to and including dwInfoFlags (the version-2 record), laid out as the build's
// architecture lays it out.
struct NotifyIconData {
    std::uint32_t cbSize = sizeof(NotifyIconData);
    Handle hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    Handle hIcon = 0;
    char16_t szTip[128] = {};
    std::uint32_t dwState = 0;
    std::uint32_t dwStateMask = 0;
    char16_t szInfo[256] = {};
    std::uint32_t uVersion = 0;  // shares its place with uTimeout
    char16_t szInfoTitle[64] = {};
    std::uint32_t dwInfoFlags = 0;
};
static_assert(sizeof(void*) != 8 || sizeof(NotifyIconData) == 952);

inline constexpr std::uint32_t kNimAdd = 0;
inline constexpr std::uint32_t kNimModify = 1;
inline constexpr std::uint32_t kNimDelete = 2;
inline constexpr std::uint32_t kNimSetVersion = 4;
inline constexpr std::uint32_t kNifMessage = 0x1;
inline constexpr std::uint32_t kNifIcon = 0x2;
inline constexpr std::uint32_t kNifTip = 0x4;

class NotificationArea {
  public:
    virtual ~NotificationArea() = default;
    virtual bool Shell_NotifyIconW(std::uint32_t message, const NotifyIconData& data) = 0;
};

// MENUITEMINFOW as InsertMenuItemW takes it: type, state, command id, submenu and caption.
struct MenuItemInfo {
    std::uint32_t fType = 0;
    std::uint32_t fState = 0;
    std::uint32_t wID = 0;
    Handle hSubMenu = 0;
    std::u16string caption;
};

inline constexpr std::uint32_t kMftString = 0x000;
inline constexpr std::uint32_t kMftRadioCheck = 0x200;
inline constexpr std::uint32_t kMftSeparator = 0x800;
inline constexpr std::uint32_t kMfsChecked = 0x008;

// Popup menus. A submenu inserted into a menu is destroyed with it.
class Menus {
  public:
    virtual ~Menus() = default;
    virtual Handle CreatePopupMenu() = 0;
    virtual bool DestroyMenu(Handle menu) = 0;
    // Appends at the end of the menu.
    virtual bool InsertMenuItemW(Handle menu, const MenuItemInfo& item) = 0;
    // TrackPopupMenuEx with TPM_RETURNCMD | TPM_RIGHTBUTTON for window, which should be the
    // foreground window (Windows::SetForegroundWindow): blocks until the menu closes and returns
    // the chosen command id, 0 when none was chosen.
    virtual std::uint32_t TrackPopupMenuEx(Handle menu, std::int32_t x, std::int32_t y,
                                           Handle window) = 0;
};

// Everything the service may call, handed to the owner at construction.
struct Platform {
    Clock& clock;
    SystemInformation& system;
    Registry& registry;
    Windows& windows;
    Process& process;
    ServiceHost& services;
    Privileges& privileges;
    Heap& heap;
    Security& security;
    Files& files;
    Drawing& drawing;
    Locale& locale;
    Mouse& mouse;
    NotificationArea& notificationArea;
    Menus& menus;
};

}  // namespace kxp::platform
