#pragma once
// The aiosmtpd server the session tests deliver to, started on a free port with a folder of
// its own, and Python's email package to read back what it stored.
#include "../net/support/TestPeers.h"
#include "TlsPeers.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace mailvane::testing {

inline std::filesystem::path peerScript(const char* name) {
    return std::filesystem::path(BREVANT_SOURCE_DIR) / "tests/mailcontrol/smtp/peers" / name;
}

// What Python's email package makes of a stored message: the report lines of dump_message.py;
// the decoded parts go to outdir/part-N.
inline std::vector<std::string> parseMessage(const std::filesystem::path& file,
                                             const std::filesystem::path& outdir) {
    const std::string command = "/usr/bin/python3 '" + peerScript("dump_message.py").string() +
                                "' '" + file.string() + "' '" + outdir.string() + "'";
    std::vector<std::string> lines;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
            std::string line(buffer);
            if (!line.empty() && line.back() == '\n') {
                line.pop_back();
            }
            lines.push_back(line);
        }
        ::pclose(pipe);
    }
    return lines;
}

class SmtpSink {
public:
    explicit SmtpSink(const std::string& user = {}, const std::string& password = {}) {
        start(user, password, {}, nullptr);
    }
    // With TLS: tlsMode "starttls" (offered, AUTH only after it) or "implicit".
    SmtpSink(const std::string& user, const std::string& password, const std::string& tlsMode,
             const TestCertificate& certificate) {
        start(user, password, tlsMode, &certificate);
    }
    bool up() const { return up_; }
    int port() const { return port_; }
    std::filesystem::path message(int n = 1) const {
        return dir_.path() / ("msg-" + std::to_string(n) + ".eml");
    }
    std::string stored(int n = 1) const { return readFile(message(n)); }
    // Sender, then the recipients, as the server took them.
    std::vector<std::string> envelope(int n = 1) const {
        std::vector<std::string> lines;
        std::string text = readFile(dir_.path() / ("msg-" + std::to_string(n) + ".env"));
        std::size_t start = 0;
        for (std::size_t end; (end = text.find('\n', start)) != std::string::npos;
             start = end + 1) {
            lines.push_back(text.substr(start, end - start));
        }
        return lines;
    }
    // What the email package makes of message n: its report lines; parts go to partFile(i).
    std::vector<std::string> parse(int n = 1) const {
        return parseMessage(message(n), dir_.path());
    }
    std::string partBytes(int i) const {
        return readFile(dir_.path() / ("part-" + std::to_string(i)));
    }

    // The server's log: every command line it received.
    std::string log() const { return readFile(dir_.path() / "sink.log"); }

private:
    void start(const std::string& user, const std::string& password, const std::string& tlsMode,
               const TestCertificate* certificate) {
        port_ = freePort();
        std::vector<std::string> argv = {"/usr/bin/python3", peerScript("smtp_sink.py").string(),
                                         std::to_string(port_), dir_.path().string()};
        if (!user.empty() || certificate != nullptr) {
            argv.push_back(user.empty() ? "-" : user);
            argv.push_back(user.empty() ? "-" : password);
        }
        if (certificate != nullptr) {
            argv.push_back(tlsMode);
            argv.push_back(certificate->certificate().string());
            argv.push_back(certificate->key().string());
        }
        process_ = PeerProcess(argv, dir_.path() / "sink.log");
        up_ = process_.waitForPort(port_);
    }

    TempDir dir_;
    int port_ = 0;
    PeerProcess process_;
    bool up_ = false;
};

} // namespace mailvane::testing
