// The SMTP sink stores each message it accepts as a file under DIR/mail/, envelope first, with
// dot-stuffing undone; it answers out-of-order commands with errors instead of storing.
#include "RawSocket.h"
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

// The messages the sink stored, in the order of their file names.
QList<QByteArray> storedMessages(const ServiceProcess& service) {
    const QDir mail(service.dataDir() + "/mail");
    QList<QByteArray> messages;
    for (const QString& name : mail.entryList({"*.eml"}, QDir::Files, QDir::Name)) {
        QFile f(mail.filePath(name));
        messages << (f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray());
    }
    return messages;
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

    const QList<QByteArray> stored = storedMessages(service);
    ASSERT_EQ(stored.size(), 1);
    EXPECT_EQ(stored.first(),
              QByteArray("X-Envelope-From: <estimator@example.com>\r\n"
                         "X-Envelope-To: <one@example.com>\r\n"
                         "X-Envelope-To: <two@example.com>\r\n"
                         "Subject: Plans\r\n\r\nFirst line\r\n.starts with a dot\r\n"));
}

TEST(SmtpSinkTest, RecipientsBeyondAHundredAreRefusedAndNotKept) {
    ServiceProcess service;
    ASSERT_TRUE(service.started());
    QTcpSocket s;
    s.connectToHost("127.0.0.1", quint16(service.smtpPort));
    ASSERT_TRUE(s.waitForConnected(3000));
    say(s, QByteArray());
    say(s, "EHLO client");
    EXPECT_TRUE(say(s, "MAIL FROM:<estimator@example.com>").startsWith("250"));
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(
            say(s, "RCPT TO:<r" + QByteArray::number(i) + "@example.com>").startsWith("250"))
            << i;
    for (int i = 100; i < 105; ++i)
        EXPECT_TRUE(
            say(s, "RCPT TO:<r" + QByteArray::number(i) + "@example.com>").startsWith("452"))
            << i;
    EXPECT_TRUE(say(s, "DATA").startsWith("354"));
    EXPECT_TRUE(say(s, "Subject: many\r\n\r\nbody\r\n.").startsWith("250"));
    // A new envelope starts from nothing again.
    EXPECT_TRUE(say(s, "MAIL FROM:<estimator@example.com>").startsWith("250"));
    EXPECT_TRUE(say(s, "RCPT TO:<next@example.com>").startsWith("250"));

    const QList<QByteArray> messages = storedMessages(service);
    ASSERT_EQ(messages.size(), 1);
    const QByteArray& stored = messages.first();
    EXPECT_EQ(stored.count("X-Envelope-To:"), 100);
    EXPECT_TRUE(stored.contains("X-Envelope-To: <r99@example.com>"));
    EXPECT_FALSE(stored.contains("r100@"));
}

TEST(SmtpSinkTest, AClientThatDoesNotReadItsRepliesIsNotReadFrom) {
    ServiceProcess service;
    ASSERT_TRUE(service.started());
    RawSocket s(service.smtpPort);
    ASSERT_TRUE(s.ok());
    ASSERT_TRUE(s.sendAll("EHLO pipelining\r\n"));
    // Commands pour in and no reply is read. The sink must stop taking them at some point,
    // which the sender sees as a socket that stays full.
    const QByteArray block = QByteArray("NOOP\r\n").repeated(8192);
    constexpr qint64 Limit = 128ll << 20;
    qint64 sent = 0;
    bool stalled = false;
    while (sent < Limit) {
        const qsizetype n = s.sendSome(block.constData(), block.size());
        sent += n;
        if (n == 0 && !s.waitWritable(3000)) {
            stalled = true;
            break;
        }
    }
    EXPECT_TRUE(stalled) << sent << " bytes taken without a reply read";
    // The bytes taken so far may end inside a command: finish it, then say goodbye, sending
    // only as the sink takes it while the replies are read.
    const qsizetype partial = qsizetype(sent % 6);
    QByteArray rest = (partial ? QByteArray("NOOP\r\n").mid(partial) : QByteArray()) + "QUIT\r\n";
    const qint64 commands = (sent + 5) / 6;
    // Reading the replies lets it go on: every command is answered, in order, none lost.
    QByteArray replies;
    bool closed = false;
    QDeadlineTimer deadline(120000);
    while (!closed && !deadline.hasExpired()) {
        if (!rest.isEmpty())
            rest.remove(0, s.sendSome(rest.constData(), rest.size()));
        replies += s.readSome(50, &closed);
    }
    EXPECT_TRUE(closed);
    EXPECT_EQ(replies.count("250 OK\r\n"), commands);
    EXPECT_TRUE(replies.endsWith("221 Bye\r\n"));
}

} // namespace
