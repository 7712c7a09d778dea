// Construction, the framework handlers, the working objects and the Exit item.
#include <algorithm>
#include <cctype>
#include <exception>

#include "platform/Trace.h"
#include "service/ServiceTexts.h"
#include "service/TKorvanelXPService.h"

namespace kxp {
namespace {

// The lower-case file name of the Winlogon shell value, quotes around the path removed.
std::string ShellFileName(const std::string& shellValue) {
    std::string name = shellValue.substr(shellValue.find_last_of('\\') + 1);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (name.size() > 1) {
        if (name.front() == '"') name.erase(0, 1);
        if (!name.empty() && name.back() == '"') name.pop_back();
    }
    return name;
}

}  // namespace

TKorvanelXPService::TKorvanelXPService(platform::Platform& platform)
    : CpuCounters(platform.registry, platform.system),
      platform_(platform),
      framework_(platform.services, platform.windows, texts::kServiceName,
                 ServiceHandlers{[this] { ServiceStart(); }, [this] { ServiceExecute(); },
                                 [this] { ServiceStop(); }, [this] { ServiceShutdown(); }}) {
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

void TKorvanelXPService::Control(std::uint32_t code) {
    ServiceControlHandler(code);
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
        OptionReader.emplace();
        OptionWriter.emplace();
        CreateDrawingObjects();
    } catch (const std::exception& error) {
        Trace(std::string("###### error 1: ") + error.what());
        CriticalError(texts::kCriticalError + std::string(error.what()));
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
        CriticalError(texts::kCriticalErrorOne);
    }

    SystemData->ShellName = ShellProcessName;
    UserKeyPath.clear();
    UserOptionsBusy = false;
    Trace("+GetMemory");
}

void TKorvanelXPService::CreateHistoriesAndSampler() {
    History1.emplace(15);
    History2.emplace(15);
    CpuBusyHistory.emplace(0);
    std::lock_guard guard(samplerLock_);
    SystemData.emplace(platform_, &CpuCounters);
}

void TKorvanelXPService::FreeMemory() {
    Trace("FreeMemory");
    FreeDrawingObjects();
    OptionReader.reset();
    OptionWriter.reset();
    History1.reset();
    History2.reset();
    CpuBusyHistory.reset();
    {
        std::lock_guard guard(samplerLock_);
        SystemData.reset();
    }
    Trace("+FreeMemory");
}

void TKorvanelXPService::CriticalError(const std::string& text) {
    platform_.windows.MessageBoxA(text, texts::kServiceName,
                                  platform::kMbOk | platform::kMbIconError);
    platform_.process.ExitProcess(1);
}

}  // namespace kxp
