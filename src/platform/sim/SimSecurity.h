// Processes, tokens, impersonation and profiles on the simulated machine: who owns each process,
// which handles are open, which account each thread acts as, which profiles are loaded, and the
// calls a test has made fail.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/Platform.h"
#include "platform/sim/SimMachine.h"

namespace kxp::sim::detail {

struct SimState;

struct SimSecurityObject {
    enum class Kind { Process, Token };
    Kind kind = Kind::Process;
    std::uint32_t processId = 0;
    std::uint32_t access = 0;
    SimAccount account;  // a token's user
};

struct SimSecurityState {
    std::map<std::uint32_t, SimAccount> owners;  // process id -> the user it runs as
    std::map<SimSecurityCall, std::uint32_t> failures;
    std::set<std::uint32_t> unopenable;  // process ids OpenProcess refuses
    std::map<platform::Handle, SimSecurityObject> handles;
    platform::Handle nextHandle = 0x8000;
    std::map<std::thread::id, SimAccount> impersonating;
    std::map<std::thread::id, std::uint32_t> lastError;
    std::map<platform::Handle, std::string> loadedProfiles;  // profile handle -> user name
    std::vector<SimProfileLoad> profileLoads;
    int impersonations = 0;
    std::vector<std::uint32_t> openedProcesses;  // the ids of every successful OpenProcess
    std::vector<std::uint32_t> terminated;
    std::vector<SimCreatedProcess> createdProcesses;
};

class SimSecurity final : public platform::Security {
  public:
    explicit SimSecurity(SimState& state) : state_(state) {}
    platform::Handle OpenProcess(std::uint32_t access, bool inherit,
                                 std::uint32_t processId) override;
    bool TerminateProcess(platform::Handle process, std::uint32_t exitCode) override;
    bool CloseHandle(platform::Handle handle) override;
    platform::Handle OpenProcessToken(platform::Handle process, std::uint32_t access) override;
    platform::Handle DuplicateTokenEx(platform::Handle token, std::uint32_t access,
                                      std::uint32_t impersonationLevel,
                                      std::uint32_t tokenType) override;
    bool ImpersonateLoggedOnUser(platform::Handle token) override;
    bool RevertToSelf() override;
    bool GetUserNameA(char* buffer, std::uint32_t& size) override;
    bool GetTokenInformation(platform::Handle token, std::uint32_t informationClass, void* buffer,
                             std::uint32_t length, std::uint32_t& returnLength) override;
    bool LoadUserProfileA(platform::Handle token, platform::ProfileInfo& profile) override;
    bool UnloadUserProfile(platform::Handle token, platform::Handle profile) override;
    bool CreateProcessAsUserA(platform::Handle token, const std::string& commandLine,
                              std::uint32_t creationFlags, const std::string& currentDirectory,
                              const std::string& desktop) override;
    std::uint32_t GetLastError() override;

  private:
    // Under the state's lock: records a call's outcome as the calling thread's last error; true
    // for success (error 0).
    bool Report(std::uint32_t error);
    platform::Handle NoHandle(std::uint32_t error);
    // Under the state's lock: the test's failure for the call, 0 when it may succeed.
    std::uint32_t InjectedFailure(SimSecurityCall call) const;
    const SimSecurityObject* Find(platform::Handle handle, SimSecurityObject::Kind kind) const;
    platform::Handle NewHandle(SimSecurityObject object);

    SimState& state_;
};

// The TokenUser record of an account as GetTokenInformation writes it at base: the address of
// the SID (base + 16), the attributes, then the SID.
std::vector<std::uint8_t> TokenUserImage(const SimAccount& account, std::uintptr_t base);

}  // namespace kxp::sim::detail
