#pragma once
// The machine's connection state read from the kernel's route table, the network interfaces
// and the proxy environment. Private to the library.
#include <string>

namespace harlix::detail {

struct NetworkState {
    bool connected = false;  // a default route over an interface that is up
    bool configured = false; // a default route (up or not) or a proxy
    bool lan = false;        // the route's interface is wired, wireless or a tunnel
    bool modem = false;      // the route's interface is point-to-point (ppp, wwan)
    bool proxy = false;
    std::string name; // the interface carrying the default route
};

// Throws std::system_error when the route table cannot be read.
NetworkState readNetworkState(const std::string& routeFile = "/proc/net/route",
                              const std::string& sysClassNet = "/sys/class/net");

// Whether http_proxy, https_proxy, ftp_proxy or all_proxy (either case) is set.
bool proxyConfigured();

} // namespace harlix::detail
