// Any text as a colour: parsing never reads outside the text, and a number it accepts reads back
// the same in the form it was written.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "config/ColourText.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto colour = kxp::config::ColourFromText(text);
    if (!colour || text.empty()) return 0;
    char written[16];
    if (text.front() == '$') {
        std::snprintf(written, sizeof written, "$%X", static_cast<unsigned>(*colour));
        Check(kxp::config::ColourFromText(written) == colour);
    } else if (text.front() == '-' || text.front() == '+' ||
               (text.front() >= '0' && text.front() <= '9')) {
        std::snprintf(written, sizeof written, "%d", static_cast<int>(*colour));
        Check(kxp::config::ColourFromText(written) == colour);
    }
    return 0;
}
