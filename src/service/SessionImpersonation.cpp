#include "service/SessionImpersonation.h"

namespace kxp {

bool ImpersonationTable::Active() const {
    std::lock_guard guard(lock_);
    return byThread_.contains(std::this_thread::get_id());
}

void ImpersonationTable::Put(Impersonation impersonation) {
    std::lock_guard guard(lock_);
    byThread_.insert_or_assign(std::this_thread::get_id(), std::move(impersonation));
}

std::optional<Impersonation> ImpersonationTable::Take() {
    std::lock_guard guard(lock_);
    const auto found = byThread_.find(std::this_thread::get_id());
    if (found == byThread_.end()) return std::nullopt;
    std::optional<Impersonation> taken(std::move(found->second));
    byThread_.erase(found);
    return taken;
}

platform::Handle ImpersonationTable::UserToken() const {
    std::lock_guard guard(lock_);
    const auto found = byThread_.find(std::this_thread::get_id());
    return found == byThread_.end() ? 0 : found->second.UserToken.get();
}

void ImpersonationTable::SetProfileUserName(const std::string& name) {
    std::lock_guard guard(lock_);
    profileUserName_ = name;
}

std::string ImpersonationTable::ProfileUserName() const {
    std::lock_guard guard(lock_);
    return profileUserName_;
}

}  // namespace kxp
