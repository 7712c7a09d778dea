// The text of the SID of a token's user, as it names the user's key under HKEY_USERS.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kxp {

// The text of a TokenUser record as GetTokenInformation writes it: the record starts with the
// address of the SID, which lies in the same buffer. "S-1-", the identifier authority (decimal
// when its two top bytes are zero, else "0x" and twelve hex digits), then "-" and each
// sub-authority in decimal. The record comes from outside the service, so nothing in it is
// trusted: a SID address outside the record, a SID that does not lie wholly inside it, a revision
// other than 1 or more than 15 sub-authorities give "error", as an invalid SID does.
std::string TokenUserSidText(std::span<const std::uint8_t> record);

}  // namespace kxp
