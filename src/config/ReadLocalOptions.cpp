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

void TKorvanelXPService::PublishReadOptions(TMachineOptions options, std::uint64_t generation) {
    std::lock_guard guard(optionsLock_);
    if (toggleGeneration_ != generation || togglesWriting_ > 0) {
        options.Recover = LocalOptions.Recover;
        options.LoadOnWindowsStartup = LocalOptions.LoadOnWindowsStartup;
    }
    LocalOptions = options;
}

void TKorvanelXPService::ReadLocalOptions() {
    if (RestoreInProgress) return;
    TMachineOptions options;
    std::uint64_t generation = 0;
    {
        std::lock_guard guard(optionsLock_);
        options = LocalOptions;
        generation = toggleGeneration_;
    }
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
        PublishReadOptions(options, generation);
        throw;
    }
    PublishReadOptions(options, generation);
    options = MachineOptions();
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
    bool value = false;
    {
        std::lock_guard guard(optionsLock_);
        value = LocalOptions.*flag = !(LocalOptions.*flag);
        ++toggleGeneration_;
        ++togglesWriting_;
    }
    store(value);
    {
        std::lock_guard guard(optionsLock_);
        --togglesWriting_;
        ++toggleGeneration_;
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
