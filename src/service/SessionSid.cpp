#include "service/SessionSid.h"

#include <cstdio>
#include <cstring>

namespace kxp {
namespace {

constexpr const char* kInvalidSid = "error";
constexpr std::uint8_t kSidRevision = 1;
constexpr std::uint8_t kMaxSubAuthorities = 15;
// Revision, sub-authority count and the six bytes of the identifier authority.
constexpr std::size_t kSidHeaderBytes = 8;

}  // namespace

std::string TokenUserSidText(std::span<const std::uint8_t> record) {
    std::uintptr_t sidAddress = 0;
    if (record.size() < sizeof sidAddress) return kInvalidSid;
    std::memcpy(&sidAddress, record.data(), sizeof sidAddress);

    const auto base = reinterpret_cast<std::uintptr_t>(record.data());
    if (sidAddress < base || sidAddress - base > record.size()) return kInvalidSid;
    const std::span<const std::uint8_t> sid = record.subspan(sidAddress - base);
    if (sid.size() < kSidHeaderBytes) return kInvalidSid;
    const std::uint8_t revision = sid[0];
    const std::uint8_t count = sid[1];
    if (revision != kSidRevision || count > kMaxSubAuthorities ||
        sid.size() - kSidHeaderBytes < std::size_t{count} * sizeof(std::uint32_t)) {
        return kInvalidSid;
    }

    char part[32];
    std::snprintf(part, sizeof part, "S-%u-", unsigned{revision});
    std::string text = part;
    const std::uint8_t* authority = sid.data() + 2;
    if (authority[0] == 0 && authority[1] == 0) {
        const std::uint32_t value = (std::uint32_t{authority[2]} << 24) |
                                    (std::uint32_t{authority[3]} << 16) |
                                    (std::uint32_t{authority[4]} << 8) | authority[5];
        std::snprintf(part, sizeof part, "%u", static_cast<unsigned>(value));
    } else {
        std::snprintf(part, sizeof part, "0x%02x%02x%02x%02x%02x%02x", unsigned{authority[0]},
                      unsigned{authority[1]}, unsigned{authority[2]}, unsigned{authority[3]},
                      unsigned{authority[4]}, unsigned{authority[5]});
    }
    text += part;
    for (std::uint8_t i = 0; i < count; ++i) {
        std::uint32_t subAuthority = 0;
        std::memcpy(&subAuthority, sid.data() + kSidHeaderBytes + i * sizeof subAuthority,
                    sizeof subAuthority);
        std::snprintf(part, sizeof part, "-%u", static_cast<unsigned>(subAuthority));
        text += part;
    }
    return text;
}

}  // namespace kxp
