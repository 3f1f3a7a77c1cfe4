#pragma once
// A fast SMTP sink on 127.0.0.1 for the benchmarks: accepts any transaction and discards the
// data, so that the sender is what gets measured. silent() instead never says anything. With a
// certificate and key it offers STARTTLS and runs the rest of the exchange under TLS.
#include <atomic>
#include <cstddef>
#include <string>
#include <thread>

typedef struct ssl_ctx_st SSL_CTX;

namespace bench {

class SmtpSink {
public:
    explicit SmtpSink(bool silent = false);
    SmtpSink(const std::string& certificateFile, const std::string& keyFile);
    ~SmtpSink();
    int port() const { return port_; }
    std::size_t lastMessageBytes() const { return lastBytes_; }

private:
    void serve();
    void converse(int fd);

    bool silent_;
    SSL_CTX* tls_ = nullptr;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<std::size_t> lastBytes_{0};
    std::thread thread_;
};

} // namespace bench
