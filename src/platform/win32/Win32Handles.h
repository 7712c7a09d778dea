// Owners for the Windows handles the platform opens: one alias per kind of handle, each with the
// function that releases that kind.
#pragma once

#include <windows.h>

#include "platform/Platform.h"
#include "platform/UniqueHandle.h"

namespace kxp::win32 {

// The seam carries kernel handles (processes, tokens, profiles) as integers; these convert them at
// the Windows call.
inline HANDLE AsHandle(platform::Handle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

inline platform::Handle FromHandle(HANDLE handle) {
    return reinterpret_cast<platform::Handle>(handle);
}

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
// GDI: objects go only once no DC has them selected.
using UniqueGdiObject = unique_handle<HGDIOBJ, ReleaseWith<&::DeleteObject>>;
using UniqueDc = unique_handle<HDC, ReleaseWith<&::DeleteDC>>;
using UniqueIcon = unique_handle<HICON, ReleaseWith<&::DestroyIcon>>;
// Memory the system handed out with LocalAlloc, as CommandLineToArgvW does.
using UniqueLocalMemory = unique_handle<HLOCAL, ReleaseWith<&::LocalFree>>;

// The screen's DC, lent by GetDC and given back with ReleaseDC.
class ScreenDc {
  public:
    ScreenDc() : dc_(::GetDC(nullptr)) {}
    ~ScreenDc() {
        if (dc_ != nullptr) ::ReleaseDC(nullptr, dc_);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HDC dc_;
};

}  // namespace kxp::win32
