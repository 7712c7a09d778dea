// The records the service thread shares with the main thread: the icons' options, what the icons
// drew last, the registry objects and the session's user.
#include "service/ServiceTexts.h"
#include "service/TKorvanelXPService.h"

namespace kxp {

TConfig TKorvanelXPService::Config(int icon) const {
    return (icon == 1 ? config1_ : config2_).Get();
}

void TKorvanelXPService::PublishConfig(int icon, const TConfig& config) {
    (icon == 1 ? config1_ : config2_).Set(config);
}

Guarded<TIconDrawState>& TKorvanelXPService::IconDrawRecord(int icon) {
    return icon == 1 ? iconDraw1_ : iconDraw2_;
}

const Guarded<TIconDrawState>& TKorvanelXPService::IconDrawRecord(int icon) const {
    return icon == 1 ? iconDraw1_ : iconDraw2_;
}

TIconDrawState TKorvanelXPService::IconDrawState(int icon) const {
    return IconDrawRecord(icon).Get();
}

void TKorvanelXPService::ForceRedraw() {
    for (int icon : {1, 2}) {
        IconDrawRecord(icon).Update([](TIconDrawState& draw) { draw.LastValue = -1; });
    }
}

std::shared_ptr<RegistryKey> TKorvanelXPService::OptionReader() const {
    return registryObjects_.Get().OptionReader;
}

std::shared_ptr<RegistryKey> TKorvanelXPService::OptionWriter() const {
    return registryObjects_.Get().OptionWriter;
}

bool TKorvanelXPService::UserLoggedOn() const {
    return session_.Read(
        [](const TSessionRecord& session) { return session.LoopUserName != texts::kNobody; });
}

void TKorvanelXPService::SetUserSid(std::string sid) {
    session_.Update([&sid](TSessionRecord& session) { session.UserSid = std::move(sid); });
}

}  // namespace kxp
