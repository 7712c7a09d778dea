// One owner for one handle: a handle value plus the function that releases it.
#pragma once

#include <utility>

namespace kxp {

template <typename T, typename Close, T Invalid = T{}>
class unique_handle {
  public:
    unique_handle() = default;
    explicit unique_handle(T value, Close close = Close{}) : value_(value), close_(close) {}
    unique_handle(const unique_handle&) = delete;
    unique_handle& operator=(const unique_handle&) = delete;
    unique_handle(unique_handle&& other) noexcept
        : value_(std::exchange(other.value_, Invalid)), close_(other.close_) {}
    unique_handle& operator=(unique_handle&& other) noexcept {
        if (this != &other) {
            reset();
            value_ = std::exchange(other.value_, Invalid);
            close_ = other.close_;
        }
        return *this;
    }
    ~unique_handle() { reset(); }

    T get() const { return value_; }
    explicit operator bool() const { return value_ != Invalid; }
    T release() { return std::exchange(value_, Invalid); }
    void reset(T value = Invalid) {
        if (value_ != Invalid) close_(value_);
        value_ = value;
    }

  private:
    T value_ = Invalid;
    [[no_unique_address]] Close close_{};
};

}  // namespace kxp
