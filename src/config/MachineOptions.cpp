#include "config/MachineOptions.h"

#include <utility>

#include "config/ShellFileName.h"
#include "platform/RegistryKey.h"
#include "platform/Trace.h"
#include "service/ServiceTexts.h"

namespace kxp {
namespace {

constexpr std::int64_t kMiB = 1048576;
constexpr std::int64_t kPassesPerMinute = 60;

// Scaled in 64 bits: any stored 32-bit figure times a MiB still fits.
std::int64_t Scaled(const RegistryKey& key, const char* name, std::int64_t unit) {
    return std::int64_t{key.ReadInteger(name)} * unit;
}

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
    const bool loadOnWindowsStartup = options.LoadOnWindowsStartup;
    options = TMachineOptions{};
    options.LoadOnWindowsStartup = loadOnWindowsStartup;

    const auto key = RegistryKey::OpenRead(registry, platform::RegistryRoot::LocalMachine,
                                           texts::kMachineOptionsKey);
    if (!key.IsOpen()) {
        Trace("ReadLocalOptions key1 error");
        return;
    }
    if (key.ValueExists("NoCounters")) options.NoCounters = key.ReadBool("NoCounters");
    if (key.ValueExists("Recover")) options.Recover = key.ReadBool("Recover");
    if (key.ValueExists("Below")) options.Below = Scaled(key, "Below", kMiB);
    if (key.ValueExists("Pause")) options.Pause = Scaled(key, "Pause", kPassesPerMinute);
    if (key.ValueExists("Postpone")) options.Postpone = key.ReadBool("Postpone");
    if (key.ValueExists("Threshold")) options.Threshold = key.ReadInteger("Threshold");
    if (key.ValueExists("Cache")) options.Cache = key.ReadInteger("Cache");
    if (key.ValueExists("AdvCache")) options.AdvCache = key.ReadBool("AdvCache");
    if (key.ValueExists("CacheMin")) options.CacheMin = Scaled(key, "CacheMin", kMiB);
    if (key.ValueExists("CacheMax")) options.CacheMax = Scaled(key, "CacheMax", kMiB);
    if (key.ValueExists("Shell")) {
        ShellOption shell = ParseShellOption(key.ReadString("Shell"));
        options.Shell = std::move(shell.name);
        options.ShellInUse = shell.inUse;
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
