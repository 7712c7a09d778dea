// Installing and removing the service, error texts and the event log: the calls made outside the
// running service.
#include <array>

#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32ServiceHost.h"

namespace kxp::win32 {

std::uint32_t Win32ServiceHost::InstallService(const platform::ServiceDeclaration& service,
                                               const std::string& binaryPath) {
    UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE));
    if (!manager) return ::GetLastError();
    const DWORD type =
        SERVICE_WIN32_OWN_PROCESS | (service.interactive ? SERVICE_INTERACTIVE_PROCESS : 0);
    // No account given: the service runs as the local system account.
    UniqueServiceHandle created(
        ::CreateServiceA(manager.get(), service.name.c_str(), service.displayName.c_str(),
                         SERVICE_QUERY_STATUS, type, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL,
                         binaryPath.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
    return created ? ERROR_SUCCESS : ::GetLastError();
}

std::uint32_t Win32ServiceHost::UninstallService(const std::string& name) {
    UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return ::GetLastError();
    UniqueServiceHandle service(::OpenServiceA(manager.get(), name.c_str(), DELETE));
    if (!service) return ::GetLastError();
    return ::DeleteService(service.get()) ? ERROR_SUCCESS : ::GetLastError();
}

std::string Win32ServiceHost::ErrorText(std::uint32_t errorCode) {
    std::array<char, 1024> buffer{};
    const DWORD length =
        ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                         errorCode, 0, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr);
    std::string text(buffer.data(), length < buffer.size() ? length : 0);
    // System texts end with a line break.
    const auto end = text.find_last_not_of(" \t\r\n");
    text.erase(end == std::string::npos ? 0 : end + 1);
    // A code the system has no text for is still worth showing.
    return text.empty() ? "System error " + std::to_string(errorCode) : text;
}

void Win32ServiceHost::LogError(const std::string& source, const std::string& text) {
    UniqueEventSource eventSource(::RegisterEventSourceA(nullptr, source.c_str()));
    if (!eventSource) return;
    const char* strings[] = {text.c_str()};
    ::ReportEventA(eventSource.get(), EVENTLOG_ERROR_TYPE, 0, 0, nullptr, 1, 0, strings, nullptr);
}

}  // namespace kxp::win32
