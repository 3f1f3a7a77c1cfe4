// The window-less check's desktop notice, against a private session bus with a recording
// notification service: what it shows, that a click starts the program on the changed
// projects, that a missing bus or service costs one quiet line, and the unattended check of the
// systemd timer run as the program itself (credentials file, notice, exit).
#include "../../support/PrivateSessionBus.h"
#include "ExchangeTestEnv.h"

#include "platform/db/Recordset.h"
#include "platform/desktop/DesktopNotice.h"
#include "shell/UpdateNotice.h"

#include <QDBusMessage>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace brevant;

namespace {

const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

struct Shown {
    uint id;
    QString appName, icon, summary, body;
    QStringList actions;
    QVariantMap hints;
};

} // namespace

// A notification service that records what it is asked to show and then answers as the test
// chose: the user clicks the notice, closes it, or does nothing.
class RecordingNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    enum class Then { Click, Close, Nothing };
    RecordingNotifications(QDBusConnection bus, Then then) : bus_(bus), then_(then) {}
    std::vector<Shown> shown;

Q_SIGNALS:
    void notified();

public Q_SLOTS:
    uint Notify(const QString& appName, uint /*replaces*/, const QString& icon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int /*timeout*/) {
        const uint id = uint(shown.size()) + 41;
        shown.push_back({id, appName, icon, summary, body, actions, hints});
        // The signal follows the reply, as a real service's would.
        QTimer::singleShot(0, this, [this, id] {
            if (then_ == Then::Click)
                emitSignal(QStringLiteral("ActionInvoked"), {id, QStringLiteral("default")});
            if (then_ != Then::Nothing)
                emitSignal(QStringLiteral("NotificationClosed"),
                           {id, uint(then_ == Then::Click ? 2 : 1)});
            Q_EMIT notified();
        });
        return id;
    }
    QStringList GetCapabilities() { return {QStringLiteral("actions"), QStringLiteral("body")}; }
    void CloseNotification(uint) {}

private:
    void emitSignal(const QString& name, const QVariantList& args) {
        QDBusMessage m = QDBusMessage::createSignal(kPath, kInterface, name);
        m.setArguments(args);
        bus_.send(m);
    }
    QDBusConnection bus_;
    Then then_;
};

namespace {

// A private bus with the recording service on it, and a second connection for the notifier.
class NoticeBus {
public:
    explicit NoticeBus(RecordingNotifications::Then then)
        : serviceBus(bus.running() ? bus.connect(QStringLiteral("notice-service"))
                                   : QDBusConnection(QStringLiteral("none"))),
          service(serviceBus, then) {
        if (!bus.running())
            return;
        registered = serviceBus.registerObject(kPath, &service, QDBusConnection::ExportAllSlots) &&
                     serviceBus.registerService(QStringLiteral("org.freedesktop.Notifications"));
    }
    QDBusConnection client() { return bus.connect(QStringLiteral("notice-client")); }

    test::PrivateSessionBus bus;
    QDBusConnection serviceBus;
    RecordingNotifications service;
    bool registered = false;
};

struct Launch {
    QString program;
    QStringList arguments;
};

QList<shell::ChangedProject> threeChanged() {
    return {{210001, QStringLiteral("ROOF REPLACEMENT")},
            {210007, QStringLiteral("CITY HALL <b>ANNEX</b> & GARAGE")},
            {210012, QStringLiteral("POOL")}};
}

} // namespace

TEST(UpdateNotice, ClickingTheNoticeStartsTheProgramOnTheChangedProjects) {
    NoticeBus b(RecordingNotifications::Then::Click);
    ASSERT_TRUE(b.bus.running()) << qPrintable(b.bus.errorText());
    ASSERT_TRUE(b.registered);
    std::vector<Launch> launched;
    QString errText;
    QTextStream err(&errText);
    shell::NotifyChangedProjects(
        threeChanged(), true, b.client(), 600000, QStringLiteral("/opt/brevant/bin/brevant"),
        [&](const QString& program, const QStringList& args) {
            launched.push_back({program, args});
            return true;
        },
        err);
    ASSERT_EQ(b.service.shown.size(), 1u);
    const Shown& s = b.service.shown[0];
    EXPECT_EQ(s.summary, "3 tracked projects changed");
    // The service's titles are text, never markup.
    EXPECT_EQ(s.body, "ROOF REPLACEMENT\nCITY HALL &lt;b&gt;ANNEX&lt;/b&gt; &amp; GARAGE\nPOOL");
    EXPECT_EQ(s.actions, (QStringList{"default", "Open"}));
    EXPECT_EQ(s.appName, "Brevant Desktop");
    EXPECT_EQ(s.icon, "brevant");
    EXPECT_EQ(s.hints.value("desktop-entry").toString(), "brevant");
    ASSERT_EQ(launched.size(), 1u);
    EXPECT_EQ(launched[0].program, "/opt/brevant/bin/brevant");
    EXPECT_EQ(launched[0].arguments, (QStringList{"--show-projects", "210001,210007,210012"}));
    EXPECT_TRUE(errText.isEmpty()) << qPrintable(errText);
}

TEST(UpdateNotice, AClosedOrUnansweredNoticeStartsNothing) {
    for (auto then : {RecordingNotifications::Then::Close, RecordingNotifications::Then::Nothing}) {
        NoticeBus b(then);
        ASSERT_TRUE(b.bus.running()) << qPrintable(b.bus.errorText());
        int launches = 0;
        QString errText;
        QTextStream err(&errText);
        // Unanswered, the wait ends by its bound; a short one keeps the test quick.
        const int wait = then == RecordingNotifications::Then::Close ? 600000 : 1;
        shell::NotifyChangedProjects(
            {{210001, QStringLiteral("ROOF REPLACEMENT")}}, false, b.client(), wait,
            QStringLiteral("brevant"),
            [&](const QString&, const QStringList&) {
                ++launches;
                return true;
            },
            err);
        ASSERT_EQ(b.service.shown.size(), 1u);
        EXPECT_EQ(b.service.shown[0].summary, "1 project changed");
        EXPECT_EQ(launches, 0);
        EXPECT_TRUE(errText.isEmpty()) << qPrintable(errText);
    }
}

TEST(UpdateNotice, NoBusOrNoServiceCostsOneQuietLine) {
    test::PrivateSessionBus bus;
    ASSERT_TRUE(bus.running()) << qPrintable(bus.errorText());
    const QDBusConnection noService = bus.connect(QStringLiteral("no-service"));
    const QDBusConnection noBus = QDBusConnection::connectToBus(
        QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("no-bus"));
    for (const QDBusConnection& c : {noService, noBus}) {
        QString errText;
        QTextStream err(&errText);
        bool launched = false;
        shell::NotifyChangedProjects(
            threeChanged(), true, c, 600000, QStringLiteral("brevant"),
            [&](const QString&, const QStringList&) { return launched = true; }, err);
        EXPECT_FALSE(launched);
        EXPECT_TRUE(errText.startsWith("No desktop notice: ")) << qPrintable(errText);
        EXPECT_EQ(errText.count('\n'), 1) << qPrintable(errText);
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("no-bus"));
}

TEST(UpdateNotice, TheBodyNamesAFewProjectsBriefly) {
    QList<shell::ChangedProject> many;
    for (int i = 0; i < 7; ++i)
        many.append({100 + i, QString(i == 0 ? 200 : 5, QChar('A' + i))});
    many[1].name = QStringLiteral("  TWO\nLINES\t ");
    many[2].name.clear();
    const QStringList lines = shell::UpdateNoticeBody(many).split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QString(59, 'A') + QChar(0x2026));
    EXPECT_EQ(lines[1], "TWO LINES");
    EXPECT_EQ(lines[2], "Project 102");
    EXPECT_EQ(lines[3], "and 4 more");
    EXPECT_EQ(shell::UpdateNoticeSummary(1, true), "1 tracked project changed");
    EXPECT_EQ(shell::UpdateNoticeSummary(2, false), "2 projects changed");
}

namespace {

// The client's database exported from the service's catalogue, two projects tracked, and the
// program run as the timer's unit runs it.
class TimerCheck : public shell::test::ShellTestEnv {
public:
    TimerCheck() {
        server::test::exportCatalogue(data_.path(), createDatabase());
        service = std::make_unique<service::test::ServiceProcess>(QStringList{}, data_.path());
        server::test::ExchangeTestEnv::pointTo(service->port);
        execute(store(), {"Update [Projects] set [Tracked] = TRUE where "
                          "[Job_ID] in (210001, 210024)"});
    }
    QString writeCredentials(const QByteArray& text, mode_t mode) {
        const QString file = path("credentials");
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
        f.close();
        EXPECT_EQ(::chmod(QFile::encodeName(file).constData(), mode), 0);
        return file;
    }
    void start(QProcess& p, const QStringList& args, const QString& busAddress) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("BREVANT_PASSWORD");
        env.insert("DBUS_SESSION_BUS_ADDRESS", busAddress);
        p.setProcessEnvironment(env);
        p.start(BREVANT_EXE, args);
    }
    QTemporaryDir data_;
    std::unique_ptr<service::test::ServiceProcess> service;
};

} // namespace

TEST(UpdateNoticeTimer, TheUnitsCheckReadsAPrivateFileAndTellsTheDesktop) {
    TimerCheck t;
    ASSERT_TRUE(t.service->started()) << qPrintable(t.service->errorText());
    NoticeBus b(RecordingNotifications::Then::Close);
    ASSERT_TRUE(b.bus.running()) << qPrintable(b.bus.errorText());
    const QString file = t.writeCredentials("# the morning check\nBREVANT_USER=test\n"
                                            "BREVANT_PASSWORD=\"secret\"\n",
                                            0600);
    QProcess p;
    QSignalSpy finished(&p, &QProcess::finished);
    // The service's event loop must run while the program waits for it, so no blocking wait.
    t.start(p, {"--check-updates", "--tracked", "--notify", "--password-file", file},
            b.bus.address());
    ASSERT_TRUE(finished.wait(240000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const QString errText = QString::fromUtf8(p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), 0) << qPrintable(errText);
    EXPECT_TRUE(out.startsWith("210001 ")) << qPrintable(out);
    EXPECT_TRUE(errText.isEmpty()) << qPrintable(errText);
    ASSERT_EQ(b.service.shown.size(), 1u);
    EXPECT_TRUE(
        b.service.shown[0].summary.contains(QRegularExpression("^[12] tracked projects? changed$")))
        << qPrintable(b.service.shown[0].summary);
    // The first line of the body is 210001's title as the database holds it.
    const QString name = out.section('\n', 0, 0).section(':', 0, 0).mid(7);
    EXPECT_TRUE(b.service.shown[0].body.startsWith(name.toHtmlEscaped()))
        << qPrintable(b.service.shown[0].body);
}

TEST(UpdateNoticeTimer, ACredentialsFileOthersMayReadIsRefused) {
    TimerCheck t;
    const QString file = t.writeCredentials("BREVANT_USER=test\nBREVANT_PASSWORD=secret\n", 0644);
    QProcess p;
    t.start(p, {"--check-updates", "--tracked", "--password-file", file}, QString());
    ASSERT_TRUE(p.waitForFinished(120000));
    const QString errText = QString::fromUtf8(p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_TRUE(errText.contains(file + " may be read or changed by other users (mode 0644)"))
        << qPrintable(errText);
    EXPECT_TRUE(errText.contains("chmod 600 " + file)) << qPrintable(errText);
    EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
    // Group-writable only is refused as well; the file owner's own mode is accepted.
    t.writeCredentials("secret\n", 0620);
    p.start(BREVANT_EXE,
            {"--check-updates", "--tracked", "--user", "test", "--password-file", file});
    ASSERT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitCode(), 2);
    // A missing file is named too.
    p.start(BREVANT_EXE, {"--check-updates", "--tracked", "--password-file", file + ".none"});
    ASSERT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(file + ".none"));
}

#include "test_update_notice.moc"
