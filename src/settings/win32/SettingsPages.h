// The pages of the settings window, in the order of their tabs.
#pragma once

#include <memory>
#include <vector>

#include "settings/win32/SettingsPage.h"

namespace kxp::settings {

std::vector<std::unique_ptr<SettingsPage>> MakeSettingsPages();

}  // namespace kxp::settings
