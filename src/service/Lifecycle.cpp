// Construction, the framework handlers, the working objects and the Exit item.
#include <exception>

#include "config/ShellFileName.h"
#include "platform/Trace.h"
#include "service/ServiceTexts.h"
#include "service/TKorvanelXPService.h"

namespace kxp {
namespace {

// How long a critical error's box, where the process shows it itself, stays up before the process
// goes; the service is reported stopped before that.
constexpr std::uint32_t kCriticalBoxGraceMs = 30000;

}  // namespace

TKorvanelXPService::TKorvanelXPService(platform::Platform& platform)
    : CpuCounters(platform.registry, platform.system),
      platform_(platform),
      framework_(platform.services, platform.windows, platform.clock, texts::kServiceName,
                 ServiceHandlers{[this] { ServiceStart(); }, [this] { ServiceExecute(); },
                                 [this] { ServiceStop(); }, [this] { ServiceShutdown(); }}),
      mainWindow_(platform.windows, texts::kMainWindowClass) {
    // The option records start as a reading of an empty key leaves them.
    for (const int icon : {1, 2}) {
        TConfig config = Config(icon);
        ApplyForeColor(config);
        PublishConfig(icon, config);
    }
    CreateTrayIcons();
    try {
        CpuCounters.StartCounterUnit();
    } catch (const CounterError&) {
        // The reader answers every later call with this error; start-up traces it and goes on
        // without counters.
    }
}

void TKorvanelXPService::ServiceMain() {
    framework_.ServiceMain();
}

std::uint32_t TKorvanelXPService::Control(std::uint32_t code) {
    return ServiceControlHandler(code);
}

bool TKorvanelXPService::PostToMainThread(std::function<void()> work) {
    return mainWindow_.Post(std::move(work));
}

void TKorvanelXPService::ServiceStart() {
    ShellProcessName.clear();
    try {
        const auto winlogon = RegistryKey::OpenRead(
            platform_.registry, platform::RegistryRoot::LocalMachine, texts::kWinlogonKey);
        if (winlogon.ValueExists(texts::kWinlogonShellValue)) {
            ShellProcessName = ShellFileName(winlogon.ReadString(texts::kWinlogonShellValue));
        }
    } catch (const std::exception&) {
        // An unreadable shell value means the default shell.
    }
    if (ShellProcessName.empty()) ShellProcessName = texts::kDefaultShell;
}

void TKorvanelXPService::ServiceStop() {
    Trace("Stop");
}

void TKorvanelXPService::ServiceShutdown() {
    Trace("Shutdown");
}

void TKorvanelXPService::ServiceAfterInstall() {}

void TKorvanelXPService::miExitClick() {
    Trace("---Exit---");
    QuitRequested = true;
}

void TKorvanelXPService::TrayIcon1Startup() {
    Trace("TrayIcon1Startup");
}

void TKorvanelXPService::GetMemory() {
    Trace("GetMemory");
    ReadUserOptionsRequested = false;
    SendPeakRequested = true;
    HotKeysIgnored = false;
    ReadLocalOptionsRequested = false;
    RecoverRequested = false;
    KeepIconsOnRecover = false;
    RestoreInProgress = false;
    QuitRequested = false;
    RefreshRequested = false;
    TestFlag1 = false;
    TestFlag2 = false;
    TestFlag3 = false;
    PassesSinceRecovery = 60000;

    try {
        registryObjects_.Set(
            TRegistryObjects{std::make_shared<RegistryKey>(), std::make_shared<RegistryKey>()});
        CreateDrawingObjects();
    } catch (const std::exception& error) {
        Trace(std::string("###### error 1: ") + error.what());
        CriticalError(texts::kCriticalError + std::string(error.what()),
                      texts::kExitDrawingObjectsFailed);
    }

    EnableCounters();
    try {
        CpuCounters.QueryProcessorCount();  // only whether the counters can be read matters
    } catch (const std::exception& error) {
        Trace(std::string("###### error2: ") + error.what());
        PerCoreSampling = false;
    }

    try {
        CreateHistoriesAndSampler();
    } catch (const std::exception&) {
        CriticalError(texts::kCriticalErrorOne, texts::kExitWorkingObjectsFailed);
    }

    SystemData->ShellName = ShellProcessName;
    session_.Update([](TSessionRecord& session) { session.UserKeyPath.clear(); });
    UserOptionsBusy = false;
    Trace("+GetMemory");
}

void TKorvanelXPService::CreateHistoriesAndSampler() {
    for (int icon : {1, 2}) {
        IconDrawRecord(icon).Update([](TIconDrawState& draw) { draw.History.emplace(15); });
    }
    CpuBusyHistory.emplace(0);
    std::lock_guard guard(samplerLock_);
    SystemData.emplace(platform_, &CpuCounters);
}

void TKorvanelXPService::FreeMemory() {
    Trace("FreeMemory");
    FreeDrawingObjects();
    registryObjects_.Set({});
    for (int icon : {1, 2}) {
        IconDrawRecord(icon).Update([](TIconDrawState& draw) { draw.History.reset(); });
    }
    CpuBusyHistory.reset();
    {
        std::lock_guard guard(samplerLock_);
        SystemData.reset();
    }
    Trace("+FreeMemory");
}

void TKorvanelXPService::CriticalError(const std::string& text, std::uint32_t exitCode) {
    platform_.windows.ShowMessage(text, texts::kServiceName,
                                  platform::kMbOk | platform::kMbIconError);
    EndWithCriticalError(exitCode);
}

void TKorvanelXPService::EndWithCriticalError(std::uint32_t exitCode) {
    // Without this the control manager would show the ended service as running.
    framework_.ReportFatal(exitCode);
    platform_.windows.WaitForShownMessages(kCriticalBoxGraceMs);
    platform_.process.ExitProcess(exitCode);
}

}  // namespace kxp
