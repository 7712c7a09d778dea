#include "platform/sim/SimSecurity.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/sim/SimState.h"

namespace kxp::sim::detail {
namespace {

constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorInvalidParameter = 87;
// TOKEN_USER: the SID's address and its attributes, padded to 16 bytes on x64.
constexpr std::size_t kTokenUserHeader = 16;
// The name of the account a thread acts as when it impersonates nobody: the service's own.
constexpr const char* kServiceAccount = "SYSTEM";

// The program a command line starts: the quoted part when it begins with a quote, else all of it.
std::string ProgramOf(const std::string& commandLine) {
    if (!commandLine.starts_with('"')) return commandLine;
    const auto end = commandLine.find('"', 1);
    return commandLine.substr(1, end == std::string::npos ? std::string::npos : end - 1);
}

}  // namespace

std::vector<std::uint8_t> TokenUserImage(const SimAccount& account, std::uintptr_t base) {
    const std::size_t count = account.subAuthorities.size();
    std::vector<std::uint8_t> image(kTokenUserHeader + 8 + count * sizeof(std::uint32_t), 0);
    const std::uintptr_t sidAddress = base + kTokenUserHeader;
    std::memcpy(image.data(), &sidAddress, sizeof sidAddress);
    std::uint8_t* sid = image.data() + kTokenUserHeader;
    sid[0] = account.revision;
    sid[1] = static_cast<std::uint8_t>(count);
    std::copy(account.authority.begin(), account.authority.end(), sid + 2);
    for (std::size_t i = 0; i < count; ++i) {
        std::memcpy(sid + 8 + i * sizeof(std::uint32_t), &account.subAuthorities[i],
                    sizeof(std::uint32_t));
    }
    return image;
}

bool SimSecurity::Report(std::uint32_t error) {
    state_.security.lastError[std::this_thread::get_id()] = error;
    return error == 0;
}

std::uint32_t SimSecurity::InjectedFailure(SimSecurityCall call) const {
    const auto& failures = state_.security.failures;
    const auto found = failures.find(call);
    return found == failures.end() ? 0 : found->second;
}

const SimSecurityObject* SimSecurity::Find(platform::Handle handle,
                                           SimSecurityObject::Kind kind) const {
    const auto& handles = state_.security.handles;
    const auto found = handles.find(handle);
    return found == handles.end() || found->second.kind != kind ? nullptr : &found->second;
}

platform::Handle SimSecurity::NoHandle(std::uint32_t error) {
    Report(error);
    return 0;
}

platform::Handle SimSecurity::NewHandle(SimSecurityObject object) {
    auto& security = state_.security;
    const platform::Handle handle = security.nextHandle;
    security.nextHandle += 4;
    security.handles.emplace(handle, std::move(object));
    return handle;
}

platform::Handle SimSecurity::OpenProcess(std::uint32_t access, bool, std::uint32_t processId) {
    std::lock_guard lock(state_.mutex);
    const bool exists =
        std::any_of(state_.processes.begin(), state_.processes.end(),
                    [processId](const SimProcess& process) { return process.pid == processId; });
    if (!exists) return NoHandle(kErrorInvalidParameter);
    if (state_.security.unopenable.contains(processId)) return NoHandle(kErrorAccessDenied);
    if (const auto error = InjectedFailure(SimSecurityCall::OpenProcess)) return NoHandle(error);
    state_.security.openedProcesses.push_back(processId);
    return NewHandle({SimSecurityObject::Kind::Process, processId, access, {}});
}

bool SimSecurity::TerminateProcess(platform::Handle process, std::uint32_t) {
    std::lock_guard lock(state_.mutex);
    const auto* object = Find(process, SimSecurityObject::Kind::Process);
    if (object == nullptr) return Report(kErrorInvalidHandle);
    if ((object->access & platform::kProcessTerminate) == 0) return Report(kErrorAccessDenied);
    if (!Report(InjectedFailure(SimSecurityCall::TerminateProcess))) return false;
    const std::uint32_t processId = object->processId;
    std::erase_if(state_.processes,
                  [processId](const SimProcess& p) { return p.pid == processId; });
    state_.security.terminated.push_back(processId);
    return true;
}

bool SimSecurity::CloseHandle(platform::Handle handle) {
    std::lock_guard lock(state_.mutex);
    return Report(state_.security.handles.erase(handle) == 1 ? 0 : kErrorInvalidHandle);
}

platform::Handle SimSecurity::OpenProcessToken(platform::Handle process, std::uint32_t access) {
    std::lock_guard lock(state_.mutex);
    const auto* object = Find(process, SimSecurityObject::Kind::Process);
    if (object == nullptr) return NoHandle(kErrorInvalidHandle);
    const auto owner = state_.security.owners.find(object->processId);
    if (owner == state_.security.owners.end()) return NoHandle(kErrorAccessDenied);
    if (const auto error = InjectedFailure(SimSecurityCall::OpenProcessToken)) {
        return NoHandle(error);
    }
    return NewHandle({SimSecurityObject::Kind::Token, object->processId, access, owner->second});
}

platform::Handle SimSecurity::DuplicateTokenEx(platform::Handle token, std::uint32_t access,
                                               std::uint32_t, std::uint32_t) {
    std::lock_guard lock(state_.mutex);
    const auto* object = Find(token, SimSecurityObject::Kind::Token);
    if (object == nullptr) return NoHandle(kErrorInvalidHandle);
    if ((object->access & platform::kTokenDuplicate) == 0) return NoHandle(kErrorAccessDenied);
    if (const auto error = InjectedFailure(SimSecurityCall::DuplicateTokenEx)) {
        return NoHandle(error);
    }
    SimSecurityObject duplicate = *object;
    duplicate.access = access;
    return NewHandle(std::move(duplicate));
}

bool SimSecurity::ImpersonateLoggedOnUser(platform::Handle token) {
    std::lock_guard lock(state_.mutex);
    const auto* object = Find(token, SimSecurityObject::Kind::Token);
    if (object == nullptr) return Report(kErrorInvalidHandle);
    if (!Report(InjectedFailure(SimSecurityCall::ImpersonateLoggedOnUser))) return false;
    state_.security.impersonating[std::this_thread::get_id()] = object->account;
    ++state_.security.impersonations;
    return true;
}

bool SimSecurity::RevertToSelf() {
    std::lock_guard lock(state_.mutex);
    state_.security.impersonating.erase(std::this_thread::get_id());
    return Report(0);
}

bool SimSecurity::GetUserNameA(char* buffer, std::uint32_t& size) {
    std::lock_guard lock(state_.mutex);
    if (!Report(InjectedFailure(SimSecurityCall::GetUserName))) return false;
    const auto& impersonating = state_.security.impersonating;
    const auto found = impersonating.find(std::this_thread::get_id());
    const std::string name = found == impersonating.end() ? kServiceAccount : found->second.name;
    const auto needed = static_cast<std::uint32_t>(name.size() + 1);
    if (buffer == nullptr || size < needed) {
        size = needed;
        return Report(platform::kErrorInsufficientBuffer);
    }
    std::memcpy(buffer, name.c_str(), needed);
    size = needed;
    return true;
}

bool SimSecurity::GetTokenInformation(platform::Handle token, std::uint32_t informationClass,
                                      void* buffer, std::uint32_t length,
                                      std::uint32_t& returnLength) {
    std::lock_guard lock(state_.mutex);
    const auto* object = Find(token, SimSecurityObject::Kind::Token);
    if (object == nullptr) return Report(kErrorInvalidHandle);
    if (informationClass != platform::kTokenUser) return Report(kErrorInvalidParameter);
    if (!Report(InjectedFailure(SimSecurityCall::GetTokenInformation))) return false;
    const auto image = TokenUserImage(object->account, reinterpret_cast<std::uintptr_t>(buffer));
    returnLength = static_cast<std::uint32_t>(image.size());
    if (buffer == nullptr || length < image.size()) {
        return Report(platform::kErrorInsufficientBuffer);
    }
    std::memcpy(buffer, image.data(), image.size());
    return true;
}

bool SimSecurity::LoadUserProfileA(platform::Handle token, platform::ProfileInfo& profile) {
    std::lock_guard lock(state_.mutex);
    const auto* object = Find(token, SimSecurityObject::Kind::Token);
    if (object == nullptr) return Report(kErrorInvalidHandle);
    state_.security.profileLoads.push_back({object->account.name, profile.userName, profile.flags});
    if (!Report(InjectedFailure(SimSecurityCall::LoadUserProfile))) return false;
    profile.profile = state_.security.nextHandle;
    state_.security.nextHandle += 4;
    state_.security.loadedProfiles.emplace(profile.profile, profile.userName);
    return true;
}

bool SimSecurity::UnloadUserProfile(platform::Handle token, platform::Handle profile) {
    std::lock_guard lock(state_.mutex);
    if (Find(token, SimSecurityObject::Kind::Token) == nullptr) return Report(kErrorInvalidHandle);
    return Report(state_.security.loadedProfiles.erase(profile) == 1 ? 0 : kErrorInvalidParameter);
}

bool SimSecurity::CreateProcessAsUserA(platform::Handle token, const std::string& commandLine,
                                       std::uint32_t creationFlags,
                                       const std::string& currentDirectory,
                                       const std::string& desktop) {
    std::lock_guard lock(state_.mutex);
    const auto* object = Find(token, SimSecurityObject::Kind::Token);
    if (object == nullptr) return Report(kErrorInvalidHandle);
    const auto* program = FindFileEntry(state_.files, ProgramOf(commandLine));
    std::uint32_t error = InjectedFailure(SimSecurityCall::CreateProcessAsUser);
    if (error == 0 && (program == nullptr || program->directory)) error = kErrorFileNotFound;
    state_.security.createdProcesses.push_back(
        {object->account.name, commandLine, creationFlags, currentDirectory, desktop, error == 0});
    return Report(error);
}

std::uint32_t SimSecurity::GetLastError() {
    std::lock_guard lock(state_.mutex);
    const auto& errors = state_.security.lastError;
    const auto found = errors.find(std::this_thread::get_id());
    return found == errors.end() ? 0 : found->second;
}

}  // namespace kxp::sim::detail
