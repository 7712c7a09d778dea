// Steps of the service that later work fills in. Each does nothing yet (or the least that keeps
// the loop correct); the comment names the work that completes it.
#include "service/ServiceTexts.h"
#include "service/TKorvanelXPService.h"

namespace kxp {

// Session tracking: the shell process's user, impersonated. Until it lands nobody is identified.
std::string TKorvanelXPService::GetSessionUser(const std::string&) {
    SystemData->ScanProcesses(PerCoreSampling, false);
    return texts::kNobody;
}

// Tray icons: the "MAINICON" resource into image list 1.
void TKorvanelXPService::LoadMainIcon() {}

// File cache control: one privilege in the service's own token.
std::int32_t TKorvanelXPService::EnablePrivilege(const std::string&) {
    return 0;
}

// Machine options.
void TKorvanelXPService::ReadLocalOptions() {}

// User options (also sets FirstRun, UserOptionsBusy, CacheCounter and builds the hot keys).
void TKorvanelXPService::ReadUserOptions() {}

// Settings program launch.
void TKorvanelXPService::ShowSettings(bool) {}

// Settings program launch: the old "Korvanel" Run value.
void TKorvanelXPService::RemoveOldRunEntry() {}

// Tray menus: show and hide the tray icons, the product icon on one of them.
void TKorvanelXPService::CreateIcon() {}
void TKorvanelXPService::FreeIcon() {}
void TKorvanelXPService::ShowProductIcon(int) {}

// Icon renderer.
void TKorvanelXPService::DrawIcon(int, std::int32_t, std::uint32_t, std::uint32_t) {}

// Icon renderer: bitmaps, icon and fonts of the working objects.
void TKorvanelXPService::CreateDrawingObjects() {}
void TKorvanelXPService::FreeDrawingObjects() {}

// Hot keys.
void TKorvanelXPService::BuildHotkeys() {}
void TKorvanelXPService::ReleaseHotkeys() {}

// RAM recovery.
void TKorvanelXPService::RecoverMemory() {}

// Auto-recovery policy.
void TKorvanelXPService::AutoRecoveryDecision() {}

// File cache control (also advances CacheCounter).
void TKorvanelXPService::AdjustFileCache() {}

// Session tracking: the logoff and logon steps of a user change.
void TKorvanelXPService::UserLogoff() {}
void TKorvanelXPService::UserLogon() {}

// CPU usage counters.
void TKorvanelXPService::EnableCounters() {}
bool TKorvanelXPService::QueryCounterProcessorCount() {
    return false;
}

// Process and window watch: the sampler's full-screen flag.
void TKorvanelXPService::CheckFullScreen() {}

}  // namespace kxp
