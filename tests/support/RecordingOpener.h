#pragma once
// A stand-in for the desktop's opener (xdg-open), or another program started, that records each
// call in a file of its own, written under a hidden name and renamed into place when complete: a
// record that can be seen is whole, however late the stand-in runs. Records are named by the time
// the call started, so they list in the order the calls were made.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QThread>

namespace brevant::test {

class RecordingOpener {
public:
    // Writes `bin`/`program` (xdg-open unless named); each call records the line `line` (shell
    // words, e.g. "$PWD|$*") in `records`.
    RecordingOpener(const QString& bin, const QString& records, const QString& line,
                    const QString& program = QStringLiteral("xdg-open"))
        : records_(records) {
        QDir().mkpath(bin);
        QDir().mkpath(records);
        QFile script(bin + QLatin1Char('/') + program);
        if (script.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            script.write(QStringLiteral("#!/bin/sh\nn=$(date +%s%N)-$$\n"
                                        "echo \"%1\" > '%2/.'$n && mv '%2/.'$n '%2/'$n\n")
                             .arg(line, records)
                             .toUtf8());
            script.close();
            script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
        }
    }

    // The lines recorded so far, in call order.
    QStringList lines() const {
        QStringList out;
        const QDir dir(records_);
        for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
            QFile f(dir.filePath(name));
            if (f.open(QIODevice::ReadOnly))
                out << QString::fromUtf8(f.readAll()).trimmed();
        }
        return out;
    }

    // The lines once `count` calls are recorded: polls for the renames, keeping events flowing
    // (the generous limit only guards against a hang).
    QStringList waitFor(int count) const {
        QDeadlineTimer deadline(120000);
        QStringList out = lines();
        while (out.size() < count && !deadline.hasExpired()) {
            QCoreApplication::processEvents();
            QThread::msleep(10);
            out = lines();
        }
        return out;
    }

private:
    QString records_;
};

} // namespace brevant::test
