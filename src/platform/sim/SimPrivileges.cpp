#include "platform/sim/SimPrivileges.h"

#include <array>
#include <mutex>

#include "platform/sim/SimState.h"

namespace kxp::sim::detail {
namespace {

constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kErrorNotAllAssigned = 1300;
constexpr std::uint32_t kErrorNoSuchPrivilege = 1313;

struct KnownPrivilege {
    const char* name;
    std::uint32_t luid;  // the identifiers Windows gives them
};

constexpr std::array kKnownPrivileges = {
    KnownPrivilege{"SeCreateTokenPrivilege", 2},
    KnownPrivilege{"SeAssignPrimaryTokenPrivilege", 3},
    KnownPrivilege{"SeLockMemoryPrivilege", 4},
    KnownPrivilege{"SeIncreaseQuotaPrivilege", 5},
    KnownPrivilege{"SeTcbPrivilege", 7},
    KnownPrivilege{"SeSecurityPrivilege", 8},
    KnownPrivilege{"SeBackupPrivilege", 17},
    KnownPrivilege{"SeRestorePrivilege", 18},
    KnownPrivilege{"SeShutdownPrivilege", 19},
    KnownPrivilege{"SeDebugPrivilege", 20},
    KnownPrivilege{"SeChangeNotifyPrivilege", 23},
    KnownPrivilege{"SeImpersonatePrivilege", 29},
};

const KnownPrivilege* FindByName(const std::string& name) {
    const std::string lower = ToLower(name);
    for (const auto& known : kKnownPrivileges) {
        if (ToLower(known.name) == lower) return &known;
    }
    return nullptr;
}

const KnownPrivilege* FindByLuid(const platform::Luid& luid) {
    if (luid.HighPart != 0) return nullptr;
    for (const auto& known : kKnownPrivileges) {
        if (known.luid == luid.LowPart) return &known;
    }
    return nullptr;
}

}  // namespace

std::string CanonicalPrivilegeName(const std::string& name) {
    const KnownPrivilege* known = FindByName(name);
    return known != nullptr ? known->name : "";
}

platform::Handle SimPrivileges::OpenProcessToken(std::uint32_t access) {
    std::lock_guard lock(state_.mutex);
    auto& token = state_.token;
    if (token.failOpen) return 0;
    const platform::Handle handle = token.nextToken;
    token.nextToken += 4;
    token.openTokens[handle] = access;
    return handle;
}

void SimPrivileges::CloseToken(platform::Handle token) {
    std::lock_guard lock(state_.mutex);
    state_.token.openTokens.erase(token);
}

bool SimPrivileges::LookupPrivilegeValueA(const std::string& name, platform::Luid& luid) {
    const KnownPrivilege* known = FindByName(name);
    if (known == nullptr) return false;
    luid = platform::Luid{known->luid, 0};
    return true;
}

std::uint32_t SimPrivileges::AdjustTokenPrivileges(platform::Handle token,
                                                   const platform::Luid& luid,
                                                   std::uint32_t attributes) {
    std::lock_guard lock(state_.mutex);
    auto& state = state_.token;
    const auto open = state.openTokens.find(token);
    if (open == state.openTokens.end()) return kErrorInvalidHandle;
    if ((open->second & platform::kTokenAdjustPrivileges) == 0) return kErrorAccessDenied;
    const KnownPrivilege* known = FindByLuid(luid);
    if (known == nullptr) return kErrorNoSuchPrivilege;
    state.adjustments.emplace_back(known->name);
    if (state.held && !state.held->contains(known->name)) return kErrorNotAllAssigned;
    if ((attributes & platform::kSePrivilegeEnabled) != 0) {
        state.enabled.insert(known->name);
    } else {
        state.enabled.erase(known->name);
    }
    return 0;
}

}  // namespace kxp::sim::detail
