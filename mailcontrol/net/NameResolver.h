#pragma once
// Turning host names and dotted texts into IPv4 addresses through the loaded socket library,
// as done when MailServer, FirewallHost or LocalHost is written and for SOCKS targets.
#include <cstdint>
#include <string>

namespace mailvane::net {

// An IPv4 address in network byte order; 0 means none.
using Ipv4Address = std::uint32_t;

struct Resolution {
    int code = 0;            // 0, or the 11000-range resolver code (11001 "Host not found")
    Ipv4Address address = 0; // network byte order
};

// Empty name: address 0. Dotted text: converted directly. Otherwise looked up and the first
// IPv4 address taken. While no library is loaded the lookup is skipped and address 0 results
// without an error, so properties can be set before the library is.
Resolution resolveIpv4(const std::string& name);

// "a.b.c.d" for an address in network byte order.
std::string formatIpv4(Ipv4Address address);

} // namespace mailvane::net
