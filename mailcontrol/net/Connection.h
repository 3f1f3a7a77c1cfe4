#pragma once
// One control's TCP connection to the mail server, directly or through a firewall. Sockets are
// non-blocking; every wait is a loop of short steps that lets the host's events run, honours
// an interrupt request and the deadline, and sleeps in poll() on the socket so that it wakes
// as soon as the socket is ready. Received bytes are delivered one line at a time.
#include "net/ByteChannel.h"
#include "net/FirewallNegotiator.h"
#include "net/LineAssembler.h"
#include "net/NameResolver.h"
#include "net/Status.h"
#include "net/TlsChannel.h"
#include "net/TransportHost.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace mailvane::net {

struct ConnectionSettings {
    Ipv4Address serverAddress = 0; // resolved MailServer (unused through a firewall)
    std::string serverName;        // MailServer as written; what a firewall receives
    int serverPort = 25;
    FirewallType firewallType = FirewallType::None;
    Ipv4Address firewallAddress = 0;
    int firewallPort = 80;
    std::string firewallUser;
    std::string firewallPassword;
    Ipv4Address localAddress = 0;
    int localPort = 0;
};

class Connection {
public:
    static constexpr int kStepMs = 10;
    static constexpr int kBufferSize = 2048;
    // A reply line may be 512 bytes (RFC 5321); eight times that still leaves room for servers
    // that stretch it, while a line without end can no longer take the host's memory.
    static constexpr std::size_t kMaxLineLength = 4096;

    explicit Connection(TransportHost& host);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens the connection and waits until it is usable (through the firewall: negotiated).
    Status connect(const ConnectionSettings& settings);
    // Sends every byte; progress, when given, gets the running total after each partial send.
    Status sendAll(const char* data, std::size_t length,
                   const std::function<void(std::size_t)>& progress = {});
    Status sendAll(const std::string& bytes) { return sendAll(bytes.data(), bytes.size()); }
    // Waits for the next complete line; a line longer than the buffer arrives whole, one over
    // kMaxLineLength fails with 175.
    Status readLine(std::string& line);
    // Stops and closes; a connection that was up reports "Disconnected.".
    void close();

    bool isConnected() const { return fd_ >= 0 && usable_; }
    bool isOpen() const { return fd_ >= 0; }
    int socketHandle() const { return fd_; }
    Ipv4Address localAddress() const;

    // The deadline for the current operation: now + seconds (0 = none).
    void startDeadline(int seconds);
    // Ends the wait in progress (or the next one) with 301 "Interrupted".
    void interrupt() { interruptRequested_ = true; }
    void clearInterrupt() { interruptRequested_ = false; }

    // Runs the TLS handshake over the open connection (after STARTTLS, or first thing for
    // implicit TLS). Whatever was received before is thrown away: bytes a server or a man in
    // the middle sent before the handshake must never be read as a reply given under TLS.
    Status startTls(const TlsOptions& options);
    bool secure() const { return secure_; }
    std::string tlsProtocol() const;

    // Slots a layer over the plain socket once connected.
    ByteChannel& channel() { return *channel_; }
    void setChannel(std::unique_ptr<ByteChannel> channel) { channel_ = std::move(channel); }

private:
    enum class Phase { Closed, Connecting, Negotiating, Ready };

    // One wait step; false when the wait must stop (status_ says why).
    bool step(short events);
    void onConnectFinished();
    void negotiate();
    void failConnect(int code);
    void handleFirewallStep(const FirewallNegotiator::Step& step);
    void dropConnection(int code);
    Status waitFailure();

    TransportHost& host_;
    int fd_ = -1;
    Phase phase_ = Phase::Closed;
    bool usable_ = false;
    bool peerClosed_ = false;
    bool secure_ = false; // end of stream seen; reported at the next read or close
    int connectError_ = 0;
    std::string connectText_;
    std::unique_ptr<ByteChannel> channel_;
    std::optional<FirewallNegotiator> firewall_;
    LineAssembler lines_;
    std::string pendingPartial_;
    short revents_ = 0;
    bool interruptRequested_ = false;
    std::optional<std::chrono::steady_clock::time_point> deadline_;
    std::string status_;
};

} // namespace mailvane::net
