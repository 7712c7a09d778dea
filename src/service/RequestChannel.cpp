// The control handler that turns control codes into request flags, and the notifications to the
// settings program.
#include <string>

#include "platform/Trace.h"
#include "service/ServiceTexts.h"
#include "service/TKorvanelXPService.h"

namespace kxp {

std::uint32_t TKorvanelXPService::ServiceControlHandler(std::uint32_t code) {
    framework_.Control(code);
    switch (code) {
        case platform::kControlStop:
        case platform::kControlShutdown:
        case platform::kControlInterrogate:
            break;
        case SV_READUSEROPTIONS:
            Trace("Request: SV_READUSEROPTIONS");
            ReadUserOptionsRequested = true;
            break;
        case SV_SENDPEAKMEMUSAGE: {
            Trace("Request: SV_SENDPEAKMEMUSAGE");
            WithSampler([](TSystemData& sampler) { sampler.UpdateMemory(); });
            SendPeakRequested = true;
            break;
        }
        case SV_IGNOREHOTKEYS:
            Trace("Request: SV_IGNOREHOTKEYS");
            HotKeysIgnored = true;
            break;
        case SV_ALLOWHOTKEYS:
            Trace("Request: SV_ALLOWHOTKEYS");
            HotKeysIgnored = false;
            break;
        case SV_READLOCALOPTIONS:
            Trace("Request: SV_READLOCALOPTIONS");
            ReadLocalOptionsRequested = true;
            break;
        case RECOVER:
            Trace("Request: RECOVER");
            RecoverRequested = true;
            break;
        case RESTORESTART:
            Trace("Request: RESTORESTART");
            RestoreInProgress = true;
            break;
        case RESTOREEND:
            Trace("Request: RESTOREEND");
            RestoreInProgress = false;
            ReadUserOptionsRequested = true;
            ReadLocalOptionsRequested = true;
            break;
        case SV_QUIT:
            Trace("Request: SV_QUIT");
            QuitRequested = true;
            break;
        case RECOVER_KEEPICONS:
            Trace("Request: RECOVER");
            KeepIconsOnRecover = true;
            RecoverRequested = true;
            break;
        case SV_TEST1:
            Trace("Request: SV_TEST1");
            TestFlag1 = true;
            break;
        case SV_TEST2:
            Trace("Request: SV_TEST2");
            TestFlag2 = true;
            break;
        case SV_TEST3:
            Trace("Request: SV_TEST3");
            TestFlag3 = true;
            break;
        default:
            return platform::kErrorCallNotImplemented;
    }
    return platform::kNoError;
}

void TKorvanelXPService::SendToSettings(std::uint32_t code, std::int64_t value) {
    Trace("Message to settings: " + std::to_string(code));
    auto& windows = platform_.windows;
    const platform::Handle settings = windows.FindWindowA(texts::kSettingsWindowClass, nullptr);
    if (settings == 0) return;
    if (!windows.SendMessageTimeoutA(settings, platform::kWmNull, 0, 0, platform::kSmtoAbortIfHung,
                                     100)) {
        Trace("hung!!");
        return;
    }
    // Bounded, unlike a plain SendMessage: a broadcast waits for every top-level window, and one
    // hung window of an unrelated program would otherwise hold this thread for ever.
    const std::uint32_t message = windows.RegisterWindowMessageA(texts::kSettingsMessageName);
    windows.SendMessageTimeoutA(platform::kHwndBroadcast, message, code,
                                static_cast<std::intptr_t>(value), platform::kSmtoAbortIfHung, 200);
}

}  // namespace kxp
