#include "server/DocumentLimits.h"

#include <QCoreApplication>
#include <QFile>
#include <QtDebug>

namespace brevant::server {

QString documentSizeError(qint64 bytes) {
    if (bytes <= MaxDocumentBytes)
        return {};
    return QCoreApplication::translate("brevant::server::DocumentLimits",
                                       "The document is larger than %1 MB")
        .arg(MaxDocumentBytes >> 20);
}

QString tooManyElementsError() {
    return QCoreApplication::translate("brevant::server::DocumentLimits",
                                       "The document has more than %L1 elements")
        .arg(MaxDocumentElements);
}

bool readDocumentFile(const QString& path, QByteArray& xml, QString* reason) {
    QFile file(path);
    QString error;
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
    } else if (error = documentSizeError(file.size()); error.isEmpty()) {
        // The size is read again in the read itself: a file that grows meanwhile is cut here
        // and then fails to parse, it never takes more memory than the cap.
        xml = file.read(MaxDocumentBytes + 1);
        error = documentSizeError(xml.size());
    }
    if (error.isEmpty())
        return true;
    xml.clear();
    if (reason)
        *reason = error;
    return false;
}

bool appendCapped(QString& field, QStringView text) {
    const qsizetype room = MaxTextChars - field.size();
    if (text.size() <= room) {
        field += text;
        return false;
    }
    qsizetype take = std::max<qsizetype>(room, 0);
    if (take > 0 && text.at(take - 1).isHighSurrogate())
        --take; // never half a character
    field += text.left(take);
    return true;
}

QString capped(QStringView value, bool& cut) {
    QString out;
    if (appendCapped(out, value))
        cut = true;
    return out;
}

void logCutTexts(const QString& what, int count) {
    if (count > 0)
        qWarning().noquote() << QStringLiteral("%1: %2 texts longer than %3 characters were cut")
                                    .arg(what)
                                    .arg(count)
                                    .arg(MaxTextChars);
}

} // namespace brevant::server
