// The service data module: owner of all of the service's state, its lifecycle handlers, the main
// loop and the request channel. Its code is split by concern across the files of this folder.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "config/GlobalHotKeysOwner.h"
#include "config/TConfig.h"
#include "config/TMachineOptions.h"
#include "platform/Guarded.h"
#include "platform/Platform.h"
#include "platform/RegistryKey.h"
#include "platform/ThreadWindow.h"
#include "service/ServiceFramework.h"
#include "service/SessionImpersonation.h"
#include "sysinfo/CpuUsageCounters.h"
#include "sysinfo/TPipe.h"
#include "sysinfo/TSystemData.h"
#include "tray/DisplayModel.h"
#include "tray/MenuCaptions.h"
#include "tray/TIconRenderer.h"
#include "tray/TImageList.h"
#include "tray/TPopupMenu.h"
#include "tray/TTrayIcon.h"

namespace kxp {

// Control codes of the settings program.
inline constexpr std::uint32_t SV_READUSEROPTIONS = 128;
inline constexpr std::uint32_t SV_SENDPEAKMEMUSAGE = 129;
inline constexpr std::uint32_t SV_IGNOREHOTKEYS = 130;
inline constexpr std::uint32_t SV_ALLOWHOTKEYS = 131;
inline constexpr std::uint32_t SV_READLOCALOPTIONS = 132;
inline constexpr std::uint32_t RECOVER = 133;
inline constexpr std::uint32_t RESTORESTART = 134;
inline constexpr std::uint32_t RESTOREEND = 135;
inline constexpr std::uint32_t SV_QUIT = 136;
inline constexpr std::uint32_t RECOVER_KEEPICONS = 137;
inline constexpr std::uint32_t SV_TEST1 = 200;
inline constexpr std::uint32_t SV_TEST2 = 201;
inline constexpr std::uint32_t SV_TEST3 = 202;

// Notification codes to the settings program (wParam of the registered message).
enum SettingsMessageCode : std::uint32_t {
    kSettingsComeForward = 1,
    kSettingsUserOptionsChanged = 2,
    kSettingsRecoveryStarting = 3,
    kSettingsRecoveryFinished = 4,
    kSettingsPeakUsage = 5,
    kSettingsMachineOptionsChanged = 6,
    kSettingsServiceEnding = 7,
};

// Who is logged on. The service thread changes it; other threads read a copy.
struct TSessionRecord {
    std::string CurrentUserName;
    std::string LoopUserName;
    std::string UserSid;  // "\S-1-..." of the logged-on user, empty for nobody
    std::string UserKeyPath;
    std::string UserRunKeyPath;
};

// What one tray icon draws from besides its figure: the graph history and the value drawn last
// (-1 forces the next drawing).
struct TIconDrawState {
    std::optional<TPipe> History;
    std::int32_t LastValue = -1;
};

// The option reader and writer. A user holds its own reference while it works, so a logoff that
// drops them meanwhile never frees one under it.
struct TRegistryObjects {
    std::shared_ptr<RegistryKey> OptionReader;
    std::shared_ptr<RegistryKey> OptionWriter;
};

class TKorvanelXPService : public platform::ServiceEntry {
  public:
    // On the main thread, whose hidden window it makes.
    explicit TKorvanelXPService(platform::Platform& platform);
    TKorvanelXPService(const TKorvanelXPService&) = delete;
    TKorvanelXPService& operator=(const TKorvanelXPService&) = delete;

    // platform::ServiceEntry: the framework runs the service; every control code goes to
    // ServiceControlHandler.
    void ServiceMain() override;
    std::uint32_t Control(std::uint32_t code) override;

    // Framework handlers, on the service thread.
    void ServiceStart();
    void ServiceExecute();
    void ServiceStop();
    void ServiceShutdown();
    void ServiceAfterInstall();

    // Request channel. The handler runs on the dispatcher thread and answers NO_ERROR, or
    // ERROR_CALL_NOT_IMPLEMENTED for a code it does not handle; SendToSettings on any thread.
    std::uint32_t ServiceControlHandler(std::uint32_t code);
    void SendToSettings(std::uint32_t code, std::int64_t value);

    // Act as the logged-on user on the calling thread, from any thread; EndImpersonation only
    // after ImpersonateShellUser returned true, on the same thread, with the same switch.
    // UserToken is the calling thread's user token while it impersonates, else 0.
    bool ImpersonateShellUser(bool loadProfile);
    void EndImpersonation(bool profileLoaded);
    platform::Handle UserToken() const;

    // Runs work on the main thread, from any thread; false when it cannot be run there.
    bool PostToMainThread(std::function<void()> work);

    // Tray handlers, on the main thread.
    void miExitClick();
    void miRecoverRamClick();
    // Auto-recovery and start-mode toggles: the option in memory, then the registry,
    // notification 6 and a trim.
    void miAutoRecoveryClick();
    void miLoadWinClick();
    void TrayIcon1Startup();
    // Settings... and a double click on either icon.
    void miSettingsClick();
    // Tray icon events and the tray menus' handlers (TrayMenus.cpp). A single click switches the
    // icon's option set; the pointer coming onto icon 1 or 2 refreshes its hint.
    void TrayIcon1Click();
    void TrayIcon2Click();
    void TrayIcon1MouseEnter(int icon);
    // As a menu opens: the captions of the last options read, the machine options' check marks
    // and the title. As the "Display" and "Update interval" submenus open: their check marks.
    void PopupMenu1Popup();
    void PopupMenu2Popup();
    void miDisplayClick();
    void RefreshChange();
    // A display or update interval chosen in icon 1's or 2's menu.
    void DisplayChange(int icon, DisplayCode code);
    void RefreshClick(int icon, std::int32_t milliseconds);
    void ShowCPUCount1Click();
    // The figure and words a hint or a menu title shows for a metric, and an icon's hint.
    std::u16string GetMetricText(std::int32_t metric);
    std::u16string GetIconHint(int icon);

    // The user options, from the main loop and, after an icon click, from the main thread. Throws
    // RegistryError at a wrong-typed value or a bad colour text, with what was read so far in
    // force. A read that finds another one running asks the loop for a read instead.
    void ReadUserOptions();
    // The callers' read: such an error is traced and ends the read, not the service.
    void ReadUserOptionsOrTrace();

    // Working objects, created before the loop and freed after it.
    void GetMemory();
    void FreeMemory();
    // Fresh memory and file cache figures; both icons redraw at their next servicing.
    void RefreshFigures();
    // The recovery's wait: slices of 100 ms (none for less), each followed by the pending service
    // requests; a stop, quit or peak request ends it early.
    void SleepSliced(std::int32_t milliseconds);

    // Hot keys of the user options, registered on a window of the calling thread; released from
    // any thread. A press arrives on the thread that built them.
    void BuildHotkeys();
    void ReleaseHotkeys();
    void GlobalHotKeysHotKey(int index);

    // Request flags: other threads only set them; the main loop clears each just before acting.
    std::atomic<bool> ReadUserOptionsRequested{false};
    std::atomic<bool> SendPeakRequested{false};
    std::atomic<bool> HotKeysIgnored{false};
    std::atomic<bool> ReadLocalOptionsRequested{false};
    std::atomic<bool> RecoverRequested{false};
    std::atomic<bool> KeepIconsOnRecover{false};
    std::atomic<bool> RestoreInProgress{false};
    std::atomic<bool> QuitRequested{false};
    std::atomic<bool> RefreshRequested{false};
    std::atomic<bool> TestFlag1{false};
    std::atomic<bool> TestFlag2{false};
    std::atomic<bool> TestFlag3{false};
    // Set while the user options are read; the loop draws nothing meanwhile.
    std::atomic<bool> UserOptionsBusy{false};
    // The tray icons have been created at logon; an options read then shows or hides icon 2 at
    // once.
    std::atomic<bool> IconsCreated{false};

    // Start-up state.
    std::string ShellProcessName;  // lower-case file name of the Winlogon shell
    bool PerCoreSampling = true;   // per-processor CPU figures can be collected

    // Who is logged on, as the service thread last saw it.
    TSessionRecord Session() const { return session_.Get(); }
    // The loop's own user is somebody, not "SYSTEM".
    bool UserLoggedOn() const;
    bool FirstRun = false;  // the user had no options yet; set by ReadUserOptions

    // Options of tray icon 1 or 2: a drawing works on a copy; a menu change or an options read
    // publishes a whole new record.
    TConfig Config(int icon) const;
    void PublishConfig(int icon, const TConfig& config);
    // Machine options, read on the service thread; the tray menus toggle Recover and the start
    // mode. Every write holds optionsLock_. Recover and LoadOnWindowsStartup change on the main
    // thread too: read them through MachineOptions(). The other fields change only on the service
    // thread, which may read them directly.
    TMachineOptions LocalOptions;
    TMachineOptions MachineOptions() const;
    // User option: the process scan moves update windows out of sight.
    std::atomic<bool> Autohide{false};
    // The captions of both tray menus and the hint words, as the last options read left them.
    TMenuCaptions MenuCaptions() const { return menuCaptions_.Get(); }
    // Tray icon 1's or 2's history and last drawn value, copied.
    TIconDrawState IconDrawState(int icon) const;
    // Both icons draw again at their next servicing, whatever they showed.
    void ForceRedraw();

    // Counters of the main loop, in passes (the elapsed times in ms). Members, not locals, because
    // the file cache control, the auto-recovery decision and the option reader adjust them.
    std::int32_t Icon1Elapsed = 0;
    std::int32_t Icon2Elapsed = 0;
    std::int32_t MemoryAge = 999;
    std::int32_t Icon2MemoryAge = 999;
    bool MemorySampledThisPass = false;
    std::int32_t PostponeCountdown = 0;
    // Atomic: an options read on the main thread resets it.
    std::atomic<std::int32_t> CacheCounter{999};
    std::int32_t TrimCounter = 1580;
    std::int32_t PassesSinceRecovery = 0;
    std::uint32_t LastInstallerProcessId = 0;

    // Working objects. The option reader and writer are dropped at logoff and made again at
    // logon; a null reference means there are none.
    std::shared_ptr<RegistryKey> OptionReader() const;
    std::shared_ptr<RegistryKey> OptionWriter() const;
    std::optional<TPipe> CpuBusyHistory;
    // The counter reader lives as long as the service, as its module lives as long as the
    // process; the sampler uses it.
    CpuUsageCounters CpuCounters;
    // The icon bitmaps, the blank bitmap, the six fonts and the icons handed to the tray.
    std::optional<TIconRenderer> Renderer;
    // Created and freed on the service thread under samplerLock_, which the control thread holds
    // while it samples memory for code 129.
    std::optional<TSystemData> SystemData;

  protected:
    // Virtual so that the tests can watch the session check and stand in for a failing creation
    // of the working objects.
    virtual std::string GetSessionUser(const std::string& previousName);
    virtual void CreateDrawingObjects();
    virtual void CreateHistoriesAndSampler();
    // Tray icons around a RAM recovery: the busy image without menus, then back.
    virtual void ShowBusyIcons();
    virtual void RestoreIcons();
    void SetUserSid(std::string sid);

  private:
    // Main loop.
    void StartExecute();
    void RunPass();
    void ServiceRequestsAndIcons();
    void ServiceIcon(int number, const TConfig& config, std::int32_t& elapsed,
                     std::int32_t& memoryAge);
    void UserChange();
    void InstallerWatch();
    void EndExecute();
    void Trim();

    // Shows the text without waiting, reports the service stopped with exitCode as its own
    // code, and ends the process.
    void CriticalError(const std::string& text, std::uint32_t exitCode);
    // The end of a critical error whose box is already shown.
    void EndWithCriticalError(std::uint32_t exitCode);

    // Steps of the loop, in the files of their concerns.
    void LoadMainIcon();
    std::int32_t EnablePrivilege(const std::string& name);
    void ReadLocalOptions();
    // The loop's call: a wrong-typed value is traced and ends the read, not the service.
    void ReadLocalOptionsOrTrace();
    // Flips one menu-checked machine option, stores it through store, tells the settings program.
    void ToggleMachineOption(bool TMachineOptions::*flag, const std::function<void(bool)>& store);
    // Bounds in bytes into the file cache record, sent with NtSetSystemInformation.
    void SetFileCache(std::int64_t minimum, std::int64_t maximum);
    void ShowSettings(bool atStart);
    // Starts the command line as the logged-on user on the interactive desktop.
    void UserExecute(const std::string& commandLine);
    void RemoveOldRunEntry();
    void CreateIcon();
    void FreeIcon();
    void ShowProductIcon(int number);
    // Tray icon 1 or 2 shown or hidden, from any thread.
    void SetTrayIconVisible(int number, bool visible);
    void DrawIcon(int number, std::int32_t kind, std::uint32_t value, std::uint32_t maximum);
    void RecoverMemory();
    void AutoRecoveryDecision();
    void AdjustFileCache();
    void UserLogoff();
    void UserLogon();
    void EnableCounters();
    void CheckFullScreen();
    void FreeDrawingObjects();

    Guarded<TIconDrawState>& IconDrawRecord(int icon);
    const Guarded<TIconDrawState>& IconDrawRecord(int icon) const;

    platform::Platform& platform_;
    ServiceFramework framework_;
    ThreadWindow mainWindow_;

    // Tray icons (TrayIcons.cpp), made on the main thread with the service and used only there;
    // other threads reach them through OnMainThread.
    void CreateTrayIcons();
    TTrayIcon& TrayIcon(int number);
    // Runs work on the main thread: at once when called there, else posted. AndWait returns once
    // it has run, or after a bounded wait when the main thread cannot run it.
    void OnMainThread(std::function<void()> work);
    void OnMainThreadAndWait(std::function<void()> work);
    // The drawing objects take the icon's fonts and colours when they differ from the last ones.
    void ApplyDrawingOptions(int number, const TConfig& config);
    std::thread::id mainThread_;
    TImageList ImageList1;  // 0 the busy icon, 1 the product icon
    TPopupMenu PopupMenu1{platform_.menus, "PopupMenu1"};
    TPopupMenu PopupMenu2{platform_.menus, "PopupMenu2"};
    TPopupMenu& PopupMenu(int icon);
    // The items of both menus with their handlers, made once.
    void BuildTrayMenus();
    void MenuOpening(int icon);
    void TrayIconClick(int icon);
    // Writes to the user's option key as the user (creating it); skipped when nobody is logged
    // on. Then UserOptionsChangedByMenu tells the settings program and trims.
    void WriteUserOptions(const std::function<void(RegistryKey&)>& write);
    void UserOptionsChangedByMenu();
    std::optional<TTrayIcon> TrayIcon1;
    std::optional<TTrayIcon> TrayIcon2;
    // The service thread's: the options the drawing objects were last given, per icon.
    std::optional<TConfig> drawingOptions_[2];
    Guarded<TSessionRecord> session_;
    Guarded<TConfig> config1_{DefaultIcon1Config()};
    Guarded<TConfig> config2_{DefaultIcon2Config()};
    Guarded<TIconDrawState> iconDraw1_;
    Guarded<TIconDrawState> iconDraw2_;
    Guarded<TRegistryObjects> registryObjects_;
    Guarded<TMenuCaptions> menuCaptions_{DefaultMenuCaptions()};
    // Taken for the whole of an options read, so that reads on two threads never interleave.
    std::atomic<bool> userOptionsReading_{false};
    // Steps of the options read (UserOptions.cpp): one icon's pass over the user key, and the
    // language with the captions it gives.
    void ReadIconPass(int icon, TConfig& config, std::int32_t& version);
    void ApplyUserLanguage(TConfig& config1);
    // Runs use on the sampler under its guard, briefly: nothing in it may block. Returns what
    // use returns, or a value-initialised result while there is no sampler.
    template <typename Use>
    auto WithSampler(Use use) {
        std::lock_guard guard(samplerLock_);
        using Result = decltype(use(*SystemData));
        if constexpr (std::is_void_v<Result>) {
            if (SystemData) use(*SystemData);
        } else {
            return SystemData ? use(*SystemData) : Result{};
        }
    }
    std::mutex samplerLock_;
    // optionsLock_ guards LocalOptions and the two toggle counts, briefly. A read that overlapped
    // a menu toggle keeps the toggled options as the menu left them, which is also what the
    // registry holds by then.
    mutable std::mutex optionsLock_;
    std::uint64_t toggleGeneration_ = 0;
    int togglesWriting_ = 0;
    void PublishReadOptions(TMachineOptions options, std::uint64_t generation);

    // Session tracking (Session*.cpp).
    void ScanSessionProcesses();
    std::string ImpersonatedUserName();
    std::vector<std::uint8_t> TokenUserRecord(platform::Handle token);
    ImpersonationTable impersonations_;
    // Session checks since one found a shell process but not its user.
    int checksSinceUnknownUser_ = 0;
    // The thread of the session check, which alone runs the process scan.
    std::atomic<std::thread::id> sessionThread_{};

    GlobalHotKeysOwner hotKeys_{platform_.windows,
                                [this](TGlobalHotKeys&, int index) { GlobalHotKeysHotKey(index); }};
};

}  // namespace kxp
