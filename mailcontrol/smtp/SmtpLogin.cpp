// The greeting, TLS and the login of a session: EHLO/HELO, STARTTLS (the TLS layer throws away
// whatever arrived before its handshake, and the greeting is sent again), and AUTH PLAIN or
// AUTH LOGIN. With any Security but None the credentials only ever travel under TLS.
#include "net/Base64.h"
#include "smtp/SmtpSession.h"

namespace mailvane::smtp {

using net::Status;

namespace {

std::string certificateName(const std::string& serverName) {
    // A SOCKS 5 target written "*name" is the name.
    return !serverName.empty() && serverName[0] == '*' ? serverName.substr(1) : serverName;
}

} // namespace

Status SmtpSession::hello(const std::string& name) {
    extensions_ = {};
    if (command("EHLO", name).ok()) {
        extensions_ = parseEhloReply(replyLines_);
        return {};
    }
    return command("HELO", name);
}

Status SmtpSession::startTls(const SessionSettings& settings) {
    net::TlsOptions options;
    options.hostName = certificateName(settings.connection.serverName);
    options.verifyPeer = settings.verifyCertificate;
    Status status = connection_.startTls(options);
    if (status.ok()) {
        host_.trail(2, "Secure connection (" + connection_.tlsProtocol() + ").");
    }
    return status;
}

Status SmtpSession::secureAndLogin(const SessionSettings& settings, const std::string& name) {
    const bool credentials = !settings.loginUser.empty() && !settings.loginPassword.empty();
    if (settings.security == Security::StartTlsRequired ||
        settings.security == Security::StartTlsIfOffered) {
        if (extensions_.startTls) {
            Status status = command("STARTTLS");
            if (status.ok()) {
                status = startTls(settings);
            }
            if (status.ok()) {
                status = hello(name);
            }
            if (!status.ok()) {
                return status;
            }
        } else if (settings.security == Security::StartTlsRequired) {
            return {net::kNoStartTls, "The mail server does not offer STARTTLS."};
        } else if (credentials) {
            return {net::kNoStartTls,
                    "The mail server does not offer STARTTLS; the login is not sent unencrypted."};
        }
    }
    return credentials ? login(settings) : Status{};
}

Status SmtpSession::login(const SessionSettings& settings) {
    // AUTH PLAIN is used only on a connection asked to be secure, so that a plain session keeps
    // the exchange it always had.
    if (settings.security != Security::None && extensions_.authPlain) {
        std::string plain;
        plain += '\0';
        plain += settings.loginUser;
        plain += '\0';
        plain += settings.loginPassword;
        return command("AUTH PLAIN", net::base64Encode(plain));
    }
    Status status = command("AUTH LOGIN");
    if (status.ok()) {
        status = command(net::base64Encode(settings.loginUser));
    }
    if (status.ok()) {
        status = command(net::base64Encode(settings.loginPassword));
    }
    return status;
}

} // namespace mailvane::smtp
