// Everything the settings window edits, as loaded from the registry and saved back as a whole.
#pragma once

#include "settings/MachineSettings.h"
#include "settings/UserSettings.h"

namespace kxp::settings {

struct SettingsState {
    UserSettings user;
    MachineSettings machine;
    // False for a standard user under UAC: the machine pages are shown read-only.
    bool machineWritable = true;
};

}  // namespace kxp::settings
