#include "platform/Trace.h"
#include "platform/UniqueHandle.h"
#include "service/TKorvanelXPService.h"
#include "sysinfo/FileCache.h"

namespace kxp {
namespace {

struct CloseToken {
    platform::Privileges* privileges = nullptr;
    void operator()(platform::Handle token) const { privileges->CloseToken(token); }
};
using UniqueToken = unique_handle<platform::Handle, CloseToken>;

}  // namespace

std::int32_t EnableTokenPrivilege(platform::Privileges& privileges, const std::string& name) {
    const UniqueToken token(
        privileges.OpenProcessToken(platform::kTokenAdjustPrivileges | platform::kTokenQuery),
        CloseToken{&privileges});
    if (!token) return kPrivilegeNoToken;
    platform::Luid luid;
    if (!privileges.LookupPrivilegeValueA(name, luid)) return kPrivilegeUnknownName;
    if (privileges.AdjustTokenPrivileges(token.get(), luid, platform::kSePrivilegeEnabled) != 0) {
        return kPrivilegeNotAdjusted;
    }
    return kPrivilegeEnabled;
}

std::int32_t TKorvanelXPService::EnablePrivilege(const std::string& name) {
    const std::int32_t result = EnableTokenPrivilege(platform_.privileges, name);
    if (result != kPrivilegeEnabled)
        Trace("EnablePrivilege " + name + ": " + std::to_string(result));
    return result;
}

}  // namespace kxp
