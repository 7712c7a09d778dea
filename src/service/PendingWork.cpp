// Steps of the service that later work fills in. Each does nothing yet (or the least that keeps
// the loop correct); the comment names the work that completes it.
#include "platform/Trace.h"
#include "service/TKorvanelXPService.h"

namespace kxp {

// User options (also sets FirstRun, UserOptionsBusy, CacheCounter and builds the hot keys).
void TKorvanelXPService::ReadUserOptions() {}

// Settings program launch.
void TKorvanelXPService::ShowSettings(bool) {}

// Settings program launch: the old "Korvanel" Run value.
void TKorvanelXPService::RemoveOldRunEntry() {}

// Settings program launch: Settings... and a double click on either icon.
void TKorvanelXPService::miSettingsClick() {}

// Hot keys. The build's first trace is there already, so that the installer watch can be
// followed (a rebuild once no installer runs any more).
void TKorvanelXPService::BuildHotkeys() {
    Trace("BuildHotkeys");
}
void TKorvanelXPService::ReleaseHotkeys() {}
void TKorvanelXPService::GlobalHotKeysHotKey(int) {}
}  // namespace kxp
