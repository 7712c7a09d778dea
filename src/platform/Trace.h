// The service's one trace function. Its sink discards every message unless diagnosis turns it on.
#pragma once

#include <functional>
#include <string>

namespace kxp {

void Trace(const std::string& message);

// Replaces the sink (an empty function discards again). Set once at program entry, or by a test.
void SetTraceSink(std::function<void(const std::string&)> sink);

}  // namespace kxp
