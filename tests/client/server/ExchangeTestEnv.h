#pragma once
// A client set up against a brevant-service child process: a throw-away program folder and
// settings file, the service's address and port in the settings, the test account's
// credentials, a ScriptedUi answering the dialogs, and a helper that runs the event loop until
// a condition holds (with a generous deadline, never a fixed sleep).
#include "../../service/ServiceHarness.h"
#include "../shell/ShellTestEnv.h"
#include "base/Settings.h"
#include "base/modResources.h"
#include "platform/ui/ScriptedUi.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <functional>
#include <gtest/gtest.h>

namespace brevant::server::test {

// Runs the event loop until done() or timeoutMs; returns done().
inline bool waitUntil(const std::function<bool()>& done, int timeoutMs = 30000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// The titles and texts of the message boxes shown so far.
inline QStringList messages(const ui::ScriptedUi& ui) {
    QStringList out;
    for (const ui::Shown& s : ui.shown())
        if (s.kind == QLatin1String("message"))
            out << s.text;
    return out;
}

// Writes the service's catalogue into dataDir's client database, as the demo does.
inline void exportCatalogue(const QString& dataDir, const QString& database) {
    if (db::StoreLocator::parse(database).kind() == db::StoreLocator::Kind::SqliteFile)
        QDir().mkpath(QFileInfo(database).absolutePath());
    QProcess p;
    p.start(BREVANT_SERVICE_EXE,
            {"--data", dataDir, "--projects", QString::number(service::test::TestProjects),
             "--seed", QString::number(service::test::TestSeed), "--today",
             service::test::testToday().toString(Qt::ISODate), "--export-desktop", database});
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
}

class ExchangeTestEnv : public shell::test::ShellTestEnv {
public:
    explicit ExchangeTestEnv(const QStringList& serviceOptions = {}) : service(serviceOptions) {
        pointTo(service.port);
        modResources::UserName = QStringLiteral("test");
        modResources::Password = QStringLiteral("secret");
    }
    static void pointTo(int port) {
        WriteSetting(QStringLiteral("SERVERADDR"), QStringLiteral("127.0.0.1"));
        WriteSetting(QStringLiteral("SERVERPORT"), QString::number(port));
    }
    service::test::ServiceProcess service;
    ui::ScopedScriptedUi ui;
};

} // namespace brevant::server::test
