#pragma once
// A TCP server on 127.0.0.1 that runs a test's script against each connection in a thread of
// its own, for what real servers rarely do: odd replies, silence, dropped connections. It
// records every byte it received.
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace mailvane::testing {

class Peer {
public:
    explicit Peer(int fd) : fd_(fd) {}
    void send(const std::string& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (n <= 0) {
                return;
            }
            done += static_cast<std::size_t>(n);
        }
    }
    // Reads until the received bytes end with the marker; false on close or after 20 s.
    bool readUntil(const std::string& marker) {
        std::size_t from = 0;
        std::size_t found = std::string::npos;
        while ((found = pending_.find(marker, from)) == std::string::npos) {
            from = pending_.size() >= marker.size() ? pending_.size() - marker.size() + 1 : 0;
            if (!fill()) {
                return false;
            }
        }
        const std::size_t end = found + marker.size();
        last_ = pending_.substr(0, end);
        pending_.erase(0, end);
        return true;
    }
    bool readLine() { return readUntil("\r\n"); }
    // Whether the client closed (reads until end of stream, at most 20 s).
    bool waitClosed() {
        while (fill()) {
        }
        return closed_;
    }
    const std::string& last() const { return last_; }
    const std::string& received() const { return received_; }
    void close() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~Peer() { close(); }

private:
    bool fill() {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 20000) <= 0) {
            return false;
        }
        char buffer[65536];
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        if (n <= 0) {
            closed_ = true;
            return false;
        }
        pending_.append(buffer, static_cast<std::size_t>(n));
        received_.append(buffer, static_cast<std::size_t>(n));
        return true;
    }

    int fd_;
    std::string pending_;
    std::string received_;
    std::string last_;
    bool closed_ = false;
};

// Answers the commands of a mail transaction with the replies given, in order, then takes the
// data, queues it and answers QUIT.
inline void answerTransaction(Peer& peer, std::initializer_list<const char*> replies) {
    for (const char* reply : replies) {
        peer.readLine();
        peer.send(std::string(reply) + "\r\n");
    }
    peer.readUntil("\r\n.\r\n");
    peer.send("250 queued\r\n");
    peer.readLine();
    peer.send("221 bye\r\n");
}

class ScriptedServer {
public:
    using Script = std::function<void(Peer&)>;

    explicit ScriptedServer(Script script, int connections = 1) : script_(std::move(script)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int on = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 8);
        socklen_t length = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this, connections] {
            for (int i = 0; i < connections; ++i) {
                pollfd p{listener_, POLLIN, 0};
                if (::poll(&p, 1, 30000) <= 0) {
                    return;
                }
                Peer peer(::accept(listener_, nullptr, nullptr));
                script_(peer);
                std::lock_guard lock(mutex_);
                received_ += peer.received();
            }
        });
    }
    ~ScriptedServer() {
        join();
        ::close(listener_);
    }
    void join() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    int port() const { return port_; }
    // Everything received, once the script has finished.
    std::string received() {
        join();
        std::lock_guard lock(mutex_);
        return received_;
    }

private:
    Script script_;
    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::string received_;
};

} // namespace mailvane::testing
