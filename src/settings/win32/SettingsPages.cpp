#include "settings/win32/SettingsPages.h"

#include "settings/win32/FileCachePage.h"
#include "settings/win32/GeneralPage.h"
#include "settings/win32/HotKeysPage.h"
#include "settings/win32/MemoryPage.h"
#include "settings/win32/TrayIconsPage.h"

namespace kxp::settings {

std::vector<std::unique_ptr<SettingsPage>> MakeSettingsPages() {
    std::vector<std::unique_ptr<SettingsPage>> pages;
    pages.push_back(std::make_unique<GeneralPage>());
    pages.push_back(std::make_unique<TrayIconsPage>());
    pages.push_back(std::make_unique<MemoryPage>());
    pages.push_back(std::make_unique<FileCachePage>());
    pages.push_back(std::make_unique<HotKeysPage>());
    return pages;
}

}  // namespace kxp::settings
