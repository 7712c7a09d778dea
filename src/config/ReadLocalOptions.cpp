// The service's machine options: the read on the service thread, the loop's guarded call, and the
// two tray menu writers on the main thread.
#include <functional>
#include <mutex>

#include "config/MachineOptions.h"
#include "platform/RegistryKey.h"
#include "platform/Trace.h"
#include "service/ServiceTexts.h"
#include "service/TKorvanelXPService.h"

namespace kxp {

TMachineOptions TKorvanelXPService::MachineOptions() const {
    std::lock_guard guard(optionsLock_);
    return LocalOptions;
}

void TKorvanelXPService::PublishMachineOptions(const TMachineOptions& options) {
    std::lock_guard guard(optionsLock_);
    LocalOptions = options;
}

void TKorvanelXPService::ReadLocalOptions() {
    if (RestoreInProgress) return;
    TMachineOptions options;
    {
        // A menu toggle waits for the read to be published, so that neither overwrites the other.
        std::lock_guard update(optionsUpdateLock_);
        options = MachineOptions();
        try {
            ReadMachineOptionValues(platform_.registry, options);
            if (SystemData) {
                SystemData->AltShellName = options.Shell;
                SystemData->UseAltShell = options.ShellInUse;
            }
            options.LoadOnWindowsStartup = false;
            options.LoadOnWindowsStartup = ReadLoadOnWindowsStartup(platform_.registry);
        } catch (...) {
            // The values read before the failure count, the later ones keep their defaults.
            PublishMachineOptions(options);
            throw;
        }
        PublishMachineOptions(options);
    }
    Trace(DescribeMachineOptions(options));
    if (options.Cache > 0) EnablePrivilege("SeIncreaseQuotaPrivilege");
}

void TKorvanelXPService::ReadLocalOptionsOrTrace() {
    try {
        ReadLocalOptions();
    } catch (const RegistryError& error) {
        // A wrong-typed value ends the read, never the service.
        Trace(std::string("###### ReadLocalOptions error: ") + error.what());
    }
}

void TKorvanelXPService::ToggleMachineOption(bool TMachineOptions::*flag,
                                             const std::function<void(bool)>& store) {
    {
        // The toggle and its registry write are one step, so a reread never splits them.
        std::lock_guard update(optionsUpdateLock_);
        bool value = false;
        {
            std::lock_guard guard(optionsLock_);
            value = LocalOptions.*flag = !(LocalOptions.*flag);
        }
        store(value);
    }
    SendToSettings(kSettingsMachineOptionsChanged, 0);
    Trim();
}

void TKorvanelXPService::miAutoRecoveryClick() {
    ToggleMachineOption(&TMachineOptions::Recover, [this](bool recover) {
        auto key = RegistryKey::OpenWrite(platform_.registry, platform::RegistryRoot::LocalMachine,
                                          texts::kMachineOptionsKey, true);
        if (!key.WriteBool("Recover", recover)) Trace("Recover setting write error");
    });
}

void TKorvanelXPService::miLoadWinClick() {
    ToggleMachineOption(&TMachineOptions::LoadOnWindowsStartup, [this](bool load) {
        auto key = RegistryKey::OpenWrite(platform_.registry, platform::RegistryRoot::LocalMachine,
                                          texts::kServiceKey, true);
        key.WriteInteger("Start", load ? kStartAutomatic : kStartOnDemand);
    });
}

}  // namespace kxp
