#include "SmtpSink.h"

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace bench {

namespace {

void sendText(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (n <= 0) {
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

} // namespace

SmtpSink::SmtpSink(bool silent) : silent_(silent) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener_, 16);
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
}

SmtpSink::~SmtpSink() {
    stop_ = true;
    thread_.join();
    ::close(listener_);
}

void SmtpSink::serve() {
    while (!stop_) {
        pollfd p{listener_, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) {
            continue;
        }
        const int fd = ::accept(listener_, nullptr, nullptr);
        if (fd >= 0) {
            converse(fd);
            ::close(fd);
        }
    }
}

void SmtpSink::converse(int fd) {
    if (silent_) {
        // Holds the connection open without a word until the client goes or the sink stops.
        char byte;
        while (!stop_) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 100) > 0 && ::recv(fd, &byte, 1, 0) <= 0) {
                return;
            }
        }
        return;
    }
    sendText(fd, "220 sink ESMTP\r\n");
    std::vector<char> buffer(1 << 18);
    std::string line;
    bool inData = false;
    std::size_t dataBytes = 0;
    char tail[5] = {};
    for (;;) {
        const ssize_t n = ::recv(fd, buffer.data(), buffer.size(), 0);
        if (n <= 0) {
            return;
        }
        for (ssize_t i = 0; i < n; ++i) {
            const char c = buffer[static_cast<std::size_t>(i)];
            if (inData) {
                ++dataBytes;
                std::memmove(tail, tail + 1, 4);
                tail[4] = c;
                if (std::memcmp(tail, "\r\n.\r\n", 5) == 0) {
                    inData = false;
                    lastBytes_ = dataBytes;
                    sendText(fd, "250 accepted\r\n");
                }
                continue;
            }
            if (c != '\n') {
                line += c;
                continue;
            }
            const std::string verb = line.substr(0, 4);
            line.clear();
            if (verb == "DATA") {
                inData = true;
                dataBytes = 0;
                std::memcpy(tail, "\0\0\0\r\n", 5);
                sendText(fd, "354 go ahead\r\n");
            } else if (verb == "QUIT") {
                sendText(fd, "221 bye\r\n");
                return;
            } else if (verb == "EHLO") {
                sendText(fd, "250-sink\r\n250 8BITMIME\r\n");
            } else {
                sendText(fd, "250 OK\r\n");
            }
        }
    }
}

} // namespace bench
