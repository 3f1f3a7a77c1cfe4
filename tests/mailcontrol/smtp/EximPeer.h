#pragma once
// Exim, a real MTA, as the tests' own process: a configuration file of the test, a free port of
// 127.0.0.1, STARTTLS with the test's certificate, AUTH PLAIN for one account offered only under
// TLS, recipients accepted only once authenticated, and delivery to a maildir in the test's
// temporary folder (one file per message, with an Envelope-to line naming every recipient).
#include "../net/support/TestPeers.h"
#include "TlsPeers.h"

#include <algorithm>
#include <pwd.h>
#include <string>

namespace mailvane::testing {

class EximServer {
public:
    static constexpr const char* kDeliveryUser = "Debian-exim";

    EximServer(const TestCertificate& certificate, const std::string& user,
               const std::string& password) {
        if (::getpwnam(kDeliveryUser) == nullptr) {
            return;
        }
        port_ = freePort();
        const auto& d = dir_.path();
        for (const char* sub : {"spool", "log", "maildir"}) {
            std::filesystem::create_directory(d / sub);
            std::filesystem::permissions(d / sub, std::filesystem::perms::all);
        }
        const std::string p = d.string();
        writeFile(d / "exim.conf", "primary_hostname = mailvane.test\n"
                                   "spool_directory = " +
                                       p +
                                       "/spool\n"
                                       "log_file_path = " +
                                       p +
                                       "/log/%slog\n"
                                       "pid_file_path = " +
                                       p +
                                       "/exim.pid\n"
                                       "daemon_smtp_ports = " +
                                       std::to_string(port_) +
                                       "\n"
                                       "local_interfaces = 127.0.0.1\n"
                                       "host_lookup =\n"
                                       "rfc1413_hosts =\n"
                                       "keep_environment =\n"
                                       "tls_advertise_hosts = *\n"
                                       "tls_certificate = " +
                                       certificate.certificate().string() +
                                       "\n"
                                       "tls_privatekey = " +
                                       certificate.key().string() +
                                       "\n"
                                       "acl_smtp_rcpt = acl_rcpt\n"
                                       "begin acl\n"
                                       "acl_rcpt:\n"
                                       "  accept authenticated = *\n"
                                       "  deny message = authentication required\n"
                                       "begin routers\n"
                                       "everyone:\n"
                                       "  driver = accept\n"
                                       "  transport = to_maildir\n"
                                       "begin transports\n"
                                       "to_maildir:\n"
                                       "  driver = appendfile\n"
                                       "  directory = " +
                                       p +
                                       "/maildir\n"
                                       "  maildir_format\n"
                                       "  create_directory\n"
                                       "  batch_max = 100\n"
                                       "  user = " +
                                       kDeliveryUser +
                                       "\n"
                                       "  envelope_to_add\n"
                                       "  return_path_add\n"
                                       "begin authenticators\n"
                                       "plain:\n"
                                       "  driver = plaintext\n"
                                       "  public_name = PLAIN\n"
                                       "  server_advertise_condition = ${if def:tls_in_cipher}\n"
                                       "  server_condition = ${if and {{eq{$auth2}{" +
                                       user + "}}{eq{$auth3}{" + password +
                                       "}}}}\n"
                                       "  server_set_id = $auth2\n");
        // -bdf: the daemon stays in the foreground, so it is stopped by its own process id.
        process_ = PeerProcess(
            {"/usr/sbin/exim4", "-C", p + "/exim.conf", "-bdf", "-oX", std::to_string(port_)},
            d / "exim.out");
        up_ = process_.waitForPort(port_);
    }
    bool up() const { return up_; }
    int port() const { return port_; }
    const std::filesystem::path& folder() const { return dir_.path(); }
    std::string log() const { return readFile(dir_.path() / "log/mainlog"); }
    // The delivered message files (Exim writes one per recipient domain).
    std::vector<std::filesystem::path> delivered() const {
        std::vector<std::filesystem::path> files;
        std::error_code ignored;
        for (const auto& entry :
             std::filesystem::directory_iterator(dir_.path() / "maildir/new", ignored)) {
            files.push_back(entry.path());
        }
        std::sort(files.begin(), files.end());
        return files;
    }

private:
    TempDir dir_;
    int port_ = 0;
    PeerProcess process_;
    bool up_ = false;
};

} // namespace mailvane::testing
