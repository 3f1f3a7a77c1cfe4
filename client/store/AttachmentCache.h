#pragma once
// This PC's copies of the attached files a firm store keeps: one folder per content under
// cacheLocation/Attachments, named by the content's SHA-256, holding the file under its own
// name (so the program registered for its type opens it). A copy is used only while its bytes
// still match the hash; otherwise it is fetched again.
#include <QString>

namespace brevant::db {
class Connection;
}

namespace brevant::store {

// cacheLocation/Attachments.
QString AttachmentCacheFolder(const QString& cacheLocation);
// cacheLocation/Attachments/<sha256>/<fileName>; empty when the hash is not one or the name
// could lead out of the folder (a name is taken from another PC's row).
QString CachedAttachmentPath(const QString& cacheLocation, const QString& sha256,
                             const QString& fileName);

// The path of a copy of the content whose bytes match sha256: the cached one, else one fetched
// from the store now. Throws db::DbError (with a message for the user) when the name is unsafe,
// the store refuses the content or the copy cannot be written.
QString EnsureCachedAttachment(db::Connection& connection, const QString& cacheLocation,
                               const QString& sha256, const QString& fileName);

// The file to hand on (to the mail) for an attachment row: for a row whose bytes a firm store
// keeps (content, their hash), this PC's verified copy, fetched when needed; else storedFile,
// the copy in the data folder. Throws db::DbError as EnsureCachedAttachment does.
QString AttachmentFileToSend(db::Connection& connection, const QString& cacheLocation,
                             const QString& content, const QString& fileName,
                             const QString& storedFile);

// Puts a file just attached into the cache, so the PC that attached it opens it without
// fetching; best effort (a failure only means a fetch later).
void CacheAttachedFile(const QString& cacheLocation, const QString& sha256, const QString& fileName,
                       const QString& sourcePath);

// Removes the cached copies of a content the store no longer holds.
void ForgetCachedContent(const QString& cacheLocation, const QString& sha256);

} // namespace brevant::store
