// Bad switches stop the service at once with a message naming the switch, instead of starting
// with a guess.
#include "ServiceHarness.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace {

TEST(CommandLineTest, BadSwitchesAreRefusedWithTheirName) {
    const QList<QPair<QStringList, QString>> cases = {
        {{"--user", "nopassword"}, "--user"},        {{"--user", "a:b:sometimes"}, "--user"},
        {{"--min-version", "2.1"}, "--min-version"}, {{"--port", "70000"}, "--port"},
        {{"--projects", "many"}, "--projects"},      {{"--today", "03/01/2027"}, "--today"},
        {{"--fault-kind", "6"}, "--fault-kind"},     {{"--host", "not-an-address"}, "--host"},
        {{"--no-such-switch"}, "no-such-switch"},
    };
    QTemporaryDir dir;
    for (const auto& [args, name] : cases) {
        QProcess p;
        p.start(BREVANT_SERVICE_EXE,
                QStringList{"--data", dir.path(), "--port", "0", "--http-port", "0"} + args);
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 2) << args.join(' ').toStdString();
        EXPECT_TRUE(p.readAllStandardError().contains(name.toUtf8())) << name.toStdString();
    }
}

} // namespace
