#include "SmtpSink.h"

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace bench {

namespace {

// The connection's bytes, plain or (after STARTTLS) through TLS; blocking.
struct Stream {
    int fd;
    SSL* ssl = nullptr;
    ~Stream() {
        if (ssl != nullptr) {
            SSL_free(ssl);
        }
    }
    long read(char* data, std::size_t length) {
        return ssl != nullptr ? SSL_read(ssl, data, static_cast<int>(length))
                              : ::recv(fd, data, length, 0);
    }
    void write(const std::string& text) {
        std::size_t done = 0;
        while (done < text.size()) {
            const long n =
                ssl != nullptr
                    ? SSL_write(ssl, text.data() + done, static_cast<int>(text.size() - done))
                    : ::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
            if (n <= 0) {
                return;
            }
            done += static_cast<std::size_t>(n);
        }
    }
};

} // namespace

SmtpSink::SmtpSink(const std::string& certificateFile, const std::string& keyFile)
    : SmtpSink(false) {
    tls_ = SSL_CTX_new(TLS_server_method());
    SSL_CTX_use_certificate_chain_file(tls_, certificateFile.c_str());
    SSL_CTX_use_PrivateKey_file(tls_, keyFile.c_str(), SSL_FILETYPE_PEM);
}

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
    if (tls_ != nullptr) {
        SSL_CTX_free(tls_);
    }
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
    Stream stream{fd};
    stream.write("220 sink ESMTP\r\n");
    std::vector<char> buffer(1 << 18);
    std::string line;
    bool inData = false;
    std::size_t dataBytes = 0;
    char tail[5] = {};
    for (;;) {
        const long n = stream.read(buffer.data(), buffer.size());
        if (n <= 0) {
            return;
        }
        for (long i = 0; i < n; ++i) {
            const char c = buffer[static_cast<std::size_t>(i)];
            if (inData) {
                ++dataBytes;
                std::memmove(tail, tail + 1, 4);
                tail[4] = c;
                if (std::memcmp(tail, "\r\n.\r\n", 5) == 0) {
                    inData = false;
                    lastBytes_ = dataBytes;
                    stream.write("250 accepted\r\n");
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
                stream.write("354 go ahead\r\n");
            } else if (verb == "QUIT") {
                stream.write("221 bye\r\n");
                return;
            } else if (verb == "EHLO") {
                stream.write(tls_ != nullptr && stream.ssl == nullptr
                                 ? "250-sink\r\n250-STARTTLS\r\n250 8BITMIME\r\n"
                                 : "250-sink\r\n250 8BITMIME\r\n");
            } else if (verb == "STAR" && tls_ != nullptr) {
                stream.write("220 go ahead\r\n");
                stream.ssl = SSL_new(tls_);
                SSL_set_fd(stream.ssl, fd);
                if (SSL_accept(stream.ssl) != 1) {
                    return;
                }
            } else {
                stream.write("250 OK\r\n");
            }
        }
    }
}

} // namespace bench
