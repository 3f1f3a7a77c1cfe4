#include "net/ByteChannel.h"
#include "net/SocketLibrary.h"

#include <cerrno>
#include <sys/socket.h>

namespace mailvane::net {

long PlainChannel::send(const char* data, std::size_t length, int& code) {
    const SocketFunctions& api = SocketLibrary::api();
    for (;;) {
        // MSG_NOSIGNAL: a peer that went away must give an error code, not kill the host.
        const ssize_t n = api.send(fd_, data, length, MSG_NOSIGNAL);
        if (n >= 0) {
            return static_cast<long>(n);
        }
        code = api.lastError();
        if (code != 10004) {
            return -1;
        }
    }
}

long PlainChannel::receive(char* data, std::size_t length, int& code) {
    const SocketFunctions& api = SocketLibrary::api();
    for (;;) {
        const ssize_t n = api.recv(fd_, data, length, 0);
        if (n >= 0) {
            return static_cast<long>(n);
        }
        code = api.lastError();
        if (code != 10004) {
            return -1;
        }
    }
}

} // namespace mailvane::net
