// Owner for the process and token handles the Security facility opens: closed through the same
// facility, so that the simulated machine sees every close as Windows would.
#pragma once

#include "platform/Platform.h"
#include "platform/UniqueHandle.h"

namespace kxp {

struct CloseWithSecurity {
    platform::Security* security = nullptr;
    void operator()(platform::Handle handle) const { security->CloseHandle(handle); }
};

using UniqueSecurityHandle = unique_handle<platform::Handle, CloseWithSecurity>;

// Takes ownership of a handle the facility returned (0 stays empty).
inline UniqueSecurityHandle OwnHandle(platform::Security& security, platform::Handle handle) {
    return UniqueSecurityHandle(handle, CloseWithSecurity{&security});
}

}  // namespace kxp
