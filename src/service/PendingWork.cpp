// Steps of the service that later work fills in. Each does nothing yet (or the least that keeps
// the loop correct); the comment names the work that completes it.
#include "platform/Trace.h"
#include "service/TKorvanelXPService.h"

namespace kxp {

// User options (also sets FirstRun, UserOptionsBusy and CacheCounter). Its last step, the hot
// keys of the options read, is there already.
void TKorvanelXPService::ReadUserOptions() {
    BuildHotkeys();
}

// Settings program launch.
void TKorvanelXPService::ShowSettings(bool) {}

// Settings program launch: the old "Korvanel" Run value.
void TKorvanelXPService::RemoveOldRunEntry() {}

// Settings program launch: Settings... and a double click on either icon.
void TKorvanelXPService::miSettingsClick() {}

}  // namespace kxp
