// Steps of the service that later work fills in. Each does nothing yet (or the least that keeps
// the loop correct); the comment names the work that completes it.
#include "platform/Trace.h"
#include "service/TKorvanelXPService.h"

namespace kxp {

// Tray icons: the "MAINICON" resource into image list 1.
void TKorvanelXPService::LoadMainIcon() {}

// Tray menus: show and hide the tray icons, the product icon on one of them.
void TKorvanelXPService::CreateIcon() {}
void TKorvanelXPService::FreeIcon() {}
void TKorvanelXPService::ShowProductIcon(int) {}
void TKorvanelXPService::SetTrayIconVisible(int, bool) {}

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

// Hot keys. The build's first trace is there already, so that the installer watch can be
// followed (a rebuild once no installer runs any more).
void TKorvanelXPService::BuildHotkeys() {
    Trace("BuildHotkeys");
}
void TKorvanelXPService::ReleaseHotkeys() {}
void TKorvanelXPService::GlobalHotKeysHotKey(int) {}

// Tray menus: the busy image on both icons during a RAM recovery, and back.
void TKorvanelXPService::ShowBusyIcons() {}
void TKorvanelXPService::RestoreIcons() {}
}  // namespace kxp
