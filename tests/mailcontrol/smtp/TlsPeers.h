#pragma once
// TLS for the session tests: a throw-away certificate made by `openssl req` when the test runs,
// a scoped trust store (SSL_CERT_FILE) and the aiosmtpd sink with STARTTLS or implicit TLS.
#include "../net/support/TestPeers.h"

#include <cstdlib>
#include <optional>
#include <string>

namespace mailvane::testing {

class TestCertificate {
public:
    // A self-signed certificate and key; altNames is the subjectAltName list.
    explicit TestCertificate(const std::string& altNames = "IP:127.0.0.1,DNS:localhost") {
        const std::string command =
            "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 "
            "-subj /CN=mailvane-test -addext 'subjectAltName=" +
            altNames + "' -keyout '" + key().string() + "' -out '" + certificate().string() +
            "' >'" + (dir_.path() / "openssl.log").string() + "' 2>&1";
        made_ = std::system(command.c_str()) == 0;
        // A peer that drops its privileges (exim) must still read the throw-away key.
        std::error_code ignored;
        std::filesystem::permissions(key(),
                                     std::filesystem::perms::owner_read |
                                         std::filesystem::perms::group_read |
                                         std::filesystem::perms::others_read,
                                     ignored);
    }
    bool made() const { return made_; }
    std::filesystem::path certificate() const { return dir_.path() / "cert.pem"; }
    std::filesystem::path key() const { return dir_.path() / "key.pem"; }

private:
    TempDir dir_;
    bool made_ = false;
};

// Sets (or, with nullopt, clears) an environment variable for the life of the object.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            previous_ = old;
        }
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnvironment() {
        if (previous_) {
            ::setenv(name_, previous_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
    std::optional<std::string> previous_;
};

// OpenSSL reads SSL_CERT_FILE whenever a client loads the default trust store.
inline ScopedEnvironment trustOnly(const TestCertificate& certificate) {
    return ScopedEnvironment("SSL_CERT_FILE", certificate.certificate().string());
}

} // namespace mailvane::testing
