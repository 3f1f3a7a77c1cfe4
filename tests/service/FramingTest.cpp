// Reply framing over real sockets: the closing character, one request per connection, the
// search connection that carries several, and the faults that split, stall or cut replies.
#include "ServiceHarness.h"

#include <QThread>
#include <gtest/gtest.h>

using namespace brevant::service::test;

namespace {

const QString SchoolSearch = "WHERE  [Job Information].[Name] LIKE '%a%' AND  (Due_Date >= "
                             "'3/1/2027' OR (datepart(yyyy, Due_Date) = 1900)) ORDER BY Due_Date";

TEST(FramingTest, AccessCheckAnswersOneDigitEndedByCharacterOne) {
    ServiceProcess service;
    ASSERT_TRUE(service.started()) << service.errorText().toStdString();
    Received r = exchange(service.port, frame(4, ""));
    EXPECT_EQ(r.data, QByteArray("1\x01"));
    Received denied = exchange(service.port, frame(4, "viewer", "pw", "2.0.0", ""));
    EXPECT_EQ(denied.data, QByteArray("0\x01"));
}

TEST(FramingTest, NonSearchConnectionIsClosedAfterItsReplyAndSearchStaysOpen) {
    ServiceProcess service;
    ASSERT_TRUE(service.started()) << service.errorText().toStdString();

    Connection listing(service.port);
    Received r = listing.request(frame(2, "210001"));
    ASSERT_TRUE(r.terminated);
    EXPECT_TRUE(listing.waitClosed(3000));

    Connection search(service.port);
    for (int i = 0; i < 3; ++i) {
        Received s = search.request(frame(1, SchoolSearch));
        ASSERT_TRUE(s.terminated) << "search " << i;
        EXPECT_TRUE(s.body().startsWith("<?xml")) << s.body().left(80).constData();
        EXPECT_EQ(s.body().count('\x01'), 0);
    }
    EXPECT_FALSE(search.waitClosed(300));
}

TEST(FramingTest, RequestArrivingInPiecesIsJoinedBeforeItIsRead) {
    // A long pause, so that a busy machine cannot stretch the gaps below into an end.
    ServiceProcess service({"--request-idle-ms", "1000"});
    ASSERT_TRUE(service.started()) << service.errorText().toStdString();
    Connection c(service.port);
    const QByteArray whole = frame(2, "210001,210002");
    // The header in two pieces, the argument in a third, each sooner than the pause that ends
    // a request: all one request.
    c.send(whole.left(5));
    QThread::msleep(15);
    c.send(whole.mid(5, 12));
    QThread::msleep(15);
    c.send(whole.mid(17));
    Received r = c.read();
    ASSERT_TRUE(r.terminated);
    EXPECT_TRUE(r.body().contains("/archives/listing-")) << r.body().constData();
}

TEST(FramingTest, EveryRequestIsLoggedWithKindUserArgumentAndReplySize) {
    ServiceProcess service;
    ASSERT_TRUE(service.started());
    Received listing = exchange(service.port, frame(2, "210001"));
    exchange(service.port, frame(4, "test", "nope", "2.0.0", ""));
    exchange(service.port, "junk");
    const QString log = service.stderrText();
    EXPECT_TRUE(log.contains(
        QString("listing user=test arg=\"210001\" reply=%1 bytes").arg(listing.body().size())))
        << log.toStdString();
    EXPECT_TRUE(log.contains("access user=test arg=\"\" reply=")) << log.toStdString();
    EXPECT_TRUE(log.contains("refused: Invalid user name or password"));
    EXPECT_TRUE(log.contains("invalid user= arg=\"junk\""));
}

TEST(FramingTest, ChunkedRepliesArriveInPiecesAndJoinToTheWholeReply) {
    ServiceProcess plain;
    ServiceProcess chunked({"--chunk", "7", "--chunk-delay", "40"});
    ASSERT_TRUE(plain.started() && chunked.started());
    Received whole = exchange(plain.port, frame(2, "210001,210002"));
    Received pieces = exchange(chunked.port, frame(2, "210001,210002"), 20000);
    ASSERT_TRUE(whole.terminated);
    ASSERT_TRUE(pieces.terminated);
    // Both made the first archive of their own service: the same reply, apart from the port.
    EXPECT_EQ(pieces.data.size(), whole.data.size());
    EXPECT_EQ(pieces.data.mid(pieces.data.indexOf("/archives")),
              whole.data.mid(whole.data.indexOf("/archives")));
    EXPECT_GT(pieces.reads, 3);
    // Only the last piece carries the closing character.
    EXPECT_EQ(pieces.data.indexOf('\x01'), pieces.data.size() - 1);
}

TEST(FramingTest, UnterminatedReplyNeverEndsAndLeavesTheConnectionOpen) {
    ServiceProcess service({"--no-terminator"});
    ASSERT_TRUE(service.started());
    Connection c(service.port);
    Received r = c.request(frame(4, ""), 1500);
    EXPECT_EQ(r.data, QByteArray("1"));
    EXPECT_FALSE(r.terminated);
    EXPECT_FALSE(r.closed);
    EXPECT_FALSE(c.waitClosed(300));
}

TEST(FramingTest, DropAfterClosesTheConnectionMidReply) {
    ServiceProcess service({"--drop-after", "20"});
    ASSERT_TRUE(service.started());
    Received r = exchange(service.port, frame(2, "210001"));
    EXPECT_EQ(r.data.size(), 20);
    EXPECT_FALSE(r.terminated);
    EXPECT_TRUE(r.closed);
}

TEST(FramingTest, FaultKindLimitsTheFaultToOneRequestKind) {
    ServiceProcess service({"--no-terminator", "--fault-kind", "5"});
    ASSERT_TRUE(service.started());
    EXPECT_EQ(exchange(service.port, frame(4, "")).data, QByteArray("1\x01"));
    // The documents reply comes (its "URL,size" whole once the comma is followed by the size),
    // then a further second shows that its end never does.
    Connection c(service.port);
    c.send(frame(5, "210001@PLN~PLAN001"));
    Received docs = c.read(kAnswerMs, ",");
    EXPECT_TRUE(docs.data.startsWith("http://127.0.0.1:")) << docs.data.constData();
    docs.data += c.read(1000).data;
    EXPECT_FALSE(docs.data.contains('\x01'));
}

} // namespace
