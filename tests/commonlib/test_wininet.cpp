#include "NetworkState.h"
#include "TempEnv.h"

#include <harlix/harlix.h>

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>

using harlix::ComError;
using harlix::CWinInetConnection;
using harlix::detail::readNetworkState;
namespace fs = std::filesystem;

namespace {

constexpr std::int32_t kBase = static_cast<std::int32_t>(0x800403E8u);

const char* kHeader =
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow"
    "\tIRTT\n";

// A route table and /sys/class/net made up for one case.
class FakeNet {
public:
    void route(const std::string& iface, const std::string& dest, unsigned flags, unsigned metric,
               const std::string& mask = "00000000") {
        char line[256];
        std::snprintf(line, sizeof line, "%s\t%s\t0102A8C0\t%04X\t0\t0\t%u\t%s\t0\t0\t0\n",
                      iface.c_str(), dest.c_str(), flags, metric, mask.c_str());
        routes_ += line;
    }
    void iface(const std::string& name, int type, const std::string& operstate) {
        fs::create_directories(dir_.path() / "net" / name);
        std::ofstream(dir_.path() / "net" / name / "type") << type << "\n";
        std::ofstream(dir_.path() / "net" / name / "operstate") << operstate << "\n";
    }
    harlix::detail::NetworkState read() {
        std::ofstream(dir_.path() / "route") << kHeader << routes_;
        return readNetworkState((dir_.path() / "route").string(), (dir_.path() / "net").string());
    }

private:
    harlix::test::TempDir dir_;
    std::string routes_;
};

class NoProxy : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* v : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "ftp_proxy",
                              "FTP_PROXY", "all_proxy", "ALL_PROXY"})
            env.set(v, std::nullopt);
    }
    harlix::test::ScopedEnv env;
};

using NetworkStateTest = NoProxy;

TEST_F(NetworkStateTest, AWiredDefaultRouteIsALanConnection) {
    FakeNet net;
    net.iface("eth0", 1, "up");
    net.route("eth0", "0002A8C0", 0x1, 0, "00FFFFFF");
    net.route("eth0", "00000000", 0x3, 100);
    auto s = net.read();
    EXPECT_TRUE(s.connected);
    EXPECT_TRUE(s.configured);
    EXPECT_TRUE(s.lan);
    EXPECT_FALSE(s.modem);
    EXPECT_FALSE(s.proxy);
    EXPECT_EQ(s.name, "eth0");
}

TEST_F(NetworkStateTest, APointToPointDefaultRouteIsAModem) {
    FakeNet net;
    net.iface("wlan0", 1, "up");
    net.iface("ppp0", 512, "unknown");
    net.route("wlan0", "00000000", 0x3, 600);
    net.route("ppp0", "00000000", 0x1, 50);
    auto s = net.read();
    EXPECT_EQ(s.name, "ppp0") << "the lower metric carries the traffic";
    EXPECT_TRUE(s.modem);
    EXPECT_FALSE(s.lan);
}

TEST_F(NetworkStateTest, NoDefaultRouteIsNotConnectedAndADownLinkOnlyConfigured) {
    FakeNet net;
    net.iface("eth0", 1, "up");
    net.iface("lo", 772, "unknown");
    net.route("eth0", "0002A8C0", 0x1, 0, "00FFFFFF");
    net.route("lo", "00000000", 0x1, 0);
    auto s = net.read();
    EXPECT_FALSE(s.connected);
    EXPECT_FALSE(s.configured);
    EXPECT_EQ(s.name, "");

    FakeNet down;
    down.iface("eth1", 1, "down");
    down.iface("eth2", 1, "up");
    down.route("eth1", "00000000", 0x3, 10);
    down.route("eth2", "00000000", 0x2, 5); // not marked up
    s = down.read();
    EXPECT_FALSE(s.connected);
    EXPECT_TRUE(s.configured);
    EXPECT_FALSE(s.lan);
    EXPECT_EQ(s.name, "eth1");
}

TEST_F(NetworkStateTest, AnUpLinkWinsOverALowerMetricThatIsDown) {
    FakeNet net;
    net.iface("eth0", 1, "down");
    net.iface("wlan0", 1, "up");
    net.route("eth0", "00000000", 0x3, 10);
    net.route("wlan0", "00000000", 0x3, 600);
    auto s = net.read();
    EXPECT_EQ(s.name, "wlan0");
    EXPECT_TRUE(s.connected);
}

TEST_F(NetworkStateTest, AProxyInTheEnvironmentCounts) {
    env.set("HTTPS_PROXY", "http://127.0.0.1:3128");
    FakeNet net;
    auto s = net.read();
    EXPECT_TRUE(s.proxy);
    EXPECT_TRUE(s.configured);
    EXPECT_FALSE(s.connected);
}

TEST_F(NetworkStateTest, AMissingRouteTableIsAnError) {
    EXPECT_THROW(readNetworkState("/nonexistent/route", "/sys/class/net"), std::system_error);
}

using CWinInetConnectionTest = NoProxy;

TEST_F(CWinInetConnectionTest, RefreshReportsTheInterfaceOfTheDefaultRoute) {
    std::unique_ptr<FILE, int (*)(FILE*)> ip(popen("ip -4 route show default 2>/dev/null", "r"),
                                             pclose);
    char buf[512] = {};
    std::string out = ip && fgets(buf, sizeof buf, ip.get()) ? buf : "";
    size_t dev = out.find(" dev ");
    if (dev == std::string::npos)
        GTEST_SKIP() << "this machine has no default route (or no ip tool)";
    std::string iface = out.substr(dev + 5);
    iface = iface.substr(0, iface.find_first_of(" \n"));

    CWinInetConnection c;
    c.Refresh();
    EXPECT_EQ(c.get_ConnectionName(), iface);
    EXPECT_TRUE(c.get_IsConnected());
    EXPECT_TRUE(c.get_IsConnectionConfigured());
    EXPECT_FALSE(c.get_UseProxy());
    if (iface.rfind("eth", 0) == 0 || iface.rfind("en", 0) == 0 || iface.rfind("wl", 0) == 0) {
        EXPECT_TRUE(c.get_UseLAN());
        EXPECT_FALSE(c.get_UseModem());
    }
}

TEST_F(CWinInetConnectionTest, NmcliDecidesOfflineModeAndCarriesTheSwitches) {
    harlix::test::StandInPath path;
    harlix::test::TempDir dir;
    std::string log = dir / "log";
    path.add("nmcli", "echo \"$*\" >> '" + log +
                          "'\n"
                          "if [ \"$*\" = networking ]; then echo disabled; fi");
    CWinInetConnection c;
    c.Refresh();
    EXPECT_TRUE(c.get_IsOffline());
    EXPECT_TRUE(c.SetGlobalOnline());
    EXPECT_TRUE(c.SetGlobalOffline());
    EXPECT_FALSE(c.HangUp()) << "nothing was dialled";
    EXPECT_TRUE(c.Dial(0, "Office VPN", harlix::DF_DIAL_UNATTENDED, true));
    EXPECT_TRUE(c.HangUp());
    std::ifstream in(log);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(all, "networking\nnetworking on\nnetworking off\nconnection up id Office VPN\n"
                   "connection down id Office VPN\n");
}

TEST_F(CWinInetConnectionTest, FailuresCarryTheOffsetNumberSourceAndText) {
    harlix::test::StandInPath path;
    path.add("nmcli", "echo \"Error: unknown connection '$4'.\" >&2; exit 10");
    CWinInetConnection c;
    try {
        c.Dial(0, "Nowhere", harlix::DF_FORCE_ONLINE, false);
        FAIL() << "no error";
    } catch (const ComError& e) {
        EXPECT_EQ(e.number(), ENOENT + kBase);
        EXPECT_EQ(e.number(), -2147220502);
        EXPECT_EQ(e.source(), "CWinInetConnection.Dial");
        EXPECT_EQ(e.description(), "Win32API Error: 2 No such file or directory (nmcli: Error: "
                                   "unknown connection 'Nowhere'.)");
    }
    EXPECT_FALSE(c.HangUp()) << "a failed dial leaves nothing to hang up";

    path.isolate();
    fs::remove(path.dir() / "nmcli");
    if (fs::exists("/usr/bin/nmcli"))
        GTEST_SKIP() << "NetworkManager is installed here";
    try {
        c.SetGlobalOffline();
        FAIL() << "no error";
    } catch (const ComError& e) {
        EXPECT_EQ(e.number(), ENOTSUP + kBase);
        EXPECT_EQ(e.source(), "CWinInetConnection.SetGlobalOffline");
        EXPECT_NE(e.description().find("Win32API Error: 95 "), std::string::npos);
        EXPECT_NE(e.description().find("nmcli"), std::string::npos);
    }
    c.Refresh();
    EXPECT_FALSE(c.get_IsOffline()) << "without NetworkManager nothing switches networking off";
}

TEST_F(CWinInetConnectionTest, OnlineOperationsLeaveAWorkingConnectionAlone) {
    harlix::test::StandInPath path;
    harlix::test::TempDir dir;
    std::string log = dir / "log";
    path.add("nmcli", "echo \"$*\" >> '" + log + "'");
    CWinInetConnection c;
    c.Refresh();
    bool online = c.get_IsConnected();
    EXPECT_EQ(c.GoOnline("http://127.0.0.1/", 0), online);
    if (online) {
        EXPECT_TRUE(c.Autodial(0, harlix::ADF_FORCE_UNATTENDED, false)) << "already online";
    }
    if (!c.get_UseModem()) {
        EXPECT_FALSE(c.AutodialHangup()) << "no dial-up connection to take down";
    }
    std::ifstream in(log);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(all.find("networking on"), std::string::npos) << all;
    EXPECT_EQ(all.find("disconnect"), std::string::npos) << all;
}

TEST(GetWinApiDesc, GivesTheSystemText) {
    CWinInetConnection c;
    EXPECT_EQ(c.GetWinApiDesc(2), "No such file or directory");
    EXPECT_EQ(c.GetWinApiDesc(99999), "Unknown error 99999");
}

} // namespace
