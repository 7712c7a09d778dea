// Who is logged on: the owner of the shell process, found by impersonating it; and the
// impersonation pair that lets the service act as that user.
#include <array>
#include <string>
#include <thread>
#include <vector>

#include "platform/Trace.h"
#include "service/ServiceTexts.h"
#include "service/SessionSid.h"
#include "service/TKorvanelXPService.h"

namespace kxp {
namespace {

constexpr std::uint32_t kUserNameChars = 256;
// A TokenUser record is a few dozen bytes; a platform asking for more than this is not believed.
constexpr std::uint32_t kMaxTokenUserBytes = 64 * 1024;
// A shell process whose user could not be had is asked again after this many session checks, so
// that one failed impersonation does not leave the whole session without icons and requests.
constexpr int kUnknownUserRetryChecks = 5;

}  // namespace

std::string TKorvanelXPService::GetSessionUser(const std::string& previousName) {
    sessionThread_ = std::this_thread::get_id();
    const std::int32_t previousShell = SystemData->ShellProcessId;
    ScanSessionProcesses();
    const std::int32_t shell = SystemData->ShellProcessId;
    // The same shell process as before: the same user, and no impersonation.
    if (shell != 0 && shell == previousShell &&
        (previousName != texts::kNobody || ++checksSinceUnknownUser_ < kUnknownUserRetryChecks)) {
        return previousName;
    }
    checksSinceUnknownUser_ = 0;

    SetUserSid({});
    std::string name = texts::kNobody;
    if (ImpersonateShellUser(false)) {
        const std::string user = ImpersonatedUserName();
        // A name that cannot be read leaves nobody identified, like a failed impersonation.
        if (!user.empty()) {
            name = user;
            std::string sid(1, '\\');
            sid += TokenUserSidText(TokenUserRecord(UserToken()));
            Trace("Session user: " + name + " " + sid);
            SetUserSid(std::move(sid));
        }
        EndImpersonation(false);
    }
    impersonations_.SetProfileUserName(name);
    return name;
}

bool TKorvanelXPService::ImpersonateShellUser(bool loadProfile) {
    std::int32_t shell = 0;
    if (std::this_thread::get_id() == sessionThread_.load()) {
        ScanSessionProcesses();
        shell = SystemData->ShellProcessId;
    } else {
        // The sampler belongs to the service thread: another thread takes the shell process of
        // its latest scan (at most one pass old) instead of scanning beside it.
        shell =
            WithSampler([](const TSystemData& sampler) { return sampler.ShellProcessId.load(); });
    }
    // A second impersonation on one thread would end the first one's early.
    if (shell == 0 || impersonations_.Active()) return false;

    auto& security = platform_.security;
    Impersonation state;
    state.ShellProcessHandle = OwnHandle(
        security,
        security.OpenProcess(platform::kProcessQueryInformation | platform::kProcessVmRead, false,
                             static_cast<std::uint32_t>(shell)));
    if (!state.ShellProcessHandle) return false;
    const auto processToken = OwnHandle(
        security,
        security.OpenProcessToken(state.ShellProcessHandle.get(), platform::kTokenDuplicate));
    if (!processToken) return false;
    state.UserToken =
        OwnHandle(security, security.DuplicateTokenEx(processToken.get(), platform::kTokenAllAccess,
                                                      platform::kSecurityImpersonation,
                                                      platform::kTokenPrimary));
    if (!state.UserToken) return false;

    const std::string user = impersonations_.ProfileUserName();
    if (loadProfile && user != texts::kNobody) {
        state.UserProfileInfo = platform::ProfileInfo{platform::kPiNoUi, user, 0};
        if (security.LoadUserProfileA(state.UserToken.get(), state.UserProfileInfo)) {
            Trace("Profile loaded");
        } else {
            Trace("Profile not loaded: " + std::to_string(security.GetLastError()));
        }
    }
    if (!security.ImpersonateLoggedOnUser(state.UserToken.get())) {
        // Nobody will call EndImpersonation: unload here what was loaded; the handles close.
        if (state.UserProfileInfo.profile != 0) {
            security.UnloadUserProfile(state.UserToken.get(), state.UserProfileInfo.profile);
        }
        return false;
    }
    impersonations_.Put(std::move(state));
    return true;
}

void TKorvanelXPService::EndImpersonation(bool profileLoaded) {
    auto state = impersonations_.Take();
    if (!state) return;
    auto& security = platform_.security;
    if (profileLoaded && state->UserProfileInfo.profile != 0) {
        security.UnloadUserProfile(state->UserToken.get(), state->UserProfileInfo.profile);
    }
    security.RevertToSelf();
    state->UserToken.reset();
    state->ShellProcessHandle.reset();
}

platform::Handle TKorvanelXPService::UserToken() const {
    return impersonations_.UserToken();
}

std::string TKorvanelXPService::ImpersonatedUserName() {
    std::array<char, kUserNameChars> buffer{};
    std::uint32_t size = kUserNameChars;
    if (!platform_.security.GetUserNameA(buffer.data(), size)) return {};
    buffer.back() = '\0';
    return buffer.data();
}

// GetTokenInformation with TokenUser, the buffer grown to the size the platform asks for.
std::vector<std::uint8_t> TKorvanelXPService::TokenUserRecord(platform::Handle token) {
    auto& security = platform_.security;
    std::vector<std::uint8_t> record;
    for (;;) {
        std::uint32_t needed = 0;
        if (security.GetTokenInformation(token, platform::kTokenUser, record.data(),
                                         static_cast<std::uint32_t>(record.size()), needed)) {
            return record;
        }
        if (security.GetLastError() != platform::kErrorInsufficientBuffer ||
            needed <= record.size() || needed > kMaxTokenUserBytes) {
            return {};
        }
        record.assign(needed, 0);
    }
}

}  // namespace kxp
