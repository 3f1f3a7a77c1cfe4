#include "platform/db/AttachmentContent.h"

#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/pg/PgBackend.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>
#include <algorithm>

namespace brevant::db {

namespace {

// Slices of a file read, sent or fetched at a time.
constexpr qint64 kSlice = 1024 * 1024;

// Content locks: the two-key advisory space, first key 1112692323 (schema work uses
// 1112692321, store-wide locks 1112692322), second key the hash's first 32 bits. Whoever
// stores a content, or deletes one no row names, holds it, so a content is never deleted
// while another unit makes a row that names it.
constexpr const char* kContentLock = "SELECT pg_advisory_xact_lock(1112692323, $1)";

DbError contentError(const QString& text) {
    return DbError(errors::Unspecified, text, Condition::Other);
}

pg::Session& sessionOf(Connection& connection) {
    auto* backend = dynamic_cast<pg::PgBackend*>(&connection.backend());
    if (!backend)
        throw contentError(QStringLiteral("This store keeps no attached files' contents."));
    return backend->session();
}

void lockContent(pg::Session& session, const QString& sha256) {
    const auto key = qint32(sha256.left(8).toUInt(nullptr, 16));
    session.run(kContentLock, pg::Params{QByteArray::number(key)});
}

QString damagedText(const QString& name, const QString& why) {
    return QStringLiteral("The firm store's copy of %1 is damaged (%2); it was not opened.")
        .arg(name, why);
}

void appendBigEndian32(QByteArray& out, qint32 v) {
    char b[4];
    qToBigEndian(v, b);
    out.append(b, 4);
}

} // namespace

ContentDigest digestFile(const QString& path) {
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        throw contentError(QStringLiteral("Cannot read %1: %2").arg(path, in.errorString()));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QByteArray buffer(kSlice, Qt::Uninitialized);
    ContentDigest digest;
    for (;;) {
        const qint64 n = in.read(buffer.data(), buffer.size());
        if (n < 0)
            throw contentError(QStringLiteral("Cannot read %1: %2").arg(path, in.errorString()));
        if (n == 0)
            break;
        hash.addData(QByteArrayView(buffer.constData(), n));
        digest.size += n;
    }
    digest.sha256 = QString::fromLatin1(hash.result().toHex());
    return digest;
}

bool isContentHash(const QString& text) {
    return text.size() == 64 && std::all_of(text.begin(), text.end(), [](QChar c) {
               return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f');
           });
}

bool storesAttachmentContent(const Connection& connection) {
    return connection.isOpen() && connection.dialect() == Dialect::PostgreSql;
}

QString attachmentTooLargeText(const QString& fileName, qint64 size) {
    return QStringLiteral("The file %1 is %2 bytes; the firm store takes attached files of at "
                          "most %3 bytes (%4 MB). Nothing was attached.")
        .arg(fileName)
        .arg(size)
        .arg(kMaxAttachmentBytes)
        .arg(kMaxAttachmentBytes / (1024 * 1024));
}

void storeAttachmentContent(Connection& connection, const QString& path,
                            const ContentDigest& digest) {
    const QString name = QFileInfo(path).fileName();
    if (digest.size > kMaxAttachmentBytes)
        throw contentError(attachmentTooLargeText(name, digest.size));
    if (!isContentHash(digest.sha256))
        throw contentError(QStringLiteral("No fingerprint of %1.").arg(name));
    pg::Session& session = sessionOf(connection);
    lockContent(session, digest.sha256);
    const QByteArray key = digest.sha256.toLatin1();
    if (session.run("SELECT 1 FROM brevant_attachment_content WHERE sha256 = $1", pg::Params{key})
            .rows() > 0)
        return;
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        throw contentError(QStringLiteral("Cannot read %1: %2").arg(path, in.errorString()));
    const QString changed =
        QStringLiteral("%1 changed while it was being attached; nothing was attached.").arg(name);

    // Binary COPY: the bytes go as they are, slice by slice, with no escaping.
    session.copyIn("COPY brevant_attachment_content (sha256, size, bytes) FROM STDIN "
                   "(FORMAT binary)");
    try {
        QByteArray head("PGCOPY\n\377\r\n\0", 11);
        appendBigEndian32(head, 0); // flags
        appendBigEndian32(head, 0); // header extension
        char field[2];
        qToBigEndian(qint16(3), field);
        head.append(field, 2);
        appendBigEndian32(head, qint32(key.size()));
        head += key;
        appendBigEndian32(head, 8);
        char size[8];
        qToBigEndian(qint64(digest.size), size);
        head.append(size, 8);
        appendBigEndian32(head, qint32(digest.size));
        session.copyData(head);

        QCryptographicHash hash(QCryptographicHash::Sha256);
        QByteArray buffer(kSlice, Qt::Uninitialized);
        qint64 sent = 0;
        while (sent < digest.size) {
            const qint64 n = in.read(buffer.data(), std::min(kSlice, digest.size - sent));
            if (n <= 0)
                throw contentError(changed);
            hash.addData(QByteArrayView(buffer.constData(), n));
            session.copyData(QByteArrayView(buffer.constData(), n));
            sent += n;
        }
        char extra = 0;
        if (in.read(&extra, 1) != 0 || QString::fromLatin1(hash.result().toHex()) != digest.sha256)
            throw contentError(changed);
        char trailer[2];
        qToBigEndian(qint16(-1), trailer);
        session.copyData(QByteArrayView(trailer, 2));
    } catch (const DbError&) {
        try {
            session.copyEnd("the file could not be sent whole");
        } catch (const DbError&) {
            // The server's answer to the abandoned copy; the first failure is the one.
        }
        throw;
    }
    session.copyEnd();
}

void fetchAttachmentContent(Connection& connection, const QString& sha256, const QString& target,
                            const QString& name) {
    if (!isContentHash(sha256))
        throw contentError(damagedText(name, QStringLiteral("it names no valid content")));
    pg::Session& session = sessionOf(connection);
    const QByteArray key = sha256.toLatin1();
    const pg::Result r = session.run(
        "SELECT size, octet_length(bytes) FROM brevant_attachment_content WHERE sha256 = $1",
        pg::Params{key});
    if (r.rows() == 0)
        throw contentError(
            QStringLiteral("The firm store holds no copy of %1; it was not opened.").arg(name));
    const qint64 size = r.isNull(0, 0) ? -1 : r.text(0, 0).toLongLong();
    const qint64 length = r.isNull(0, 1) ? -1 : r.text(0, 1).toLongLong();
    if (length > kMaxAttachmentBytes)
        throw contentError(
            damagedText(name, QStringLiteral("it is larger than any attached file")));
    if (size != length)
        throw contentError(damagedText(name, QStringLiteral("its size is not what was stored")));

    QSaveFile out(target);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly))
        throw contentError(QStringLiteral("Cannot write %1: %2").arg(target, out.errorString()));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (qint64 done = 0; done < length;) {
        const qint64 want = std::min(kSlice, length - done);
        // base64 whatever the server's bytea_output is.
        const pg::Result slice =
            session.run("SELECT encode(substring(bytes FROM $2 FOR $3), 'base64') FROM "
                        "brevant_attachment_content WHERE sha256 = $1",
                        pg::Params{key, QByteArray::number(done + 1), QByteArray::number(want)});
        if (slice.rows() == 0 || slice.isNull(0, 0)) {
            out.cancelWriting();
            throw contentError(damagedText(name, QStringLiteral("it went while it was read")));
        }
        const QByteArray bytes = QByteArray::fromBase64(slice.text(0, 0).toByteArray());
        if (bytes.size() != want) {
            out.cancelWriting();
            throw contentError(
                damagedText(name, QStringLiteral("its size is not what was stored")));
        }
        hash.addData(bytes);
        if (out.write(bytes) != bytes.size()) {
            out.cancelWriting();
            throw contentError(
                QStringLiteral("Cannot write %1: %2").arg(target, out.errorString()));
        }
        done += want;
    }
    if (QString::fromLatin1(hash.result().toHex()) != sha256) {
        out.cancelWriting();
        throw contentError(damagedText(name, QStringLiteral("its bytes do not match their hash")));
    }
    // A document: opening it must never run it. Read-only, so a program that opens it saves
    // changes elsewhere instead of into this PC's copy of the firm's file.
    out.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    if (!out.commit())
        throw contentError(QStringLiteral("Cannot write %1: %2").arg(target, out.errorString()));
}

QStringList dropUnreferencedContent(Connection& connection, const QStringList& hashes) {
    QStringList unique;
    for (const QString& h : hashes)
        if (isContentHash(h) && !unique.contains(h))
            unique << h;
    if (unique.isEmpty())
        return {};
    std::sort(unique.begin(), unique.end()); // locks taken in one order
    pg::Session& session = sessionOf(connection);
    QStringList dropped;
    for (const QString& h : std::as_const(unique)) {
        lockContent(session, h);
        const pg::Result r = session.run(
            "DELETE FROM brevant_attachment_content c WHERE c.sha256 = $1 AND NOT EXISTS "
            "(SELECT 1 FROM attachments a WHERE a.content = $1)",
            pg::Params{h.toLatin1()});
        if (r.affected() > 0)
            dropped << h;
    }
    return dropped;
}

} // namespace brevant::db
