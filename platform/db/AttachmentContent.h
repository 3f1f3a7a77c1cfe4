#pragma once
// The bytes of attached files kept in a firm store (PostgreSQL), so an attachment made on one
// PC opens on every other. Contents are keyed by their SHA-256: the same file attached to two
// projects is stored once, and an Attachments row names its content by the hash (column
// Content). An SQLite store keeps no contents; its attachments stay files in the data folder.
//
// Files are read in slices and sent with COPY, and read back in slices: no more than one slice
// of a file is held in memory at a time, whatever its size.
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace brevant::db {

class Connection;

// The largest file the firm store takes as one attachment (see docs/architecture.md).
constexpr qint64 kMaxAttachmentBytes = 64LL * 1024 * 1024;

// A file's fingerprint: SHA-256 in lower-case hex, and its size in bytes.
struct ContentDigest {
    QString sha256;
    qint64 size = 0;
};

// Reads the file once; throws DbError naming the file when it cannot be read.
ContentDigest digestFile(const QString& path);
// True for 64 lower-case hex digits: the only hash texts used to name contents or folders.
bool isContentHash(const QString& text);

// True when the store keeps attachments' bytes (a PostgreSQL store).
bool storesAttachmentContent(const Connection& connection);

// The refusal of a file over kMaxAttachmentBytes, naming it, its size and the limit.
QString attachmentTooLargeText(const QString& fileName, qint64 size);

// Inside a project's unit of work: stores the file's bytes under digest unless the store has
// them already. Throws DbError when the file changed since it was digested (nothing is kept)
// or is over the limit.
void storeAttachmentContent(Connection& connection, const QString& path,
                            const ContentDigest& digest);

// Writes the content named by sha256 to target, through a temporary file beside it renamed
// into place only once every byte is there and matches the hash. A content the store lacks,
// whose stored size is not its length or over the limit, or whose bytes do not match the hash
// is refused with DbError (name: the file name shown in the message) and target is untouched.
void fetchAttachmentContent(Connection& connection, const QString& sha256, const QString& target,
                            const QString& name);

// Inside a unit of work: deletes the contents among hashes that no Attachments row names any
// more; returns the hashes deleted.
QStringList dropUnreferencedContent(Connection& connection, const QStringList& hashes);

} // namespace brevant::db
