// The impersonation state of each thread that acts as the logged-on user.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/Platform.h"
#include "platform/SecurityHandle.h"

namespace kxp {

// One impersonation: the user's primary token, the shell process it was taken from, and the
// profile record (its handle filled in when the profile was loaded).
struct Impersonation {
    UniqueSecurityHandle UserToken;
    UniqueSecurityHandle ShellProcessHandle;
    platform::ProfileInfo UserProfileInfo;
};

// Impersonations by thread. Impersonating affects only the calling thread, and the service thread
// (session check, option reads) and the main thread (tray menus) may impersonate at the same time.
// One shared token and process handle would let one thread's EndImpersonation close the token the
// other is still using, or leak the one it replaced; so each thread keeps its own here, from
// ImpersonateShellUser to EndImpersonation. The lock guards the table only, never a platform call,
// so neither thread ever waits for the other's impersonation.
class ImpersonationTable {
  public:
    // Whether the calling thread holds an impersonation.
    bool Active() const;
    void Put(Impersonation impersonation);
    // Removes and returns the calling thread's impersonation, if any.
    std::optional<Impersonation> Take();
    // The calling thread's user token, 0 when it holds none.
    platform::Handle UserToken() const;

    // The user last identified by the session check: the name a loaded profile is given.
    void SetProfileUserName(const std::string& name);
    std::string ProfileUserName() const;

  private:
    mutable std::mutex lock_;
    std::map<std::thread::id, Impersonation> byThread_;
    std::string profileUserName_;
};

}  // namespace kxp
