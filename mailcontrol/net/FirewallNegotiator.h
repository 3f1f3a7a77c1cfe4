#pragma once
// The exchange with a firewall once the TCP connection to it is up: HTTP CONNECT (with Basic
// proxy authorisation), SOCKS 4, or SOCKS 5 (no authentication or user/password). It only
// produces and parses bytes; the connection moves them.
#include <string>

namespace mailvane::net {

enum class FirewallType { None = 0, Tunnel = 1, Socks4 = 2, Socks5 = 3 };

class FirewallNegotiator {
public:
    // The most a proxy may send before the empty line that ends its reply.
    static constexpr std::size_t kMaxProxyReply = 16 * 1024;
    static constexpr const char* kReplyTooLongText = "firewall reply too long";
    static constexpr const char* kNotAHostNameText =
        "mail server name is not a host name or address";

    enum class State { Pending, Connected, Failed };

    struct Step {
        State state = State::Pending;
        std::string toSend;   // bytes to send now
        std::string failure;  // with Failed: the text for the 118 failure
        std::string leftover; // with Connected: bytes after the reply, already from the server
    };

    // serverName is the MailServer text; a leading '*' asks a SOCKS 5 firewall to resolve it.
    FirewallNegotiator(FirewallType type, std::string serverName, int serverPort, std::string user,
                       std::string password);

    Step start();
    Step feed(const char* data, std::size_t length);

private:
    enum class Phase { Idle, ProxyReply, Socks4Reply, Socks5Method, Socks5Auth, Socks5Reply, Done };

    Step fail(std::string text);
    Step proxyReply();
    Step proxyStatus(std::size_t lineEnd);
    bool namedForFirewall() const;
    Step socks4Reply();
    Step socks5Method();
    Step socks5Auth();
    Step socks5Reply();
    Step socks5Request();
    std::string targetName() const;
    std::string portBytes() const;

    FirewallType type_;
    std::string server_;
    int port_;
    std::string user_;
    std::string password_;
    Phase phase_ = Phase::Idle;
    std::string reply_;
    std::size_t scanned_ = 0; // bytes of reply_ already searched
    bool statusSeen_ = false;
};

} // namespace mailvane::net
