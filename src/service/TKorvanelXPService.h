// The service data module: owner of all of the service's state, its lifecycle handlers, the main
// loop and the request channel. Its code is split by concern across the files of this folder.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "config/TConfig.h"
#include "config/TMachineOptions.h"
#include "platform/Platform.h"
#include "platform/RegistryKey.h"
#include "service/ServiceFramework.h"
#include "service/SessionImpersonation.h"
#include "sysinfo/TPipe.h"
#include "sysinfo/TSystemData.h"
#include "tray/TIconRenderer.h"

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

class TKorvanelXPService : public platform::ServiceEntry {
  public:
    explicit TKorvanelXPService(platform::Platform& platform);
    TKorvanelXPService(const TKorvanelXPService&) = delete;
    TKorvanelXPService& operator=(const TKorvanelXPService&) = delete;

    // platform::ServiceEntry: the framework runs the service; every control code goes to
    // ServiceControlHandler.
    void ServiceMain() override;
    void Control(std::uint32_t code) override;

    // Framework handlers, on the service thread.
    void ServiceStart();
    void ServiceExecute();
    void ServiceStop();
    void ServiceShutdown();
    void ServiceAfterInstall();

    // Request channel. The handler runs on the dispatcher thread; SendToSettings on any thread.
    void ServiceControlHandler(std::uint32_t code);
    void SendToSettings(std::uint32_t code, std::int64_t value);

    // Act as the logged-on user on the calling thread, from any thread; EndImpersonation only
    // after ImpersonateShellUser returned true, on the same thread, with the same switch.
    // UserToken is the calling thread's user token while it impersonates, else 0.
    bool ImpersonateShellUser(bool loadProfile);
    void EndImpersonation(bool profileLoaded);
    platform::Handle UserToken() const;

    // Tray handlers, on the main thread.
    void miExitClick();
    void miRecoverRamClick();
    // Auto-recovery and start-mode toggles: the option in memory, then the registry,
    // notification 6 and a trim.
    void miAutoRecoveryClick();
    void miLoadWinClick();
    void TrayIcon1Startup();

    // Working objects, created before the loop and freed after it.
    void GetMemory();
    void FreeMemory();
    // Fresh memory and file cache figures; both icons redraw at their next servicing.
    void RefreshFigures();
    // The recovery's wait: slices of 100 ms (none for less), each followed by the pending service
    // requests; a stop, quit or peak request ends it early.
    void SleepSliced(std::int32_t milliseconds);

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

    // Start-up state.
    std::string ShellProcessName;  // lower-case file name of the Winlogon shell
    bool PerCoreSampling = true;   // per-processor CPU figures can be collected

    // Who is logged on.
    std::string CurrentUserName;
    std::string LoopUserName;
    std::string UserSid;  // "\S-1-..." of the logged-on user, empty for nobody
    std::string UserKeyPath;
    std::string UserRunKeyPath;
    bool FirstRun = false;  // the user had no options yet; set by ReadUserOptions

    // Options of tray icon 1 and tray icon 2.
    TConfig Config1 = DefaultIcon1Config();
    TConfig Config2 = DefaultIcon2Config();
    // Machine options, read on the service thread; the tray menus toggle Recover and the start
    // mode. Every write holds optionsLock_. Recover and LoadOnWindowsStartup change on the main
    // thread too: read them through MachineOptions(). The other fields change only on the service
    // thread, which may read them directly.
    TMachineOptions LocalOptions;
    TMachineOptions MachineOptions() const;
    // User option: the process scan moves update windows out of sight.
    bool Autohide = false;
    // The renderer's last drawn values; -1 forces the next drawing.
    std::int32_t LastValue1 = -1;
    std::int32_t LastValue2 = -1;

    // Counters of the main loop, in passes (the elapsed times in ms). Members, not locals, because
    // the file cache control, the auto-recovery decision and the option reader adjust them.
    std::int32_t Icon1Elapsed = 0;
    std::int32_t Icon2Elapsed = 0;
    std::int32_t MemoryAge = 999;
    std::int32_t Icon2MemoryAge = 999;
    bool MemorySampledThisPass = false;
    std::int32_t PostponeCountdown = 0;
    std::int32_t CacheCounter = 999;
    std::int32_t TrimCounter = 1580;
    std::int32_t PassesSinceRecovery = 0;
    std::uint32_t LastInstallerProcessId = 0;

    // Working objects. The option reader and writer are freed at logoff and made again at logon.
    std::optional<RegistryKey> OptionReader;
    std::optional<RegistryKey> OptionWriter;
    std::optional<TPipe> History1;
    std::optional<TPipe> History2;
    std::optional<TPipe> CpuBusyHistory;
    // The icon bitmaps, the blank bitmap, the six fonts and the icons handed to the tray.
    std::optional<TIconRenderer> Renderer;
    // Created and freed on the service thread under samplerLock_, which the control thread holds
    // while it samples memory for code 129.
    std::optional<TSystemData> SystemData;

  protected:
    // Virtual so that the tests can stand in for them: the session check (a logged-on user
    // without a shell process), the creation of the working objects (a failing creation).
    virtual std::string GetSessionUser(const std::string& previousName);
    virtual void CreateDrawingObjects();
    virtual void CreateHistoriesAndSampler();
    // Tray icons around a RAM recovery: the busy image without menus, then back.
    virtual void ShowBusyIcons();
    virtual void RestoreIcons();

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

    // Shows the text and ends the process at once.
    void CriticalError(const std::string& text);

    // Later work (see PendingWork.cpp).
    void LoadMainIcon();
    std::int32_t EnablePrivilege(const std::string& name);
    void ReadLocalOptions();
    // The loop's call: a wrong-typed value is traced and ends the read, not the service.
    void ReadLocalOptionsOrTrace();
    void PublishMachineOptions(const TMachineOptions& options);
    // Flips one menu-checked machine option, stores it through store, tells the settings program.
    void ToggleMachineOption(bool TMachineOptions::*flag, const std::function<void(bool)>& store);
    // Bounds in bytes into the file cache record, sent with NtSetSystemInformation.
    void SetFileCache(std::int64_t minimum, std::int64_t maximum);
    void ReadUserOptions();
    void ShowSettings(bool atStart);
    void RemoveOldRunEntry();
    void CreateIcon();
    void FreeIcon();
    void ShowProductIcon(int number);
    void DrawIcon(int number, std::int32_t kind, std::uint32_t value, std::uint32_t maximum);
    void BuildHotkeys();
    void ReleaseHotkeys();
    void RecoverMemory();
    void AutoRecoveryDecision();
    void AdjustFileCache();
    void UserLogoff();
    void UserLogon();
    void EnableCounters();
    bool QueryCounterProcessorCount();
    void CheckFullScreen();
    void FreeDrawingObjects();

    platform::Platform& platform_;
    ServiceFramework framework_;
    std::mutex samplerLock_;
    // optionsLock_ guards LocalOptions, briefly; optionsUpdateLock_ makes a whole read or a menu
    // toggle with its registry write one step, so that neither loses the other's change.
    mutable std::mutex optionsLock_;
    std::mutex optionsUpdateLock_;

    // Session tracking (Session*.cpp).
    void ScanSessionProcesses();
    std::string ImpersonatedUserName();
    std::vector<std::uint8_t> TokenUserRecord(platform::Handle token);
    ImpersonationTable impersonations_;
    // The thread of the session check, which alone runs the process scan.
    std::atomic<std::thread::id> sessionThread_{};
};

}  // namespace kxp
