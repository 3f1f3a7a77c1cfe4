// The session over TLS against real servers on 127.0.0.1 with a certificate made for the test:
// aiosmtpd with STARTTLS and with implicit TLS, AUTH PLAIN only under TLS, certificate and name
// checks, a server that does not offer STARTTLS, and a server that injects reply lines behind
// its "220" to STARTTLS.
#include "../net/support/Firewalls.h"
#include "SessionFixture.h"
#include "SmtpSink.h"
#include "net/Base64.h"
#include "net/TlsChannel.h"

#include <gtest/gtest.h>

using namespace mailvane;
using namespace mailvane::testing;
using Lines = std::vector<std::string>;

namespace {

std::string authPlain(const std::string& user, const std::string& password) {
    return "AUTH PLAIN " + net::base64Encode(std::string(1, '\0') + user + '\0' + password);
}

class Tls : public SessionFixture {
protected:
    void SetUp() override {
        SessionFixture::SetUp();
        ASSERT_TRUE(certificate.made()) << "openssl req failed";
    }
    smtp::SessionSettings secured(int port, smtp::Security security) {
        auto s = settingsFor(port);
        s.security = security;
        s.loginUser = "mailer";
        s.loginPassword = "s3cret:pw";
        s.timeoutSeconds = 60;
        return s;
    }
    void expectDelivered(const net::Status& s, const SmtpSink& sink) {
        ASSERT_TRUE(s.ok()) << s.code << " " << s.text;
        EXPECT_EQ(sink.envelope(), (Lines{"sender@example.com", "rcpt@example.com"}));
        EXPECT_NE(sink.stored().find("Line one\r\nLine two\r\n"), std::string::npos);
    }
    bool sawSecureNote() const {
        for (const std::string& note : host.lines("trail2")) {
            if (note.rfind("Secure connection (TLSv1.", 0) == 0) {
                return true;
            }
        }
        return false;
    }

    TestCertificate certificate;
};

} // namespace

TEST_F(Tls, StartTlsThenEhloAgainThenAuthPlainWithTheCertificateChecked) {
    const auto trust = trustOnly(certificate);
    SmtpSink sink("mailer", "s3cret:pw", "starttls", certificate);
    ASSERT_TRUE(sink.up());
    for (smtp::Security security :
         {smtp::Security::StartTlsRequired, smtp::Security::StartTlsIfOffered}) {
        host.events.clear();
        auto settings = secured(sink.port(), security);
        const int n = security == smtp::Security::StartTlsRequired ? 1 : 2;
        ASSERT_TRUE(send(settings, simpleMessage()).ok()) << session.lastReply();
        const Lines sent = host.lines("trail0");
        ASSERT_GE(sent.size(), 5u);
        EXPECT_EQ((Lines{sent.begin(), sent.begin() + 5}),
                  (Lines{"EHLO client.test", "STARTTLS", "EHLO client.test",
                         authPlain("mailer", "s3cret:pw"), "RSET"}));
        EXPECT_TRUE(sawSecureNote());
        EXPECT_TRUE(host.errors().empty());
        EXPECT_EQ(sink.envelope(n), (Lines{"sender@example.com", "rcpt@example.com"}));
    }
}

TEST_F(Tls, ImplicitTlsFromTheFirstByte) {
    SmtpSink sink("mailer", "s3cret:pw", "implicit", certificate);
    ASSERT_TRUE(sink.up());
    auto settings = secured(sink.port(), smtp::Security::ImplicitTls);
    settings.verifyCertificate = false; // a local server's own certificate
    const net::Status s = send(settings, simpleMessage());
    expectDelivered(s, sink);
    const Lines sent = host.lines("trail0");
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[0], "EHLO client.test");
    EXPECT_EQ(sent[1], authPlain("mailer", "s3cret:pw"));
    EXPECT_TRUE(sawSecureNote());
    // The plain session against the same port fails: the server speaks TLS only.
    host.events.clear();
    settings.security = smtp::Security::None;
    settings.timeoutSeconds = 5;
    EXPECT_FALSE(send(settings, simpleMessage()).ok());
}

TEST_F(Tls, UntrustedCertificateFailsBeforeAnyCredentialIsSent) {
    const ScopedEnvironment systemStoreOnly("SSL_CERT_FILE", std::nullopt);
    SmtpSink sink("mailer", "s3cret:pw", "starttls", certificate);
    ASSERT_TRUE(sink.up());
    const net::Status s =
        send(secured(sink.port(), smtp::Security::StartTlsRequired), simpleMessage());
    EXPECT_EQ(s.code, net::kCertificateNotTrusted);
    EXPECT_EQ(s.text, "The mail server's certificate is not trusted: self-signed certificate.");
    EXPECT_EQ(host.lines("trail0"), (Lines{"EHLO client.test", "STARTTLS"}));
    EXPECT_EQ(sink.log().find(">> b'AUTH"), std::string::npos) << sink.log();
    EXPECT_FALSE(std::filesystem::exists(sink.message()));

    // The same server with the check switched off.
    host.events.clear();
    auto settings = secured(sink.port(), smtp::Security::StartTlsRequired);
    settings.verifyCertificate = false;
    expectDelivered(send(settings, simpleMessage()), sink);
}

TEST_F(Tls, CertificateForAnotherNameFailsWithNameMismatch) {
    TestCertificate elsewhere("DNS:mail.elsewhere.example");
    ASSERT_TRUE(elsewhere.made());
    const auto trust = trustOnly(elsewhere);
    SmtpSink sink("mailer", "s3cret:pw", "implicit", elsewhere);
    ASSERT_TRUE(sink.up());
    const net::Status s = send(secured(sink.port(), smtp::Security::ImplicitTls), simpleMessage());
    EXPECT_EQ(s.code, net::kCertificateNameMismatch);
    EXPECT_EQ(s.text, "The mail server's certificate is not valid for 127.0.0.1 (name mismatch).");
    EXPECT_TRUE(host.lines("trail0").empty());
    EXPECT_EQ(sink.log().find(">> b'EHLO"), std::string::npos);
}

TEST_F(Tls, NoStartTlsOfferedFailsBeforeCredentialsWhenRequiredOrWhenALoginWaits) {
    SmtpSink sink("mailer", "s3cret:pw"); // AUTH offered in the clear, no STARTTLS
    ASSERT_TRUE(sink.up());
    net::Status s = send(secured(sink.port(), smtp::Security::StartTlsRequired), simpleMessage());
    EXPECT_EQ(s.code, net::kNoStartTls);
    EXPECT_EQ(s.text, "The mail server does not offer STARTTLS.");
    EXPECT_EQ(host.lines("trail0"), (Lines{"EHLO client.test"}));

    host.events.clear();
    s = send(secured(sink.port(), smtp::Security::StartTlsIfOffered), simpleMessage());
    EXPECT_EQ(s.code, net::kNoStartTls);
    EXPECT_EQ(s.text,
              "The mail server does not offer STARTTLS; the login is not sent unencrypted.");
    EXPECT_EQ(host.lines("trail0"), (Lines{"EHLO client.test"}));
    const std::string log = sink.log();
    EXPECT_NE(log.find(">> b'EHLO client.test'"), std::string::npos) << log;
    EXPECT_EQ(log.find(">> b'AUTH"), std::string::npos) << log;
    EXPECT_FALSE(std::filesystem::exists(sink.message()));
}

TEST_F(Tls, WhenOfferedWithoutLoginGoesOnInPlainText) {
    SmtpSink sink;
    ASSERT_TRUE(sink.up());
    auto settings = settingsFor(sink.port());
    settings.security = smtp::Security::StartTlsIfOffered;
    expectDelivered(send(settings, simpleMessage()), sink);
    EXPECT_FALSE(sawSecureNote());
}

TEST_F(Tls, RepliesInjectedBehindTheStartTlsAnswerAreThrownAway) {
    TempDir dir;
    const int port = freePort();
    const auto log = dir.path() / "commands.log";
    PeerProcess injector({"/usr/bin/python3", peerScript("starttls_injector.py").string(),
                          std::to_string(port), certificate.certificate().string(),
                          certificate.key().string(), log.string()},
                         dir.path() / "injector.out");
    ASSERT_TRUE(injector.waitForPort(port)) << readFile(dir.path() / "injector.out");
    auto settings = secured(port, smtp::Security::StartTlsRequired);
    settings.verifyCertificate = false;
    const net::Status s = send(settings, simpleMessage());
    ASSERT_TRUE(s.ok()) << s.code << " " << s.text;
    for (const std::string& reply : host.lines("trail1")) {
        EXPECT_EQ(reply.find("injected"), std::string::npos) << reply;
    }
    // After TLS the greeting is sent again and every command got its own reply.
    EXPECT_EQ(readFile(log), "EHLO client.test\nSTARTTLS\nEHLO client.test\n" +
                                 authPlain("mailer", "s3cret:pw") +
                                 "\nRSET\nMAIL FROM:<sender@example.com>\n"
                                 "RCPT TO:<rcpt@example.com>\nDATA\nQUIT\n");
    EXPECT_EQ(host.lines("trail1").back(), "221 bye");
}

TEST_F(Tls, StartTlsThroughSocks5AndHttpConnect) {
    const auto trust = trustOnly(certificate);
    SmtpSink sink("mailer", "s3cret:pw", "starttls", certificate);
    ASSERT_TRUE(sink.up());
    TempDir dir;
    const RunningPeer dante = startDante(dir, false);
    ASSERT_TRUE(dante.up) << readFile(dir.path() / "sockd.out");
    TempDir proxyDir;
    const RunningPeer proxy = startTinyproxy(proxyDir, sink.port());
    ASSERT_TRUE(proxy.up) << readFile(proxyDir.path() / "tinyproxy.out");
    int delivered = 0;
    for (const auto& [type, firewall] : {std::pair{net::FirewallType::Socks5, &dante},
                                         std::pair{net::FirewallType::Socks4, &dante},
                                         std::pair{net::FirewallType::Tunnel, &proxy}}) {
        host.events.clear();
        auto settings = secured(sink.port(), smtp::Security::StartTlsRequired);
        settings.connection.serverAddress = 0;
        settings.connection.firewallType = type;
        settings.connection.firewallAddress = loopback();
        settings.connection.firewallPort = firewall->port;
        const net::Status s = send(settings, simpleMessage());
        ASSERT_TRUE(s.ok()) << static_cast<int>(type) << ": " << s.code << " " << s.text;
        EXPECT_TRUE(sawSecureNote());
        EXPECT_EQ(sink.envelope(++delivered), (Lines{"sender@example.com", "rcpt@example.com"}));
    }
}
