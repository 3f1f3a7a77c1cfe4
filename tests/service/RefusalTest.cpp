// Every refusal: credentials, versions, malformed frames, "NONE", no document access, and
// requests too large to be read.
#include "ServiceHarness.h"

#include <gtest/gtest.h>

using namespace brevant::service::test;

namespace {

class RefusalTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // A long pause: the 1 MB request must not be cut into two by a busy machine.
        service = new ServiceProcess({"--min-version", "2.1.0", "--request-idle-ms", "500"});
        ASSERT_TRUE(service->started()) << service->errorText().toStdString();
    }
    static void TearDownTestSuite() {
        delete service;
        service = nullptr;
    }
    static QByteArray ask(const QByteArray& request) {
        Received r = exchange(service->port, request);
        EXPECT_TRUE(r.terminated) << request.toPercentEncoding().constData();
        return r.body();
    }
    static inline ServiceProcess* service = nullptr;
};

TEST_F(RefusalTest, WrongUserOrPasswordIsRefusedForEveryKind) {
    for (int kind = 1; kind <= 5; ++kind) {
        EXPECT_TRUE(ask(frame(kind, "test", "wrong", "2.1.0", "210001")).startsWith("+NOOK+"));
        EXPECT_TRUE(ask(frame(kind, "nobody", "secret", "2.1.0", "210001"))
                        .startsWith("+NOOK+Invalid user name or password"));
        // The name is compared exactly.
        EXPECT_TRUE(ask(frame(kind, "TEST", "secret", "2.1.0", "210001")).startsWith("+NOOK+"));
    }
}

TEST_F(RefusalTest, VersionBelowTheMinimumIsRefusedAndOthersPass) {
    const QByteArray old = ask(frame(4, "test", "secret", "2.0.9", ""));
    EXPECT_EQ(old, "+NOOK+This version of Brevant Desktop (2.0.9) is no longer supported -- "
                   "Please install version 2.1.0 or later ...");
    EXPECT_TRUE(ask(frame(4, "test", "secret", "1.99.99", "")).startsWith("+NOOK+"));
    EXPECT_EQ(ask(frame(4, "test", "secret", "2.1.0", "")), "1");
    EXPECT_EQ(ask(frame(4, "test", "secret", "2.1.10", "")), "1");
    EXPECT_EQ(ask(frame(4, "test", "secret", "10.0.0", "")), "1");
}

TEST_F(RefusalTest, MalformedFramesAreRefused) {
    const QByteArray malformed = "+NOOK+Invalid request -- Please contact support ...";
    EXPECT_EQ(ask("\x07test|secret|2.1.0\x07"), malformed);              // unknown kind
    EXPECT_EQ(ask(frame(4, "te|st", "secret", "2.1.0", "")), malformed); // bar in the name
    EXPECT_EQ(ask(frame(4, "test", "secret", "2.1", "")), malformed);    // short version
    EXPECT_EQ(ask(frame(4, "test", "secret", "2.x.0", "")), malformed);  // not a number
    EXPECT_EQ(ask(QByteArray("\x02test|secret|2.1.0")), malformed);      // header never ends
    EXPECT_EQ(ask(frame(2, "test", "secret", "2.1.0", "210001,abc")), malformed);
    EXPECT_EQ(ask(frame(5, "test", "secret", "2.1.0", "210001@XYZ~1")), malformed);
    EXPECT_EQ(ask(frame(5, "test", "secret", "2.1.0", "abc@PLN~PLAN001")), malformed);
}

TEST_F(RefusalTest, NoneSelectionAndMissingDocumentAccessAreRefused) {
    EXPECT_EQ(ask(frame(5, "test", "secret", "2.1.0", "NONE")), "+NOOK+No project selected ...");
    EXPECT_EQ(ask(frame(4, "viewer", "pw", "2.1.0", "")), "0");
    EXPECT_TRUE(ask(frame(5, "viewer", "pw", "2.1.0", "210001@PLN~PLAN001"))
                    .startsWith("+NOOK+Your subscription does not include documents"));
    // The same account may still search and fetch listings.
    EXPECT_FALSE(ask(frame(2, "viewer", "pw", "2.1.0", "210001")).startsWith("+NOOK+"));
}

TEST_F(RefusalTest, RequestOverOneMegabyteIsRefusedAndTheServiceGoesOn) {
    QByteArray huge = frame(1, "test", "secret", "2.1.0", "WHERE ");
    huge += QByteArray(1100 * 1024, 'x');
    Received r = exchange(service->port, huge, 15000);
    EXPECT_EQ(r.data, QByteArray("+NOOK+Request too large ...\x01"));
    EXPECT_EQ(ask(frame(4, "test", "secret", "2.1.0", "")), "1");
}

} // namespace
