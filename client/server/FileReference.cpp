#include "server/FileReference.h"

#include <QStringList>

namespace brevant::server {

QString FileReference::fileName() const {
    return url.mid(url.lastIndexOf(QLatin1Char('/')) + 1);
}

FileReference ParseFileReference(const QString& replyText) {
    const QStringList parts = replyText.split(QLatin1Char(','));
    FileReference r;
    r.url = parts.value(0).trimmed();
    bool ok = false;
    const qint64 size = parts.value(1).trimmed().toLongLong(&ok);
    r.size = ok && size > 0 ? size : 0;
    return r;
}

} // namespace brevant::server
