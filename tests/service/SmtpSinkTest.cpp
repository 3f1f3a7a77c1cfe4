// The SMTP sink stores each message it accepts as a file under DIR/mail/, envelope first, with
// dot-stuffing undone; it answers out-of-order commands with errors instead of storing.
#include "ServiceHarness.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTcpSocket>
#include <gtest/gtest.h>

using namespace brevant::service::test;

namespace {

// Sends one line and returns the complete reply (the last line has a blank after the code).
QByteArray say(QTcpSocket& s, const QByteArray& line) {
    if (!line.isNull())
        s.write(line + "\r\n");
    QByteArray reply;
    QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        s.waitForReadyRead(50);
        reply += s.readAll();
        const QList<QByteArray> lines = reply.split('\n');
        if (lines.size() >= 2 && lines.at(lines.size() - 2).size() > 3 &&
            lines.at(lines.size() - 2).at(3) == ' ')
            break;
    }
    return reply;
}

TEST(SmtpSinkTest, StoresAcceptedMessagesWithTheirEnvelope) {
    ServiceProcess service;
    ASSERT_TRUE(service.started());
    ASSERT_GT(service.smtpPort, 0);
    QTcpSocket s;
    s.connectToHost("127.0.0.1", quint16(service.smtpPort));
    ASSERT_TRUE(s.waitForConnected(3000));
    EXPECT_TRUE(say(s, QByteArray()).startsWith("220"));
    EXPECT_TRUE(say(s, "MAIL FROM:<a@example.com>").startsWith("503"));
    EXPECT_TRUE(say(s, "EHLO client").contains("250 "));
    EXPECT_TRUE(say(s, "AUTH LOGIN").startsWith("334"));
    EXPECT_TRUE(say(s, "dXNlcg==").startsWith("334"));
    EXPECT_TRUE(say(s, "cGFzcw==").startsWith("235"));
    EXPECT_TRUE(say(s, "DATA").startsWith("503"));
    EXPECT_TRUE(say(s, "MAIL FROM:<estimator@example.com>").startsWith("250"));
    EXPECT_TRUE(say(s, "RCPT TO:<one@example.com>").startsWith("250"));
    EXPECT_TRUE(say(s, "RCPT TO:<two@example.com>").startsWith("250"));
    EXPECT_TRUE(say(s, "DATA").startsWith("354"));
    EXPECT_TRUE(
        say(s, "Subject: Plans\r\n\r\nFirst line\r\n..starts with a dot\r\n.").startsWith("250"));
    EXPECT_TRUE(say(s, "QUIT").startsWith("221"));

    const QDir mail(service.dataDir() + "/mail");
    const QStringList files = mail.entryList({"*.eml"}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    QFile f(mail.filePath(files.first()));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(),
              QByteArray("X-Envelope-From: <estimator@example.com>\r\n"
                         "X-Envelope-To: <one@example.com>\r\n"
                         "X-Envelope-To: <two@example.com>\r\n"
                         "Subject: Plans\r\n\r\nFirst line\r\n.starts with a dot\r\n"));
}

} // namespace
