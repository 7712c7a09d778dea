#include "platform/Trace.h"

#include <mutex>

namespace kxp {
namespace {

std::mutex& SinkLock() {
    static std::mutex lock;
    return lock;
}

std::function<void(const std::string&)>& Sink() {
    static std::function<void(const std::string&)> sink;
    return sink;
}

}  // namespace

void Trace(const std::string& message) {
    std::lock_guard guard(SinkLock());
    if (Sink()) Sink()(message);
}

void SetTraceSink(std::function<void(const std::string&)> sink) {
    std::lock_guard guard(SinkLock());
    Sink() = std::move(sink);
}

}  // namespace kxp
