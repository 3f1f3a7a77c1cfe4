// The control end to end over TLS: Security and VerifyCertificate set as a host sets them, a
// UTF-8 Subject, display name and file name, attachments read back byte for byte by Python's
// email package from what aiosmtpd stored, with STARTTLS and with implicit TLS.
#include "../net/support/TestPeers.h"
#include "SmtpSink.h"
#include "mailvane/mailvane.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>

using namespace mailvane;
using namespace mailvane::testing;
using Lines = std::vector<std::string>;

namespace {

std::string binaryFile(std::size_t size) {
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<char>((i * 167 + i / 5) & 0xFF);
    return data;
}

const std::string kSubject = "Pl\xc3\xa4ne f\xc3\xbcr das B\xc3\xbcrogeb\xc3\xa4ude \xe2\x80\x93 "
                             "Ausschreibung 42, Nachtrag 3 \xe6\x97\xa5\xe6\x9c\xac";
const std::string kPlanName = "Grundriss-\xc3\x9c"
                              "bersicht.tif";

} // namespace

TEST(ControlTls, Utf8MessageWithAttachmentsOverStartTlsAndImplicitTls) {
    TestCertificate certificate;
    ASSERT_TRUE(certificate.made());
    const auto trust = trustOnly(certificate);
    TempDir dir;
    const std::string plan = binaryFile(250000);
    const std::string notes = "Abschnitt 1 \xc3\xa4\r\n.dot line\r\n";
    writeFile(dir.path() / kPlanName, plan);
    writeFile(dir.path() / "notes.txt", notes);

    for (const char* mode : {"starttls", "implicit"}) {
        SmtpSink sink("mailer", "s3cret:pw", mode, certificate);
        ASSERT_TRUE(sink.up()) << mode;
        Mailvane m;
        EXPECT_EQ(m.get_CharsetMode(), csUtf8) << "the tests run under a UTF-8 locale";
        EXPECT_EQ(m.get_Security(), secNone);
        EXPECT_TRUE(m.get_VerifyCertificate());
        m.put_Security(std::string(mode) == "starttls" ? secStartTlsRequired : secImplicitTls);
        m.put_MailServer("127.0.0.1");
        m.put_MailPort(sink.port());
        m.put_Timeout(60);
        m.put_WinsockPath("*USER: mailer");
        m.put_WinsockPath("*PASSWORD: s3cret:pw");
        m.put_From("J\xc3\xbcrgen Sch\xc3\xa4"
                   "fer <estimator@example.com>");
        m.put_SendTo("ann@example.com");
        m.put_BCc("hidden@example.com");
        m.put_Subject(kSubject);
        m.put_MessageText("Gr\xc3\xbc\xc3\x9f"
                          "e, die Pl\xc3\xa4ne sind angeh\xc3\xa4ngt.\r\n");
        m.AddAttachment((dir.path() / kPlanName).string());
        m.AddAttachment((dir.path() / "notes.txt").string());
        ASSERT_NO_THROW(m.Send()) << mode << " " << m.get_LastReply();

        EXPECT_EQ(sink.envelope(),
                  (Lines{"estimator@example.com", "ann@example.com", "hidden@example.com"}));
        const Lines report = sink.parse();
        const auto has = [&](const std::string& line) {
            return std::find(report.begin(), report.end(), line) != report.end();
        };
        EXPECT_TRUE(has("Subject decoded: " + kSubject)) << mode;
        EXPECT_TRUE(has("From decoded: J\xc3\xbcrgen Sch\xc3\xa4"
                        "fer <estimator@example.com>"))
            << mode;
        EXPECT_TRUE(has("part text/plain -")) << mode;
        EXPECT_TRUE(has("part application/octet-stream " + kPlanName)) << mode;
        EXPECT_TRUE(has("part text/plain notes.txt")) << mode;
        EXPECT_EQ(sink.partBytes(1), "Gr\xc3\xbc\xc3\x9f"
                                     "e, die Pl\xc3\xa4ne sind angeh\xc3\xa4ngt.\n");
        EXPECT_EQ(sink.partBytes(2), plan) << mode;
        // Quoted-printable text comes back with the reader's own line ends.
        EXPECT_EQ(sink.partBytes(3), "Abschnitt 1 \xc3\xa4\n.dot line\n") << mode;
        EXPECT_EQ(sink.stored().find("hidden@"), std::string::npos) << "no Bcc in the message";
        EXPECT_NE(sink.stored().find("Content-Type: text/plain; charset=utf-8"), std::string::npos);
    }
}

TEST(ControlTls, SecurityIsRangeCheckedPersistedAndHasItsHelpContext) {
    Mailvane m;
    m.put_Security(secStartTlsIfOffered);
    m.put_VerifyCertificate(false);
    try {
        m.put_Security(4);
        ADD_FAILURE() << "4 is out of range";
    } catch (const ComError& e) {
        EXPECT_EQ(e.description(), "Value is out of range.");
        EXPECT_EQ(e.helpContext(), 24133u);
    }
    EXPECT_EQ(Mailvane::FindProperty("VerifyCertificate")->helpContext, 24134u);
    std::stringstream stream;
    m.SaveToStream(stream);
    Mailvane restored;
    restored.LoadFromStream(stream);
    EXPECT_EQ(restored.get_Security(), secStartTlsIfOffered);
    EXPECT_FALSE(restored.get_VerifyCertificate());

    // A stream saved before these properties existed still loads, with their defaults.
    std::string old = stream.str();
    old.resize(old.size() - 5 - 2); // Security: kind + 4 bytes; VerifyCertificate: kind + 1
    std::istringstream in(old);
    Mailvane fromOld;
    fromOld.put_Security(secImplicitTls);
    EXPECT_NO_THROW(fromOld.LoadFromStream(in));
    EXPECT_EQ(fromOld.get_Security(), secImplicitTls) << "not in the stream: left as it was";
}
