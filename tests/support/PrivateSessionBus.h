#pragma once
// A session bus of the test's own: a dbus-daemon child with a minimal configuration (no
// service activation, so nothing installed on the machine answers in the test's place). The
// address is read from the daemon's own pipe once it prints it.
#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace brevant::test {

class PrivateSessionBus {
public:
    PrivateSessionBus() {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty()) {
            error_ = QStringLiteral("dbus-daemon is not installed (package dbus-daemon)");
            return;
        }
        const QString config = dir_.filePath(QStringLiteral("bus.conf"));
        QFile f(config);
        if (!f.open(QIODevice::WriteOnly)) {
            error_ = QStringLiteral("cannot write ") + config;
            return;
        }
        f.write(QStringLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus "
                               "Configuration 1.0//EN\" "
                               "\"http://www.freedesktop.org/standards/dbus/1.0/"
                               "busconfig.dtd\">\n<busconfig><type>session</type>"
                               "<listen>unix:dir=%1</listen><auth>EXTERNAL</auth>"
                               "<policy context=\"default\"><allow send_destination=\"*\" "
                               "eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                               "<allow own=\"*\"/></policy></busconfig>\n")
                    .arg(dir_.path())
                    .toUtf8());
        f.close();
        daemon_.start(daemon, {QStringLiteral("--nofork"), QStringLiteral("--config-file"), config,
                               QStringLiteral("--print-address=1")});
        if (!daemon_.waitForStarted()) {
            error_ = daemon_.errorString();
            return;
        }
        QByteArray line;
        while (!line.endsWith('\n') && daemon_.waitForReadyRead(60000))
            line += daemon_.readAllStandardOutput();
        address_ = QString::fromUtf8(line).trimmed();
        if (address_.isEmpty())
            error_ = QStringLiteral("dbus-daemon printed no address: ") +
                     QString::fromUtf8(daemon_.readAllStandardError());
    }
    ~PrivateSessionBus() {
        for (const QString& name : names_)
            QDBusConnection::disconnectFromBus(name);
        if (daemon_.state() != QProcess::NotRunning) {
            daemon_.terminate();
            if (!daemon_.waitForFinished(30000))
                daemon_.kill();
            daemon_.waitForFinished(30000);
        }
    }
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    bool running() const { return !address_.isEmpty(); }
    QString errorText() const { return error_; }
    QString address() const { return address_; }

    // A new connection to the bus under a name of the test's choosing.
    QDBusConnection connect(const QString& name) {
        names_ << name;
        return QDBusConnection::connectToBus(address_, name);
    }

private:
    QTemporaryDir dir_;
    QProcess daemon_;
    QString address_;
    QString error_;
    QStringList names_;
};

} // namespace brevant::test
