// The service's own access token on the simulated machine: the privileges it holds, those turned
// on, and every adjustment asked for, so that a test can see what the service enabled and when.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace kxp::sim::detail {

struct SimState;

struct SimTokenState {
    // Canonical names; until a test chooses, every known privilege is held, as by LocalSystem.
    std::optional<std::set<std::string>> held;
    std::set<std::string> enabled;
    // Canonical names, in the order the adjustments reached a valid token.
    std::vector<std::string> adjustments;
    bool failOpen = false;
    std::map<platform::Handle, std::uint32_t> openTokens;  // handle -> access granted
    platform::Handle nextToken = 0x4000;
};

class SimPrivileges final : public platform::Privileges {
  public:
    explicit SimPrivileges(SimState& state) : state_(state) {}
    platform::Handle OpenProcessToken(std::uint32_t access) override;
    void CloseToken(platform::Handle token) override;
    bool LookupPrivilegeValueA(const std::string& name, platform::Luid& luid) override;
    std::uint32_t AdjustTokenPrivileges(platform::Handle token, const platform::Luid& luid,
                                        std::uint32_t attributes) override;

  private:
    SimState& state_;
};

// The canonical name of a privilege, whatever the letter case; empty for an unknown name.
std::string CanonicalPrivilegeName(const std::string& name);

}  // namespace kxp::sim::detail
