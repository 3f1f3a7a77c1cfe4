#pragma once
// A fast SMTP sink on 127.0.0.1 for the benchmarks: accepts any transaction and discards the
// data, so that the sender is what gets measured. silent() instead never says anything.
#include <atomic>
#include <cstddef>
#include <thread>

namespace bench {

class SmtpSink {
public:
    explicit SmtpSink(bool silent = false);
    ~SmtpSink();
    int port() const { return port_; }
    std::size_t lastMessageBytes() const { return lastBytes_; }

private:
    void serve();
    void converse(int fd);

    bool silent_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<std::size_t> lastBytes_{0};
    std::thread thread_;
};

} // namespace bench
