// A record that several threads share, with the one lock that guards it: a reader takes a copy, a
// writer changes it in one step. The lock is held only while copying or changing the record, so
// neither may call out to the platform while holding it.
#pragma once

#include <mutex>
#include <utility>

namespace kxp {

template <typename T>
class Guarded {
  public:
    Guarded() = default;
    explicit Guarded(T value) : value_(std::move(value)) {}
    Guarded(const Guarded&) = delete;
    Guarded& operator=(const Guarded&) = delete;

    T Get() const {
        std::lock_guard guard(lock_);
        return value_;
    }
    void Set(T value) {
        std::lock_guard guard(lock_);
        value_ = std::move(value);
    }
    // Runs look on the unchanged record under the lock and returns what it returns: a field
    // without a copy of the whole.
    template <typename Look>
    auto Read(Look&& look) const {
        std::lock_guard guard(lock_);
        return std::forward<Look>(look)(static_cast<const T&>(value_));
    }
    // Runs change on the record under the lock and returns what it returns.
    template <typename Change>
    auto Update(Change&& change) {
        std::lock_guard guard(lock_);
        return std::forward<Change>(change)(value_);
    }

  private:
    mutable std::mutex lock_;
    T value_{};
};

}  // namespace kxp
