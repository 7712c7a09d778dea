#include "settings/win32/ServiceChannel.h"

#include <windows.h>

#include "platform/win32/Win32Handles.h"

namespace kxp::settings {
namespace {

// A standard user may query the service and send it its own codes, but not start or stop it.
win32::UniqueServiceHandle OpenService(DWORD access) {
    const win32::UniqueServiceHandle manager(
        ::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return {};
    return win32::UniqueServiceHandle(::OpenServiceW(manager.get(), kServiceName, access));
}

}  // namespace

bool ServiceIsRunning() {
    const auto service = OpenService(SERVICE_QUERY_STATUS);
    SERVICE_STATUS status{};
    return service && ::QueryServiceStatus(service.get(), &status) &&
           status.dwCurrentState == SERVICE_RUNNING;
}

bool SendServiceCode(int code) {
    const auto service = OpenService(SERVICE_USER_DEFINED_CONTROL | SERVICE_QUERY_STATUS);
    SERVICE_STATUS status{};
    return service && ::ControlService(service.get(), static_cast<DWORD>(code), &status);
}

}  // namespace kxp::settings
