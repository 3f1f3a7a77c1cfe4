#include "NetworkState.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <system_error>

namespace harlix::detail {
namespace {

constexpr unsigned kRouteUp = 0x1;
constexpr int kArpPpp = 512;
constexpr int kArpLoopback = 772;

std::string readFirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\n' || line.back() == ' '))
        line.pop_back();
    return line;
}

bool startsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

struct DefaultRoute {
    std::string iface;
    unsigned long metric = ULONG_MAX;
    bool up = false;
};

} // namespace

bool proxyConfigured() {
    for (const char* var : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "ftp_proxy",
                            "FTP_PROXY", "all_proxy", "ALL_PROXY"})
        if (const char* v = std::getenv(var); v && *v)
            return true;
    return false;
}

NetworkState readNetworkState(const std::string& routeFile, const std::string& sysClassNet) {
    std::ifstream in(routeFile);
    if (!in)
        throw std::system_error(errno ? errno : ENOENT, std::generic_category(),
                                "cannot read " + routeFile);
    NetworkState state;
    state.proxy = proxyConfigured();

    DefaultRoute best;
    bool haveAny = false;
    std::string line;
    std::getline(in, line); // the column titles
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string iface, dest, gateway, mask;
        unsigned flags = 0, refcnt = 0, use = 0;
        unsigned long metric = 0;
        if (!(fields >> iface >> dest >> gateway >> std::hex >> flags >> std::dec >> refcnt >>
              use >> metric >> mask))
            continue;
        if (dest != "00000000" || mask != "00000000" || !(flags & kRouteUp))
            continue;
        std::string dir = sysClassNet + "/" + iface;
        std::string type = readFirstLine(dir + "/type");
        if (!type.empty() && std::atoi(type.c_str()) == kArpLoopback)
            continue;
        std::string oper = readFirstLine(dir + "/operstate");
        // Point-to-point and tunnel interfaces often report "unknown" while they carry traffic.
        bool up = oper.empty() || oper == "up" || oper == "unknown";
        haveAny = true;
        // An interface that is up wins over one that is down, then the lower metric.
        if ((up && !best.up) || (up == best.up && metric < best.metric))
            best = DefaultRoute{iface, metric, up};
    }
    state.configured = haveAny || state.proxy;
    if (!haveAny)
        return state;
    state.name = best.iface;
    state.connected = best.up;
    std::string type = readFirstLine(sysClassNet + "/" + best.iface + "/type");
    bool pointToPoint = (!type.empty() && std::atoi(type.c_str()) == kArpPpp) ||
                        startsWith(best.iface, "ppp") || startsWith(best.iface, "wwan");
    state.modem = best.up && pointToPoint;
    state.lan = best.up && !pointToPoint;
    return state;
}

} // namespace harlix::detail
