// The control against Exim: STARTTLS required, AUTH PLAIN under TLS, several recipients and a
// blind copy; the maildir file has the right recipients, no Bcc line and the attachments byte
// for byte as Python's email package reads them.
#include "EximPeer.h"
#include "SmtpSink.h"
#include "mailvane/mailvane.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace mailvane;
using namespace mailvane::testing;
using Lines = std::vector<std::string>;

namespace {

std::string headerValue(const std::string& message, const std::string& name) {
    const std::string key = name + ": ";
    const std::size_t at = message.rfind(key, 0) == 0 ? 0 : message.find("\n" + key);
    if (at == std::string::npos) {
        return {};
    }
    // The value with its folded continuation lines joined.
    std::string value;
    std::size_t start = at + (at == 0 ? 0 : 1) + key.size();
    for (;;) {
        const std::size_t end = message.find('\n', start);
        value += message.substr(start, end - start);
        if (end == std::string::npos || end + 1 >= message.size() ||
            (message[end + 1] != ' ' && message[end + 1] != '\t')) {
            return value;
        }
        start = end + 2;
        value += ' ';
    }
}

// The recipients of the Envelope-to lines of every delivered file.
Lines envelopeRecipients(const std::vector<std::filesystem::path>& files) {
    Lines recipients;
    for (const auto& file : files) {
        const std::string envelope = headerValue(readFile(file), "Envelope-to");
        for (std::size_t start = 0; start < envelope.size();) {
            std::size_t end = envelope.find(',', start);
            end = end == std::string::npos ? envelope.size() : end;
            recipients.push_back(envelope.substr(start, end - start));
            start = end + 1;
            while (start < envelope.size() && (envelope[start] == ' ' || envelope[start] == '\t')) {
                ++start;
            }
        }
    }
    std::sort(recipients.begin(), recipients.end());
    return recipients;
}

} // namespace

TEST(Exim, StartTlsRequiredAuthPlainRecipientsNoBccAndExactAttachments) {
    TestCertificate certificate;
    ASSERT_TRUE(certificate.made());
    EximServer exim(certificate, "mailer", "s3cret:pw");
    if (::getpwnam(EximServer::kDeliveryUser) == nullptr) {
        GTEST_SKIP() << "exim4 is not installed";
    }
    ASSERT_TRUE(exim.up()) << readFile(exim.folder() / "exim.out") << exim.log();
    const auto trust = trustOnly(certificate);

    TempDir dir;
    std::string drawing(180000, '\0');
    for (std::size_t i = 0; i < drawing.size(); ++i) {
        drawing[i] = static_cast<char>((i * 37 + i / 11) & 0xFF);
    }
    writeFile(dir.path() / "drawing.dwg", drawing);
    writeFile(dir.path() / "scope.txt", "Scope of work\r\n.period line\r\n");

    Mailvane m;
    m.put_Security(secStartTlsRequired);
    m.put_MailServer("127.0.0.1");
    m.put_MailPort(exim.port());
    m.put_Timeout(60);
    m.put_WinsockPath("*USER: mailer");
    m.put_WinsockPath("*PASSWORD: s3cret:pw");
    m.put_From("Estimator <estimator@example.com>");
    m.put_SendTo("Ann <ann@example.com>, \"Doe, John\" <john@example.org>");
    m.put_Cc("carol@example.net");
    m.put_BCc("Hidden <hidden@example.com>");
    m.put_Subject("Drawings for bid 42");
    m.put_MessageText("Please find the drawings attached.\r\n");
    m.AddAttachment((dir.path() / "drawing.dwg").string());
    m.AddAttachment((dir.path() / "scope.txt").string());
    ASSERT_NO_THROW(m.Send()) << m.get_LastReply() << "\n" << exim.log();

    const Lines expected{"ann@example.com", "carol@example.net", "hidden@example.com",
                         "john@example.org"};
    std::vector<std::filesystem::path> files;
    for (int i = 0; i < 600 && envelopeRecipients(files) != expected; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        files = exim.delivered();
    }
    EXPECT_EQ(envelopeRecipients(files), expected) << exim.log();
    ASSERT_FALSE(files.empty());
    for (const auto& file : files) {
        const std::string copy = readFile(file);
        EXPECT_EQ(copy.find("\nBcc:"), std::string::npos);
        EXPECT_EQ(copy.find("hidden@example.com", copy.find("\nTo: ")), std::string::npos)
            << "the blind copy appears only in the envelope";
    }
    const std::string stored = readFile(files[0]);
    EXPECT_EQ(headerValue(stored, "Return-path"), "<estimator@example.com>");
    EXPECT_NE(stored.find("with esmtpsa"), std::string::npos) << "received over TLS, logged in";

    const Lines report = parseMessage(files[0], dir.path());
    EXPECT_NE(std::find(report.begin(), report.end(), "part application/octet-stream drawing.dwg"),
              report.end());
    EXPECT_EQ(readFile(dir.path() / "part-2"), drawing);
    EXPECT_EQ(readFile(dir.path() / "part-3"), "Scope of work\n.period line\n");
}
