#pragma once
// The byte stream under the line layer. The plain channel calls the socket library directly;
// the TLS channel (TlsChannel.h) wraps it without the line layer or the session changing.
#include <cstddef>
#include <memory>
#include <poll.h>

namespace mailvane::net {

class ByteChannel {
public:
    virtual ~ByteChannel() = default;

    // Bytes taken (> 0), or -1 with code set (10035 when the socket is full).
    virtual long send(const char* data, std::size_t length, int& code) = 0;
    // Bytes read (> 0), 0 when the peer closed, or -1 with code set (10035: nothing yet).
    virtual long receive(char* data, std::size_t length, int& code) = 0;
    // The poll() events to wait for before the wanted direction can make progress.
    virtual short pollEventsFor(short wanted) const { return wanted; }
    // True when bytes are already decoded and waiting, so no poll is needed to read them.
    virtual bool hasPendingInput() const { return false; }
    // Says goodbye at the channel's own level before the socket is closed (TLS close_notify).
    virtual void shutdown() {}
};

class PlainChannel : public ByteChannel {
public:
    explicit PlainChannel(int fd) : fd_(fd) {}
    long send(const char* data, std::size_t length, int& code) override;
    long receive(char* data, std::size_t length, int& code) override;

private:
    int fd_;
};

} // namespace mailvane::net
