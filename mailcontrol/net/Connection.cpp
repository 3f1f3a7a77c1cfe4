#include "net/Connection.h"

#include "net/SocketErrors.h"
#include "net/SocketLibrary.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <thread>

namespace mailvane::net {

namespace {

Status socketFailure(int code) {
    return {code, describeSocketError(code)};
}

bool endsReadQuietly(int code) {
    return code == kNotSocket || code == kConnectionAborted || code == kConnectionReset;
}

Status lineTooLong() {
    return {kReplyTooLong, "The mail server sent a reply line longer than " +
                               std::to_string(Connection::kMaxLineLength) + " bytes."};
}

} // namespace

Connection::Connection(TransportHost& host) : host_(host) {}

Connection::~Connection() {
    if (fd_ >= 0) {
        SocketLibrary::api().close(fd_);
    }
}

void Connection::startDeadline(int seconds) {
    if (seconds > 0) {
        deadline_ = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    } else {
        deadline_.reset();
    }
}

bool Connection::step(short events) {
    if (interruptRequested_) {
        interruptRequested_ = false;
        status_ = "Interrupted";
        return false;
    }
    host_.pumpEvents();
    if (interruptRequested_ || !host_.alive()) {
        interruptRequested_ = false;
        status_ = "Interrupted";
        return false;
    }
    int waitMs = kStepMs;
    if (deadline_) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= *deadline_) {
            status_ = "Timeout.";
            return false;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline_ - now).count();
        waitMs = static_cast<int>(std::min<long long>(waitMs, left));
    }
    revents_ = 0;
    if (fd_ >= 0) {
        pollfd p{fd_, events, 0};
        const int rc = SocketLibrary::api().poll(&p, 1, waitMs);
        if (rc > 0) {
            revents_ = p.revents;
            return true;
        }
        if (rc == 0) {
            return true;
        }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
    return true;
}

Status Connection::waitFailure() {
    return {kWaitEnded, status_};
}

Status Connection::connect(const ConnectionSettings& settings) {
    if (fd_ >= 0) {
        return {kAlreadyConnected,
                "Already connected. If you want to reconnect, close the current connection first."};
    }
    if (interruptRequested_) {
        // Interrupted before the first wait (by a handler of the "Connecting" note).
        interruptRequested_ = false;
        return {kWaitEnded, "Interrupted"};
    }
    const bool viaFirewall = settings.firewallType != FirewallType::None;
    const Ipv4Address address = viaFirewall ? settings.firewallAddress : settings.serverAddress;
    const int port = viaFirewall ? settings.firewallPort : settings.serverPort;
    if (address == 0) {
        return {kInvalidAddress, viaFirewall ? "The FirewallHost address is invalid (0.0.0.0)."
                                             : "The RemoteHost address is invalid (0.0.0.0)."};
    }
    if (port <= 0 || port > 65535) {
        return {kInvalidPort,
                viaFirewall
                    ? "The FirewallPort is invalid (" + std::to_string(port) + ")."
                    : "RemotePort can't be zero. Please specify a valid service port number."};
    }

    const SocketFunctions& api = SocketLibrary::api();
    const int fd = api.socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return socketFailure(api.lastError());
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = settings.localAddress;
    local.sin_port = htons(static_cast<std::uint16_t>(settings.localPort));
    if (api.bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        const int code = api.lastError();
        api.close(fd);
        return socketFailure(code);
    }
    const int off = 0;
    const int on = 1;
    const int size = kBufferSize;
    const linger noLinger{0, 0};
    api.setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &off, sizeof off);
    api.setsockopt(fd, SOL_SOCKET, SO_LINGER, &noLinger, sizeof noLinger);
    api.setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    api.setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
    api.setsockopt(fd, SOL_SOCKET, SO_OOBINLINE, &on, sizeof on);
    // One command, then its reply: small writes must not wait for the peer's delayed ACK.
    api.setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);

    fd_ = fd;
    channel_ = std::make_unique<PlainChannel>(fd);
    lines_.clear();
    pendingPartial_.clear();
    usable_ = false;
    peerClosed_ = false;
    secure_ = false;
    connectError_ = 0;
    connectText_.clear();
    firewall_.reset();
    if (viaFirewall) {
        firewall_.emplace(settings.firewallType, settings.serverName, settings.serverPort,
                          settings.firewallUser, settings.firewallPassword);
    }
    phase_ = Phase::Connecting;

    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_addr.s_addr = address;
    remote.sin_port = htons(static_cast<std::uint16_t>(port));
    if (api.connect(fd, reinterpret_cast<const sockaddr*>(&remote), sizeof remote) == 0) {
        onConnectFinished();
    } else {
        const int code = api.lastError();
        if (code != 10036 && code != kWouldBlock) {
            api.close(fd);
            fd_ = -1;
            phase_ = Phase::Closed;
            return socketFailure(code);
        }
    }

    while (!usable_ && connectError_ == 0) {
        const short wanted = phase_ == Phase::Connecting ? POLLOUT : POLLIN;
        if (!step(wanted)) {
            const Status failure = waitFailure();
            close();
            return failure;
        }
        if (fd_ < 0 && connectError_ == 0) {
            return socketFailure(kNotConnected);
        }
        if (phase_ == Phase::Connecting && (revents_ & (POLLOUT | POLLERR | POLLHUP)) != 0) {
            onConnectFinished();
        } else if (phase_ == Phase::Negotiating &&
                   ((revents_ & (POLLIN | POLLERR | POLLHUP)) != 0 ||
                    channel_->hasPendingInput())) {
            negotiate();
        }
    }
    if (connectError_ != 0) {
        return {connectError_, connectText_};
    }
    return {};
}

void Connection::onConnectFinished() {
    const SocketFunctions& api = SocketLibrary::api();
    int error = 0;
    socklen_t length = sizeof error;
    if (api.getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
        error = errno;
    }
    const int on = 1;
    api.setsockopt(fd_, SOL_SOCKET, SO_OOBINLINE, &on, sizeof on);
    if (error != 0) {
        failConnect(socketErrorFromErrno(error));
        return;
    }
    if (firewall_) {
        phase_ = Phase::Negotiating;
        handleFirewallStep(firewall_->start());
        return;
    }
    phase_ = Phase::Ready;
    usable_ = true;
    host_.trail(2, "Connected.");
}

void Connection::negotiate() {
    char buffer[kBufferSize];
    int code = 0;
    const long n = channel_->receive(buffer, sizeof buffer, code);
    if (n > 0) {
        handleFirewallStep(firewall_->feed(buffer, static_cast<std::size_t>(n)));
    } else if (n == 0) {
        failConnect(kConnectionAborted);
    } else if (code != kWouldBlock) {
        failConnect(code);
    }
}

void Connection::handleFirewallStep(const FirewallNegotiator::Step& step) {
    switch (step.state) {
    case FirewallNegotiator::State::Pending:
        if (!step.toSend.empty()) {
            const Status sent = sendAll(step.toSend);
            if (!sent.ok() && connectError_ == 0) {
                if (sent.code == kWaitEnded) {
                    // Timeout or Interrupt while the firewall was still reading our request.
                    connectError_ = kWaitEnded;
                    connectText_ = sent.text;
                    dropConnection(0);
                } else {
                    failConnect(sent.code);
                }
            }
        }
        return;
    case FirewallNegotiator::State::Connected:
        phase_ = Phase::Ready;
        usable_ = true;
        // Whatever the server sent behind the firewall's reply is already the server's.
        lines_.clear();
        pendingPartial_ = step.leftover;
        host_.trail(2, "Connected.");
        return;
    case FirewallNegotiator::State::Failed:
        host_.error(kFirewallFailed, step.failure);
        connectText_ = step.failure;
        failConnect(kFirewallFailed);
        return;
    }
}

void Connection::failConnect(int code) {
    connectError_ = code;
    if (connectText_.empty()) {
        connectText_ = describeSocketError(code);
    }
    host_.error(kConnectionFailed, "Failed to connect: " + describeSocketError(code));
    if (fd_ >= 0) {
        SocketLibrary::api().close(fd_);
        fd_ = -1;
    }
    usable_ = false;
    phase_ = Phase::Closed;
}

Status Connection::sendAll(const char* data, std::size_t length,
                           const std::function<void(std::size_t)>& progress) {
    std::size_t total = 0;
    while (total < length) {
        if (fd_ < 0) {
            return socketFailure(kNotConnected);
        }
        int code = 0;
        const long n = channel_->send(data + total, length - total, code);
        if (n > 0) {
            total += static_cast<std::size_t>(n);
            if (total < length && progress) {
                progress(total);
            }
            continue;
        }
        if (n == 0 || code == kWouldBlock) {
            if (!step(channel_->pollEventsFor(POLLOUT))) {
                return waitFailure();
            }
            continue;
        }
        if (endsReadQuietly(code) || code == kNotConnected) {
            dropConnection(code);
        }
        return socketFailure(code);
    }
    return {};
}

Status Connection::readLine(std::string& line) {
    std::string partial;
    for (;;) {
        if (!pendingPartial_.empty()) {
            const std::size_t taken = lines_.append(pendingPartial_.data(), pendingPartial_.size());
            pendingPartial_.erase(0, taken);
        }
        std::string piece;
        switch (lines_.next(piece)) {
        case LineAssembler::Piece::Line:
            if (partial.size() + piece.size() > kMaxLineLength) {
                return lineTooLong();
            }
            line = partial + piece;
            return {};
        case LineAssembler::Piece::Partial:
            partial += piece;
            if (partial.size() > kMaxLineLength) {
                return lineTooLong();
            }
            continue;
        case LineAssembler::Piece::None:
            break;
        }
        if (!pendingPartial_.empty()) {
            continue;
        }
        if (peerClosed_) {
            dropConnection(0);
            return socketFailure(kNotConnected);
        }
        if (fd_ < 0 || !usable_) {
            return socketFailure(kNotConnected);
        }
        int code = 0;
        char* area = lines_.writeArea(); // makes the room freeSpace() reports
        const long n = channel_->receive(area, lines_.freeSpace(), code);
        if (n > 0) {
            lines_.commit(static_cast<std::size_t>(n));
            continue;
        }
        if (n == 0) {
            // A last line without its line end still counts; the close is reported after it.
            const std::string rest = partial + lines_.takeRest();
            if (rest.size() > kMaxLineLength) {
                return lineTooLong();
            }
            if (!rest.empty()) {
                peerClosed_ = true;
                line = rest;
                return {};
            }
            dropConnection(0);
            return socketFailure(kNotConnected);
        }
        if (code == kWouldBlock) {
            if (!step(channel_->pollEventsFor(POLLIN))) {
                return waitFailure();
            }
            continue;
        }
        if (!endsReadQuietly(code)) {
            host_.error(code, "socket error in recv: " + std::to_string(code));
        }
        dropConnection(code);
        return socketFailure(code);
    }
}

void Connection::dropConnection(int code) {
    if (fd_ < 0) {
        return;
    }
    const bool wasUp = usable_;
    if (wasUp && code == 0 && !peerClosed_ && channel_) {
        channel_->shutdown();
    }
    SocketLibrary::api().close(fd_);
    fd_ = -1;
    usable_ = false;
    phase_ = Phase::Closed;
    if (!wasUp) {
        return;
    }
    if (code == 0) {
        host_.trail(2, "Disconnected.");
    } else {
        host_.error(kConnectionFailed, "Disconnected " + describeSocketError(code));
    }
}

void Connection::close() {
    lines_.clear();
    pendingPartial_.clear();
    dropConnection(0);
}

Status Connection::startTls(const TlsOptions& options) {
    if (fd_ < 0 || !usable_) {
        return socketFailure(kNotConnected);
    }
    lines_.clear();
    pendingPartial_.clear();
    auto owned = std::make_unique<TlsChannel>(std::move(channel_), options);
    TlsChannel& tls = *owned;
    channel_ = std::move(owned);
    for (;;) {
        switch (tls.handshake()) {
        case TlsChannel::Progress::Done:
            secure_ = true;
            return {};
        case TlsChannel::Progress::Failed: {
            const Status failure = tls.failure();
            dropConnection(0);
            return failure;
        }
        case TlsChannel::Progress::Waiting:
            if (!step(tls.pollEventsFor(POLLIN))) {
                return waitFailure();
            }
            if (fd_ < 0) {
                return socketFailure(kNotConnected);
            }
            break;
        }
    }
}

std::string Connection::tlsProtocol() const {
    const auto* tls = secure_ ? dynamic_cast<const TlsChannel*>(channel_.get()) : nullptr;
    return tls != nullptr ? tls->protocol() : std::string();
}

Ipv4Address Connection::localAddress() const {
    if (fd_ < 0) {
        return 0;
    }
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (SocketLibrary::api().getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        return 0;
    }
    return local.sin_addr.s_addr;
}

} // namespace mailvane::net
