// Steps of the service that later work fills in. Each does nothing yet (or the least that keeps
// the loop correct); the comment names the work that completes it.
#include "platform/Trace.h"
#include "service/TKorvanelXPService.h"

namespace kxp {

// Tray icons: the "MAINICON" resource into image list 1.
void TKorvanelXPService::LoadMainIcon() {}

// User options (also sets FirstRun, UserOptionsBusy and CacheCounter). Its last step, the hot
// keys of the options read, is there already.
void TKorvanelXPService::ReadUserOptions() {
    BuildHotkeys();
}

// Settings program launch.
void TKorvanelXPService::ShowSettings(bool) {}

// Settings program launch: the old "Korvanel" Run value.
void TKorvanelXPService::RemoveOldRunEntry() {}

// Tray menus: show and hide the tray icons, the product icon on one of them.
void TKorvanelXPService::CreateIcon() {}
void TKorvanelXPService::FreeIcon() {}
void TKorvanelXPService::ShowProductIcon(int) {}
void TKorvanelXPService::SetTrayIconVisible(int, bool) {}
void TKorvanelXPService::miSettingsClick() {}

// Icon renderer.
void TKorvanelXPService::DrawIcon(int, std::int32_t, std::uint32_t, std::uint32_t) {}

// Icon renderer: bitmaps, icon and fonts of the working objects.
void TKorvanelXPService::CreateDrawingObjects() {
    Renderer.emplace(platform_.drawing, platform_.locale);
    Renderer->Objects().ApplyOptions(1, Config(1));
    Renderer->Objects().ApplyOptions(2, Config(2));
}
void TKorvanelXPService::FreeDrawingObjects() {
    Renderer.reset();
}

// Tray menus: the busy image on both icons during a RAM recovery, and back.
void TKorvanelXPService::ShowBusyIcons() {}
void TKorvanelXPService::RestoreIcons() {}
}  // namespace kxp
