#include "store/AttachmentCache.h"

#include "platform/db/AttachmentContent.h"
#include "platform/db/DbError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace brevant::store {

namespace {

// A name from the store used as a file name: no folder part, no "." or "..", no NUL.
bool safeFileName(const QString& name) {
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(QLatin1Char('/')) &&
           !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0));
}

bool copyMatches(const QString& path, const QString& sha256) {
    if (!QFileInfo(path).isFile())
        return false;
    try {
        return db::digestFile(path).sha256 == sha256;
    } catch (const db::DbError&) {
        return false;
    }
}

} // namespace

QString AttachmentCacheFolder(const QString& cacheLocation) {
    return QDir::cleanPath(cacheLocation) + QStringLiteral("/Attachments");
}

QString CachedAttachmentPath(const QString& cacheLocation, const QString& sha256,
                             const QString& fileName) {
    if (!db::isContentHash(sha256) || !safeFileName(fileName))
        return {};
    return AttachmentCacheFolder(cacheLocation) + QLatin1Char('/') + sha256 + QLatin1Char('/') +
           fileName;
}

QString EnsureCachedAttachment(db::Connection& connection, const QString& cacheLocation,
                               const QString& sha256, const QString& fileName) {
    const QString path = CachedAttachmentPath(cacheLocation, sha256, fileName);
    if (path.isEmpty())
        throw db::DbError(db::errors::Unspecified,
                          QStringLiteral("The attachment \"%1\" has a name or content that "
                                         "cannot be used here; it was not opened.")
                              .arg(fileName),
                          db::Condition::Other);
    if (copyMatches(path, sha256))
        return path;
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        throw db::DbError(db::errors::Unspecified,
                          QStringLiteral("Cannot create the folder %1").arg(folder),
                          db::Condition::Other);
    // A stale copy is read-only; the fetched one is renamed over it.
    if (QFileInfo::exists(path))
        QFile::remove(path);
    db::fetchAttachmentContent(connection, sha256, path, fileName);
    return path;
}

QString AttachmentFileToSend(db::Connection& connection, const QString& cacheLocation,
                             const QString& content, const QString& fileName,
                             const QString& storedFile) {
    if (content.isEmpty() || !db::storesAttachmentContent(connection))
        return storedFile;
    return EnsureCachedAttachment(connection, cacheLocation, content, fileName);
}

void CacheAttachedFile(const QString& cacheLocation, const QString& sha256, const QString& fileName,
                       const QString& sourcePath) {
    const QString path = CachedAttachmentPath(cacheLocation, sha256, fileName);
    if (path.isEmpty() || copyMatches(path, sha256) ||
        !QDir().mkpath(QFileInfo(path).absolutePath()))
        return;
    QFile::remove(path);
    QFile in(sourcePath);
    QSaveFile out(path);
    out.setDirectWriteFallback(false);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        return;
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(buffer.data(), buffer.size());
        if (n < 0 || (n > 0 && out.write(buffer.constData(), n) != n)) {
            out.cancelWriting();
            return;
        }
        if (n == 0)
            break;
    }
    out.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    if (!out.commit())
        return;
    // The source may have changed since it was stored: a copy that does not match goes.
    if (!copyMatches(path, sha256))
        QFile::remove(path);
}

void ForgetCachedContent(const QString& cacheLocation, const QString& sha256) {
    if (db::isContentHash(sha256))
        QDir(AttachmentCacheFolder(cacheLocation) + QLatin1Char('/') + sha256).removeRecursively();
}

} // namespace brevant::store
