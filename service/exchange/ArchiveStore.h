#pragma once
// The archives the service hands out: written into DIR/archives under fresh names, served by
// the HTTP server, addressed by URLs with the service's host and HTTP port. Listing and update
// archives hold one entry named exactly like the archive itself, because the client reads the
// unpacked file under the archive's own name.
#include "service/ServiceOptions.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

namespace brevant::service {

class ArchiveStore {
public:
    ArchiveStore(const QString& dataDir, const QString& host);
    void setHttpPort(int port) { httpPort_ = port; }

    QString folder() const { return folder_; }
    QString url(const QString& name) const;

    struct Entry {
        QString name;
        QString sourcePath; // a file on disk, or
        QByteArray bytes;   // the bytes themselves when sourcePath is empty
        QString comment;    // the entry's comment in the zip ("Revision=N" on a revised sheet)
    };
    // A fresh archive name: prefix-NNNNNN + extension.
    QString allocate(const QString& prefix, const QString& extension);
    // Writes the archive name with the entries, the faults for request kind applied. Throws
    // brevant::archive::ArchiveError on failure.
    void write(const QString& name, const QVector<Entry>& entries, const FaultOptions& faults,
               int kind);
    // A single-entry archive whose entry bears the archive's name (listing and update);
    // returns the name.
    QString writeDocument(const QString& prefix, const QByteArray& xml, const FaultOptions& faults,
                          int kind);

    qint64 size(const QString& name) const;

private:
    QString folder_;
    QString host_;
    int httpPort_ = 0;
    int counter_ = 0;
};

} // namespace brevant::service
