// The sampler's process and window checks as the service runs them, with its own switches.
#include <string>

#include "platform/Trace.h"
#include "service/TKorvanelXPService.h"

namespace kxp {

void TKorvanelXPService::ScanSessionProcesses() {
    try {
        SystemData->ScanProcesses(PerCoreSampling, Autohide);
    } catch (const CounterError& error) {
        // Counters that could be read at start-up and fail later: the native per-processor times
        // take over for good, rather than the error ending the service.
        Trace(std::string("###### error2: ") + error.what());
        PerCoreSampling = false;
        SystemData->ScanProcesses(PerCoreSampling, Autohide);
    }
}

void TKorvanelXPService::CheckFullScreen() {
    SystemData->CheckFullScreen();
}

}  // namespace kxp
