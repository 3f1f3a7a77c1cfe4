#pragma once
// Turning the From, To, Cc and BCc texts into the addresses of the MAIL and RCPT commands.
#include <string>
#include <vector>

namespace mailvane::smtp {

// The addresses of a comma-separated list. Commas inside double quotes, parenthesised comments
// (nested) or angle brackets do not split; an entry with "<" gives the text up to ">", any
// other entry its text without comments and surrounding blanks. Empty entries are skipped.
std::vector<std::string> splitAddressList(const std::string& list);

// The MAIL command line for a From text: "MAIL FROM:<address>", or, when the sender text
// starts with the byte 7, the rest of it unchanged (a host's way to pass raw parameters).
std::string mailFromCommand(const std::string& from);

// Addresses and raw sender texts are cut to this length.
inline constexpr std::size_t kMaxAddressLength = 255;

} // namespace mailvane::smtp
