// Owners for the Windows handles the platform opens: one alias per kind of handle, each with the
// function that releases that kind.
#pragma once

#include <windows.h>

#include "platform/UniqueHandle.h"

namespace kxp::win32 {

// Calls Release on the handle; its result is of no use once the handle is being dropped.
template <auto Release>
struct ReleaseWith {
    template <typename T>
    void operator()(T handle) const {
        Release(handle);
    }
};

using UniqueKernelHandle = unique_handle<HANDLE, ReleaseWith<&::CloseHandle>>;
using UniqueRegistryKey = unique_handle<HKEY, ReleaseWith<&::RegCloseKey>>;
using UniqueServiceHandle = unique_handle<SC_HANDLE, ReleaseWith<&::CloseServiceHandle>>;
using UniqueEventSource = unique_handle<HANDLE, ReleaseWith<&::DeregisterEventSource>>;
// A directory search; FindFirstFileA's failure value is never wrapped.
using UniqueFindHandle = unique_handle<HANDLE, ReleaseWith<&::FindClose>>;

}  // namespace kxp::win32
