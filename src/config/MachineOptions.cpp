#include "config/MachineOptions.h"

#include "config/MachineOptionDefinitions.h"
#include "config/ShellFileName.h"
#include "platform/RegistryKey.h"
#include "platform/Trace.h"
#include "service/ServiceTexts.h"

namespace kxp {
namespace {

std::string Flag(bool value) {
    return value ? "1" : "0";
}

}  // namespace

ShellOption ParseShellOption(const std::string& value) {
    ShellOption shell;
    shell.name = ShellFileName(value);
    // The quotes count: a name that was longer than one character before they went is in use.
    shell.inUse = FileNamePart(value).size() > 1;
    return shell;
}

void ReadMachineOptionValues(platform::Registry& registry, TMachineOptions& options) {
    SetMachineDefaults(options);

    const auto key = RegistryKey::OpenRead(registry, platform::RegistryRoot::LocalMachine,
                                           texts::kMachineOptionsKey);
    if (!key.IsOpen()) {
        Trace("ReadLocalOptions key1 error");
        return;
    }
    for (const auto& option : MachineOptionDefinitions()) {
        if (key.ValueExists(option.name)) ReadMachineOption(key, option, options);
    }
}

bool ReadStoredNoCounters(platform::Registry& registry) {
    const auto key = RegistryKey::OpenRead(registry, platform::RegistryRoot::LocalMachine,
                                           texts::kMachineOptionsKey);
    try {
        return key.ValueExists("NoCounters") && key.ReadBool("NoCounters");
    } catch (const RegistryError&) {
        return false;
    }
}

bool ReadLoadOnWindowsStartup(platform::Registry& registry) {
    const auto key =
        RegistryKey::OpenRead(registry, platform::RegistryRoot::LocalMachine, texts::kServiceKey);
    if (!key.IsOpen()) {
        Trace("ReadLocalOptions key 2error");
        return false;
    }
    return key.ReadInteger("Start") == kStartAutomatic;
}

std::string DescribeMachineOptions(const TMachineOptions& options) {
    return "ReadLocalOptions NoCounters=" + Flag(options.NoCounters) +
           " Recover=" + Flag(options.Recover) + " Below=" + std::to_string(options.Below) +
           " Pause=" + std::to_string(options.Pause) + " Postpone=" + Flag(options.Postpone) +
           " Threshold=" + std::to_string(options.Threshold) +
           " Cache=" + std::to_string(options.Cache) + " AdvCache=" + Flag(options.AdvCache) +
           " CacheMin=" + std::to_string(options.CacheMin) +
           " CacheMax=" + std::to_string(options.CacheMax) + " Shell=" + options.Shell +
           " ShellInUse=" + Flag(options.ShellInUse) +
           " LoadOnWindowsStartup=" + Flag(options.LoadOnWindowsStartup);
}

}  // namespace kxp
