#pragma once
// TLS over another byte channel (the plain socket, or the tunnel a firewall opened). OpenSSL
// reads and writes through a BIO of our own that calls the inner channel, so every byte still
// goes through the socket library the control loaded, and a non-blocking socket turns into
// "want read"/"want write" that the connection's wait loop polls for.
#include "net/ByteChannel.h"
#include "net/Status.h"

#include <memory>
#include <string>

typedef struct ssl_st SSL;
typedef struct ssl_ctx_st SSL_CTX;

namespace mailvane::net {

struct TlsOptions {
    std::string hostName;   // checked against the certificate (a dotted address as an address)
    bool verifyPeer = true; // the system's trust store and the host name
};

class TlsChannel : public ByteChannel {
public:
    enum class Progress { Done, Waiting, Failed };

    TlsChannel(std::unique_ptr<ByteChannel> inner, const TlsOptions& options);
    ~TlsChannel() override;
    TlsChannel(const TlsChannel&) = delete;
    TlsChannel& operator=(const TlsChannel&) = delete;

    // One step of the client handshake. Waiting: poll for pollEventsFor(POLLIN) and call
    // again. Failed: failure() says why.
    Progress handshake();
    const Status& failure() const { return failure_; }
    // "TLSv1.3" and the like, once the handshake is done.
    std::string protocol() const;

    long send(const char* data, std::size_t length, int& code) override;
    long receive(char* data, std::size_t length, int& code) override;
    short pollEventsFor(short wanted) const override;
    bool hasPendingInput() const override;
    void shutdown() override;

    // Called by the BIO.
    ByteChannel& inner() { return *inner_; }
    void noteIoError(int code) { ioError_ = code; }

private:
    // Maps an SSL_read/SSL_write result that moved no data to -1/0 and a code.
    long ioFailure(int result, int& code);
    long transfer(bool writing, char* data, std::size_t length, int& code);

    std::unique_ptr<ByteChannel> inner_;
    TlsOptions options_;
    SSL_CTX* context_ = nullptr;
    SSL* ssl_ = nullptr;
    short want_ = 0; // POLLIN/POLLOUT that OpenSSL waits for, 0 when nothing is pending
    int ioError_ = 0;
    Status failure_;
};

// Codes of the secure connection.
enum TlsCode : int {
    kTlsHandshakeFailed = 171,
    kCertificateNotTrusted = 172,
    kCertificateNameMismatch = 173,
    kNoStartTls = 174,
};

} // namespace mailvane::net
