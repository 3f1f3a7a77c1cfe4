#include "net/TlsChannel.h"

#include "net/SocketErrors.h"

#include <algorithm>
#include <arpa/inet.h>
#include <climits>
#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>

namespace mailvane::net {

namespace {

TlsChannel* owner(BIO* bio) {
    return static_cast<TlsChannel*>(BIO_get_data(bio));
}

int bioWrite(BIO* bio, const char* data, int length) {
    BIO_clear_retry_flags(bio);
    int code = 0;
    const long n = owner(bio)->inner().send(data, static_cast<std::size_t>(length), code);
    if (n > 0) {
        return static_cast<int>(n);
    }
    if (n == 0 || code == kWouldBlock) {
        BIO_set_retry_write(bio);
        return -1;
    }
    owner(bio)->noteIoError(code);
    return -1;
}

int bioRead(BIO* bio, char* data, int length) {
    BIO_clear_retry_flags(bio);
    int code = 0;
    const long n = owner(bio)->inner().receive(data, static_cast<std::size_t>(length), code);
    if (n >= 0) {
        return static_cast<int>(n); // 0: the peer closed
    }
    if (code == kWouldBlock) {
        BIO_set_retry_read(bio);
        return -1;
    }
    owner(bio)->noteIoError(code);
    return -1;
}

long bioControl(BIO*, int command, long, void*) {
    // The channel has nothing to flush: every write went to the socket already.
    return command == BIO_CTRL_FLUSH ? 1 : 0;
}

BIO_METHOD* channelMethod() {
    static BIO_METHOD* method = [] {
        BIO_METHOD* m = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "mailvane");
        BIO_meth_set_write(m, bioWrite);
        BIO_meth_set_read(m, bioRead);
        BIO_meth_set_ctrl(m, bioControl);
        BIO_meth_set_create(m, [](BIO* b) {
            BIO_set_init(b, 1);
            return 1;
        });
        return m;
    }();
    return method;
}

bool isAddressLiteral(const std::string& host) {
    unsigned char buffer[16];
    return inet_pton(AF_INET, host.c_str(), buffer) == 1 ||
           inet_pton(AF_INET6, host.c_str(), buffer) == 1;
}

std::string lastSslReason() {
    const unsigned long error = ERR_peek_last_error();
    const char* reason = error != 0 ? ERR_reason_error_string(error) : nullptr;
    return reason != nullptr ? reason : "";
}

} // namespace

TlsChannel::TlsChannel(std::unique_ptr<ByteChannel> inner, const TlsOptions& options)
    : inner_(std::move(inner)), options_(options) {
    ERR_clear_error();
    context_ = SSL_CTX_new(TLS_client_method());
    if (context_ == nullptr) {
        failure_ = {kTlsHandshakeFailed, "TLS could not be set up: " + lastSslReason() + "."};
        return;
    }
    SSL_CTX_set_min_proto_version(context_, TLS1_2_VERSION);
    // Mail servers often close without a close_notify once QUIT is answered.
    SSL_CTX_set_options(context_, SSL_OP_IGNORE_UNEXPECTED_EOF);
    SSL_CTX_set_mode(context_, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    if (options_.verifyPeer) {
        SSL_CTX_set_default_verify_paths(context_);
        SSL_CTX_set_verify(context_, SSL_VERIFY_PEER, nullptr);
    } else {
        SSL_CTX_set_verify(context_, SSL_VERIFY_NONE, nullptr);
    }
    ssl_ = SSL_new(context_);
    if (ssl_ == nullptr) {
        failure_ = {kTlsHandshakeFailed, "TLS could not be set up: " + lastSslReason() + "."};
        return;
    }
    SSL_set_read_ahead(ssl_, 1);
    BIO* bio = BIO_new(channelMethod());
    BIO_set_data(bio, this);
    SSL_set_bio(ssl_, bio, bio);
    const std::string& host = options_.hostName;
    if (isAddressLiteral(host)) {
        if (options_.verifyPeer) {
            X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl_), host.c_str());
        }
    } else if (!host.empty()) {
        SSL_set_tlsext_host_name(ssl_, host.c_str());
        if (options_.verifyPeer) {
            SSL_set1_host(ssl_, host.c_str());
        }
    }
    SSL_set_connect_state(ssl_);
}

TlsChannel::~TlsChannel() {
    if (ssl_ != nullptr) {
        SSL_free(ssl_);
    }
    if (context_ != nullptr) {
        SSL_CTX_free(context_);
    }
}

TlsChannel::Progress TlsChannel::handshake() {
    if (ssl_ == nullptr) {
        return Progress::Failed;
    }
    ERR_clear_error();
    ioError_ = 0;
    const int result = SSL_do_handshake(ssl_);
    if (result == 1) {
        want_ = 0;
        return Progress::Done;
    }
    const int error = SSL_get_error(ssl_, result);
    if (error == SSL_ERROR_WANT_READ) {
        want_ = POLLIN;
        return Progress::Waiting;
    }
    if (error == SSL_ERROR_WANT_WRITE) {
        want_ = POLLOUT;
        return Progress::Waiting;
    }
    const long verified = SSL_get_verify_result(ssl_);
    if (options_.verifyPeer && verified != X509_V_OK) {
        if (verified == X509_V_ERR_HOSTNAME_MISMATCH ||
            verified == X509_V_ERR_IP_ADDRESS_MISMATCH) {
            failure_ = {kCertificateNameMismatch,
                        "The mail server's certificate is not valid for " + options_.hostName +
                            " (name mismatch)."};
        } else {
            failure_ = {kCertificateNotTrusted,
                        std::string("The mail server's certificate is not trusted: ") +
                            X509_verify_cert_error_string(verified) + "."};
        }
        return Progress::Failed;
    }
    std::string reason = lastSslReason();
    if (reason.empty()) {
        reason = ioError_ != 0 ? describeSocketError(ioError_) : "the server closed the connection";
    }
    failure_ = {kTlsHandshakeFailed, "TLS handshake with the mail server failed: " + reason + "."};
    return Progress::Failed;
}

std::string TlsChannel::protocol() const {
    return ssl_ != nullptr ? SSL_get_version(ssl_) : "";
}

long TlsChannel::ioFailure(int result, int& code) {
    switch (SSL_get_error(ssl_, result)) {
    case SSL_ERROR_WANT_READ:
        want_ = POLLIN;
        code = kWouldBlock;
        return -1;
    case SSL_ERROR_WANT_WRITE:
        want_ = POLLOUT;
        code = kWouldBlock;
        return -1;
    case SSL_ERROR_ZERO_RETURN:
        want_ = 0;
        code = kNotConnected;
        return 0;
    default:
        want_ = 0;
        // A broken record or a lost socket: the connection cannot go on either way.
        code = ioError_ != 0 ? ioError_ : kConnectionAborted;
        return -1;
    }
}

long TlsChannel::transfer(bool writing, char* data, std::size_t length, int& code) {
    if (ssl_ == nullptr) {
        code = kNotConnected;
        return -1;
    }
    ERR_clear_error();
    ioError_ = 0;
    const int n = static_cast<int>(std::min<std::size_t>(length, INT_MAX));
    const int done = writing ? SSL_write(ssl_, data, n) : SSL_read(ssl_, data, n);
    if (done > 0) {
        want_ = 0;
        return done;
    }
    const long result = ioFailure(done, code);
    // A closed stream cannot take bytes; 0 would read as "try again" to a sender.
    return writing && result == 0 ? -1 : result;
}

long TlsChannel::send(const char* data, std::size_t length, int& code) {
    // SSL_write only reads the bytes.
    return transfer(true, const_cast<char*>(data), length, code);
}

long TlsChannel::receive(char* data, std::size_t length, int& code) {
    return transfer(false, data, length, code);
}

short TlsChannel::pollEventsFor(short wanted) const {
    return want_ != 0 ? want_ : wanted;
}

bool TlsChannel::hasPendingInput() const {
    return ssl_ != nullptr && SSL_has_pending(ssl_) == 1;
}

void TlsChannel::shutdown() {
    if (ssl_ != nullptr && SSL_is_init_finished(ssl_) == 1) {
        ERR_clear_error();
        SSL_shutdown(ssl_); // one try: the socket is closed right after, whatever it says
    }
}

} // namespace mailvane::net
