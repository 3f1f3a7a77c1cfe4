#pragma once
// dante (SOCKS 4 and 5) and tinyproxy (HTTP CONNECT) with configurations of their own, each on
// a free port of 127.0.0.1, stopped when the object goes.
#include "TestPeers.h"

#include <cstdio>
#include <string>

namespace mailvane::testing {

struct RunningPeer {
    PeerProcess process;
    int port = 0;
    bool up = false;
};

// dante as a SOCKS 4/5 server. withUsers: SOCKS 5 user/password checked against the system's
// users. blockPort: connections to that port of 127.0.0.1 are refused by a rule.
inline RunningPeer startDante(const TempDir& dir, bool withUsers, int blockPort = 0) {
    RunningPeer peer;
    peer.port = freePort();
    const auto conf = dir.path() / "sockd.conf";
    std::string text = "logoutput: " + (dir.path() / "sockd.log").string() + "\n" +
                       "internal: 127.0.0.1 port = " + std::to_string(peer.port) + "\n" +
                       "external: 127.0.0.1\n"
                       "clientmethod: none\n" +
                       (withUsers ? "socksmethod: username\n" : "socksmethod: none\n") +
                       "user.privileged: root\n"
                       "user.unprivileged: nobody\n"
                       "client pass {\n"
                       "  from: 127.0.0.0/8 to: 0.0.0.0/0\n"
                       "}\n";
    if (blockPort != 0) {
        text += "socks block {\n"
                "  from: 127.0.0.0/8 to: 127.0.0.1/32 port = " +
                std::to_string(blockPort) +
                "\n"
                "}\n";
    }
    text += "socks pass {\n"
            "  from: 127.0.0.0/8 to: 0.0.0.0/0\n"
            "  command: connect\n"
            "  protocol: tcp\n"
            "}\n";
    writeFile(conf, text);
    peer.process = PeerProcess(
        {"/usr/sbin/danted", "-f", conf.string(), "-p", (dir.path() / "sockd.pid").string()},
        dir.path() / "sockd.out");
    peer.up = peer.process.waitForPort(peer.port);
    return peer;
}

// tinyproxy allowing CONNECT to allowedPort only; with a user, Basic authorisation is needed.
inline RunningPeer startTinyproxy(const TempDir& dir, int allowedPort, const std::string& user = {},
                                  const std::string& password = {}) {
    RunningPeer peer;
    peer.port = freePort();
    const auto conf = dir.path() / "tinyproxy.conf";
    std::string text = "Port " + std::to_string(peer.port) +
                       "\n"
                       "Listen 127.0.0.1\n"
                       "Timeout 60\n"
                       "Allow 127.0.0.1\n"
                       "MaxClients 10\n"
                       "User nobody\n"
                       "Group nogroup\n"
                       "ConnectPort " +
                       std::to_string(allowedPort) + "\n";
    if (!user.empty()) {
        text += "BasicAuth " + user + " " + password + "\n";
    }
    writeFile(conf, text);
    peer.process = PeerProcess({"/usr/bin/tinyproxy", "-d", "-c", conf.string()},
                               dir.path() / "tinyproxy.out");
    peer.up = peer.process.waitForPort(peer.port);
    return peer;
}

// A system user with a password for dante's username method (created once; needs root).
inline bool ensureSocksUser(const std::string& user, const std::string& password) {
    if (::geteuid() != 0) {
        return false;
    }
    const std::string check = "id -u " + user + " >/dev/null 2>&1";
    if (std::system(check.c_str()) != 0) {
        const std::string add = "useradd -M -s /usr/sbin/nologin " + user + " >/dev/null 2>&1";
        if (std::system(add.c_str()) != 0) {
            return false;
        }
    }
    const std::string set = "echo '" + user + ":" + password + "' | chpasswd";
    return std::system(set.c_str()) == 0;
}

} // namespace mailvane::testing
