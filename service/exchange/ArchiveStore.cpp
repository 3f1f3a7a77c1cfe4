#include "service/exchange/ArchiveStore.h"

#include "platform/archive/ZipWriter.h"
#include "service/exchange/Faults.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace brevant::service {

ArchiveStore::ArchiveStore(const QString& dataDir, const QString& host)
    : folder_(QDir(dataDir).filePath("archives")), host_(host) {
    QDir().mkpath(folder_);
    // Carry on numbering after the archives of earlier runs, so no URL is reused.
    static const QRegularExpression numbered("-(\\d{6})(\\.\\w+)?$");
    for (const QString& name : QDir(folder_).entryList(QDir::Files)) {
        const auto m = numbered.match(name);
        if (m.hasMatch())
            counter_ = std::max(counter_, m.captured(1).toInt());
    }
}

QString ArchiveStore::url(const QString& name) const {
    return QString("http://%1:%2/archives/%3").arg(host_).arg(httpPort_).arg(name);
}

QString ArchiveStore::allocate(const QString& prefix, const QString& extension) {
    return QString("%1-%2%3").arg(prefix).arg(++counter_, 6, 10, QChar('0')).arg(extension);
}

qint64 ArchiveStore::size(const QString& name) const {
    return QFileInfo(QDir(folder_).filePath(name)).size();
}

void ArchiveStore::write(const QString& name, const QVector<Entry>& entries,
                         const FaultOptions& faults, int kind) {
    brevant::archive::ZipWriter zip(QDir(folder_).filePath(name).toStdString());
    if (!(faults.emptyArchive && faults.appliesTo(kind))) {
        const bool hostile = faults.hostileNames && faults.appliesTo(kind);
        for (int i = 0; i < entries.size(); ++i) {
            const Entry& e = entries.at(i);
            QString entryName = hostile ? hostileEntryName(e.name, i) : e.name;
            if (i == 0 && !faults.entryName.isEmpty() && faults.appliesTo(kind))
                entryName = faults.entryName;
            if (e.sourcePath.isEmpty())
                zip.addBytes(entryName.toStdString(), e.bytes.toStdString(),
                             e.comment.toStdString());
            else
                zip.addFile(entryName.toStdString(), e.sourcePath.toStdString(),
                            e.comment.toStdString());
        }
    }
    zip.write();
}

QString ArchiveStore::writeDocument(const QString& prefix, const QByteArray& xml,
                                    const FaultOptions& faults, int kind) {
    const QString name = allocate(prefix, QString());
    write(name, {Entry{name, QString(), xml, QString()}}, faults, kind);
    return name;
}

} // namespace brevant::service
