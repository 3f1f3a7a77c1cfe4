#pragma once
// Plain POSIX client sockets for the tests that need what QTcpSocket hides: a chosen source
// address on the loopback network, and sending without blocking to see when the peer stops
// reading.
#include <QByteArray>
#include <QString>
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace brevant::service::test {

class RawSocket {
public:
    // Connects to 127.0.0.1:port from sourceAddress (any 127.x.y.z); check ok().
    explicit RawSocket(int port, const char* sourceAddress = "127.0.0.1") {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in from{};
        from.sin_family = AF_INET;
        ::inet_pton(AF_INET, sourceAddress, &from.sin_addr);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(quint16(port));
        ::inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0 ||
            ::connect(fd_, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0)
            close();
    }
    ~RawSocket() { close(); }
    RawSocket(const RawSocket&) = delete;
    RawSocket& operator=(const RawSocket&) = delete;

    bool ok() const { return fd_ >= 0; }
    void close() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

    // Sends what the socket takes now without waiting; the number of bytes taken (0 when full).
    qsizetype sendSome(const char* data, qsizetype size) {
        const ssize_t n = ::send(fd_, data, size_t(size), MSG_DONTWAIT | MSG_NOSIGNAL);
        return n < 0 ? 0 : qsizetype(n);
    }
    bool sendAll(const QByteArray& data) {
        qsizetype done = 0;
        while (done < data.size()) {
            const ssize_t n =
                ::send(fd_, data.constData() + done, size_t(data.size() - done), MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            done += n;
        }
        return true;
    }
    // Waits up to timeoutMs for room to send; false when there was none.
    bool waitWritable(int timeoutMs) {
        pollfd p{fd_, POLLOUT, 0};
        return ::poll(&p, 1, timeoutMs) == 1 && (p.revents & POLLOUT);
    }
    // Reads what arrives within timeoutMs (at most max bytes); empty on time-out; sets closed
    // when the peer has closed the connection.
    QByteArray readSome(int timeoutMs, bool* closed = nullptr, qsizetype max = 1 << 20) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) != 1)
            return {};
        QByteArray data(max, '\0');
        const ssize_t n = ::recv(fd_, data.data(), size_t(max), 0);
        if (n <= 0) {
            if (closed)
                *closed = true;
            return {};
        }
        data.truncate(n);
        return data;
    }

private:
    int fd_ = -1;
};

} // namespace brevant::service::test
