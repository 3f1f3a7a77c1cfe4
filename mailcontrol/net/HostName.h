#pragma once
// What may be handed to a firewall as the mail server's name.
#include <string_view>

namespace mailvane::net {

// A host name (letters, digits, '-', '_' and '.'), which covers dotted IPv4 addresses, or an
// IPv6 address in brackets; at most 255 characters. Anything else (blanks, line breaks, a
// port) could change the request it is written into.
bool isHostNameOrAddress(std::string_view name);

} // namespace mailvane::net
