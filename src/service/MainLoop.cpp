// ServiceExecute: the start of the loop, one pass, icon servicing and the end of the loop.
#include <cstdint>

#include "platform/Trace.h"
#include "service/ServiceTexts.h"
#include "service/TKorvanelXPService.h"
#include "tray/DisplayModel.h"

namespace kxp {
namespace {

constexpr std::int32_t kPassMs = 1000;
constexpr std::int32_t kTrimAbove = 1600;
constexpr std::int32_t kTrimAfterPeakReport = 1595;  // the periodic trim follows six passes later
constexpr std::int32_t kIconMemoryAgeLimit = 10;

constexpr const char* kPrivileges[] = {
    "SeIncreaseQuotaPrivilege", "SeImpersonatePrivilege", "SeAssignPrimaryTokenPrivilege",
    "SeCreateTokenPrivilege",   "SeTcbPrivilege",         "SeRestorePrivilege",
    "SeBackupPrivilege",
};

// Counters wrap instead of overflowing: a Refresh near the top of the range from the registry
// must not make the elapsed time undefined.
void Advance(std::int32_t& counter, std::int32_t by) {
    counter = static_cast<std::int32_t>(static_cast<std::uint32_t>(counter) +
                                        static_cast<std::uint32_t>(by));
}

bool IsNobody(const std::string& user) {
    return user == texts::kNobody;
}

}  // namespace

void TKorvanelXPService::ServiceExecute() {
    StartExecute();
    while (!framework_.Terminated() && !QuitRequested) RunPass();
    EndExecute();
}

void TKorvanelXPService::StartExecute() {
    LoadMainIcon();
    for (const char* privilege : kPrivileges) EnablePrivilege(privilege);
    GetMemory();
    const std::string user = GetSessionUser(Session().CurrentUserName);
    session_.Update([&user](TSessionRecord& session) {
        session.LoopUserName = session.CurrentUserName = user;
    });
    ReadLocalOptionsOrTrace();
    if (!IsNobody(user)) {
        const TSessionRecord session = session_.Update([](TSessionRecord& record) {
            record.UserKeyPath = record.UserSid + texts::kUserOptionsSubkey;
            record.UserRunKeyPath = record.UserSid + texts::kUserRunSubkey;
            return record;
        });
        RefreshFigures();
        SendToSettings(kSettingsPeakUsage, SystemData->Memory().PeakUsedMB);
        ReadUserOptionsOrTrace();
        if (FirstRun) {
            Trace("firstrun!");
            ShowSettings(true);
        }
        const bool oldRunEntry =
            RegistryKey::OpenRead(platform_.registry, platform::RegistryRoot::Users,
                                  session.UserRunKeyPath)
                .ValueExists(texts::kOldRunValue);
        if (oldRunEntry) RemoveOldRunEntry();
        CreateIcon();
    }
    RestoreInProgress = false;
    framework_.ProcessRequests();
    Trace("ServiceExecute SetSize");
    Trim();
    Icon1Elapsed = Config(1).Refresh;
    Icon2Elapsed = Config(2).Refresh;
    MemoryAge = 999;
    Icon2MemoryAge = 999;
    PostponeCountdown = 0;
    CacheCounter = 999;
    TrimCounter = 1580;
}

void TKorvanelXPService::RunPass() {
    MemorySampledThisPass = false;
    AutoRecoveryDecision();
    if (UserLoggedOn()) ServiceRequestsAndIcons();
    AdjustFileCache();
    if (!QuitRequested) platform_.clock.Sleep(kPassMs);
    framework_.ProcessRequests();
    const std::string user = GetSessionUser(
        session_.Read([](const TSessionRecord& record) { return record.CurrentUserName; }));
    const bool userChanged = session_.Update([&user](TSessionRecord& record) {
        record.CurrentUserName = user;
        return record.CurrentUserName != record.LoopUserName;
    });
    // Modulo 2^16, so an unknown figure (-1, -2) becomes 101, 102: as busy as can be.
    CpuBusyHistory->Push(
        static_cast<std::uint16_t>(100u - static_cast<std::uint32_t>(SystemData->CpuIdleAll)));
    if (userChanged) UserChange();
    InstallerWatch();
    if (PostponeCountdown > 0) --PostponeCountdown;
    Advance(TrimCounter, 1);
}

void TKorvanelXPService::ServiceRequestsAndIcons() {
    if (TrimCounter > kTrimAbove) {
        TrimCounter = 0;
        Trim();
    }
    if (SendPeakRequested.exchange(false)) {
        SendToSettings(kSettingsPeakUsage, SystemData->Memory().PeakUsedMB);
        Trim();
        TrimCounter = kTrimAfterPeakReport;
    }
    if (ReadUserOptionsRequested.exchange(false)) {
        ReadUserOptionsOrTrace();
        RefreshRequested = true;
    }
    if (RefreshRequested.exchange(false)) {
        RefreshFigures();
        MemorySampledThisPass = true;
        const TConfig config1 = Config(1);
        const TConfig config2 = Config(2);
        if (config1.Display1 == 0) ShowProductIcon(1);
        if (config2.Display1 == 0) ShowProductIcon(2);
        Icon1Elapsed = config1.Refresh;
        Icon2Elapsed = config2.Refresh;
    }
    if (ReadLocalOptionsRequested.exchange(false)) ReadLocalOptionsOrTrace();
    if (RecoverRequested.exchange(false) && !framework_.Terminated()) RecoverMemory();
    if (!UserOptionsBusy) {
        ServiceIcon(1, Config(1), Icon1Elapsed, MemoryAge);
        ServiceIcon(2, Config(2), Icon2Elapsed, Icon2MemoryAge);
        Advance(Icon1Elapsed, kPassMs);
        Advance(MemoryAge, 1);
        Advance(Icon2Elapsed, kPassMs);
        Advance(Icon2MemoryAge, 1);
    }
}

void TKorvanelXPService::ServiceIcon(int number, const TConfig& config, std::int32_t& elapsed,
                                     std::int32_t& memoryAge) {
    if (elapsed < config.Refresh) return;
    elapsed = 0;
    const std::int32_t kind = config.Display1;
    const std::int32_t metric = config.Display2;
    // An icon without a RAM figure still keeps memory fresh for the other steps.
    if ((kind == 0 || metric > 1) && memoryAge > kIconMemoryAgeLimit) {
        SystemData->UpdateMemory();
        memoryAge = 0;
    }
    CheckFullScreen();
    if (kind == 0 || SystemData->FullScreen || metric > 12) return;
    if (metric == 0 || metric == 1) {
        if (!MemorySampledThisPass) SystemData->UpdateMemory();
        MemorySampledThisPass = true;
        MemoryAge = 0;  // icon 1's age, whichever icon sampled
    } else if (metric == 12) {
        SystemData->UpdatePageFile();
    }
    if (const auto figure = MetricFigure(metric, *SystemData)) {
        DrawIcon(number, kind, figure->Value, figure->Maximum);
    }
}

void TKorvanelXPService::RefreshFigures() {
    SystemData->UpdateMemory();
    SystemData->UpdateFileCache();
    ForceRedraw();
}

void TKorvanelXPService::UserChange() {
    UserLogoff();
    const std::string user = session_.Update(
        [](TSessionRecord& session) { return session.LoopUserName = session.CurrentUserName; });
    if (!IsNobody(user)) UserLogon();
}

void TKorvanelXPService::InstallerWatch() {
    const auto installer = static_cast<std::uint32_t>(SystemData->InstallerProcessId);
    if (installer != 0 && installer != LastInstallerProcessId) {
        LastInstallerProcessId = installer;
        ReleaseHotkeys();
    } else if (LastInstallerProcessId != 0 && installer == 0) {
        BuildHotkeys();
        LastInstallerProcessId = 0;
    }
}

void TKorvanelXPService::EndExecute() {
    Trace(framework_.Terminated() ? "+++++++++++ QUIT terminate +++++++++++++"
                                  : "+++++++++++ QUIT user +++++++++++++");
    SendToSettings(kSettingsServiceEnding, 0);
    FreeMemory();
    // The service thread's windows end with it; its hot keys go first, on this thread.
    ReleaseHotkeys();
    QuitRequested = true;
}

void TKorvanelXPService::Trim() {
    platform_.process.TrimWorkingSet();
}

}  // namespace kxp
