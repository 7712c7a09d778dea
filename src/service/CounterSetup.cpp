// The start-up step that lets the counter reader find its data: the switches that would disable
// the system's performance counters are removed, unless the machine options forbid it.
#include <string>

#include "config/MachineOptions.h"
#include "platform/RegistryKey.h"
#include "platform/Trace.h"
#include "service/TKorvanelXPService.h"

namespace kxp {
namespace {

constexpr const char* kCounterKeys[] = {
    "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib",
    "\\SYSTEM\\CurrentControlSet\\Services\\PerfOS\\Performance",
    "\\SYSTEM\\CurrentControlSet\\Services\\PerfProc\\Performance",
    "\\SYSTEM\\CurrentControlSet\\Services\\PerfDisk\\Performance",
};
constexpr const char* kDisableCountersValue = "Disable Performance Counters";

}  // namespace

void TKorvanelXPService::EnableCounters() {
    Trace("!!!!!!!!!!!!!!!EnableCounters");
    // Read from the registry: at start-up the options are not in memory yet.
    if (ReadStoredNoCounters(platform_.registry)) {
        Trace("NoCounters");
        return;
    }
    int number = 0;
    for (const char* path : kCounterKeys) {
        ++number;
        // Opened, never created: a key the machine lacks stays absent.
        auto key = RegistryKey::OpenWrite(platform_.registry, platform::RegistryRoot::LocalMachine,
                                          path, false);
        if (!key.IsOpen()) continue;
        Trace("key" + std::to_string(number) + " opened");
        if (key.ValueExists(kDisableCountersValue)) key.DeleteValue(kDisableCountersValue);
        Trace("value written");
    }
    Trace("+EnableCounters !!!!!!!!!!!!!!");
}

}  // namespace kxp
