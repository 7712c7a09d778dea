// The sampler's process and window checks as the service runs them, with its own switches.
#include "service/TKorvanelXPService.h"

namespace kxp {

void TKorvanelXPService::ScanSessionProcesses() {
    SystemData->ScanProcesses(PerCoreSampling, Autohide);
}

void TKorvanelXPService::CheckFullScreen() {
    SystemData->CheckFullScreen();
}

}  // namespace kxp
