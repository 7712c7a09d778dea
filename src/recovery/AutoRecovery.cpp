// The auto-recovery decision, step 2 of every pass: ask for a recovery when free memory is below
// the limit, no sooner than the pause allows and, optionally, not while the processor is busy.
#include <cstdint>
#include <limits>
#include <string>

#include "platform/Trace.h"
#include "service/TKorvanelXPService.h"

namespace kxp {
namespace {

constexpr std::int32_t kDecisionMemoryAgeLimit = 5;
constexpr std::int32_t kPostponePasses = 3;

}  // namespace

void TKorvanelXPService::AutoRecoveryDecision() {
    // A copy: the tray menu may toggle Recover on the main thread meanwhile.
    const TMachineOptions options = MachineOptions();
    if (!options.Recover || PostponeCountdown != 0) return;
    // Stops at the top instead of wrapping: a service running for decades stays armed.
    if (PassesSinceRecovery < std::numeric_limits<std::int32_t>::max()) ++PassesSinceRecovery;
    if (PassesSinceRecovery < options.Pause) return;

    if (MemoryAge > kDecisionMemoryAgeLimit) {
        SystemData->UpdateMemory();
        MemoryAge = 0;
    }
    const std::int64_t avail = SystemData->Memory().AvailPhys;
    if (avail >= options.Below) return;
    Trace("below value reached: " + std::to_string(avail) + "<" + std::to_string(options.Below));

    if (!options.Postpone) {
        RecoverRequested = true;
        return;
    }
    // Only the low 16 bits of the threshold count, compared unsigned like the history's slots.
    const bool busy = CpuBusyHistory->AnyAbove(static_cast<std::uint16_t>(options.Threshold));
    if (UserLoggedOn()) {
        if (busy) {
            PostponeCountdown = kPostponePasses;
            Trace("Autorecovery: postponing 3 ticks");
        } else {
            RecoverRequested = true;
            Trace("Autorecovery: " + std::to_string(SystemData->CpuIdleAll));
        }
    } else if (!busy) {
        // With nobody logged on no countdown is set: the test repeats in every pass.
        RecoverRequested = true;
    }
}

}  // namespace kxp
