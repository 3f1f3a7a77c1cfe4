// The service never falls over on garbage: random bytes, truncated frames, valid frames cut at
// every length and abrupt disconnects, after which it still answers a valid request.
#include "ServiceHarness.h"

#include <QTcpSocket>
#include <gtest/gtest.h>
#include <random>

using namespace brevant::service::test;

namespace {

TEST(RobustnessTest, GarbageAndTruncatedRequestsLeaveTheServiceAnswering) {
    ServiceProcess service;
    ASSERT_TRUE(service.started()) << service.errorText().toStdString();
    std::mt19937 random(20270301);

    // Random bytes, some starting with a valid kind character.
    for (int i = 0; i < 40; ++i) {
        QByteArray junk(int(random() % 300) + 1, '\0');
        for (char& c : junk)
            c = char(random() % 256);
        if (i % 2)
            junk[0] = char(1 + random() % 5);
        Received r = exchange(service.port, junk, kAnswerMs);
        // Either a refusal, or (rarely) a well-framed answer; never a hang without an end.
        EXPECT_TRUE(r.terminated || r.closed) << "request " << i;
    }
    // Valid requests of every kind cut short at many lengths.
    const QList<QByteArray> valid = {
        frame(1, "WHERE  [Job Information].[Name] LIKE '%a%' AND  (Due_Date >= '3/1/2027' OR "
                 "(datepart(yyyy, Due_Date) = 1900)) ORDER BY Due_Date"),
        frame(2, "210001,210002"), frame(3, "210003"), frame(4, ""),
        frame(5, "210001@PLN~PLAN001:SPC~TOC01")};
    for (const QByteArray& request : valid) {
        for (qsizetype cut = 1; cut < request.size(); cut += 7) {
            Received r = exchange(service.port, request.left(cut), kAnswerMs);
            EXPECT_TRUE(r.terminated || r.closed)
                << request.left(cut).toPercentEncoding().constData();
        }
    }
    // Connections dropped mid-request and mid-reply.
    for (int i = 0; i < 10; ++i) {
        QTcpSocket socket;
        socket.connectToHost("127.0.0.1", quint16(service.port));
        ASSERT_TRUE(socket.waitForConnected(3000));
        socket.write(valid.at(i % valid.size()).left(i % 2 ? 4 : 1000));
        socket.waitForBytesWritten(1000);
        socket.abort();
    }
    EXPECT_EQ(exchange(service.port, frame(4, "")).data, QByteArray("1\x01"));
    Received search = exchange(service.port, valid.first());
    EXPECT_TRUE(search.terminated);
    EXPECT_TRUE(search.body().startsWith("<?xml"));
}

TEST(RobustnessTest, SilentConnectionsDoNotBlockOthers) {
    ServiceProcess service;
    ASSERT_TRUE(service.started());
    QList<QTcpSocket*> idle;
    for (int i = 0; i < 20; ++i) {
        auto* s = new QTcpSocket;
        s->connectToHost("127.0.0.1", quint16(service.port));
        s->waitForConnected(3000);
        idle << s;
    }
    EXPECT_EQ(exchange(service.port, frame(4, "")).data, QByteArray("1\x01"));
    qDeleteAll(idle);
}

} // namespace
