#include "store/Attachments.h"

#include "platform/db/AttachmentContent.h"
#include "platform/db/Connection.h"
#include "platform/db/DataPath.h"
#include "platform/db/DbError.h"
#include "platform/db/JetDate.h"
#include "platform/db/ProjectUnit.h"
#include "platform/db/Recordset.h"
#include "store/AttachmentCache.h"
#include "store/SqlValue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace brevant::store {

namespace {

// A text literal that keeps an empty text empty (SqlValue would store Null).
QString textLiteral(const QString& text) {
    return QLatin1Char('\'') + SqlEscape(text) + QLatin1Char('\'');
}

// Copies source over target through a temporary file in the target's folder, renamed over
// the target only once the whole copy is written: a copy that fails leaves an earlier stored
// file as it was. Returns the reason of a failure, empty on success.
QString copyReplacing(const QString& source, const QString& target) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return in.errorString();
    QSaveFile out(target);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly))
        return out.errorString();
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(buffer.data(), buffer.size());
        if (n < 0) {
            out.cancelWriting();
            return "Cannot read " + source + ": " + in.errorString();
        }
        if (n == 0)
            break;
        if (out.write(buffer.constData(), n) != n) {
            out.cancelWriting();
            return out.errorString();
        }
    }
    // The copy is a document: opening it must never run it, whatever mode it came with.
    out.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    if (!out.commit())
        return out.errorString();
    return {};
}

QString insertSql(int jobId, const QString& fileName, const QString& folder,
                  const QString& description, const QDate& today) {
    return "INSERT INTO Attachments ( JobID, FileName, Path, Description, Type, Added ) VALUES (" +
           QString::number(jobId) + "," + textLiteral(fileName) + "," + textLiteral(folder) + "," +
           textLiteral(description) + "," + textLiteral(AttachmentType(fileName)) + "," +
           textLiteral(today.toString(Qt::ISODate)) + ");";
}

QString sameFileWhere(int jobId, const QString& fileName) {
    return " where [Filename] = " + textLiteral(fileName) +
           " AND [JOBID] = " + QString::number(jobId);
}

// The contents the project's rows of that file name (all of them when fileName is null) name.
QStringList contentsOf(db::Connection& connection, int jobId, const QString& fileName) {
    QStringList hashes;
    db::Recordset rs;
    rs.open("Select [Content] from [Attachments]" +
                (fileName.isNull() ? " where [JobID] = " + QString::number(jobId)
                                   : sameFileWhere(jobId, fileName)),
            connection);
    for (; !rs.eof(); rs.moveNext())
        hashes << rs.field(0).toString();
    rs.close();
    return hashes;
}

AttachResult attachToStore(db::Connection& connection, const QString& cacheLocation, int jobId,
                           const QString& sourcePath, const QString& description,
                           const QDate& today) {
    const QString fileName = QFileInfo(sourcePath).fileName();
    const qint64 size = QFileInfo(sourcePath).size();
    if (size > db::kMaxAttachmentBytes)
        return {AttachOutcome::Failed, db::attachmentTooLargeText(fileName, size)};
    QStringList dropped;
    db::ContentDigest digest;
    try {
        digest = db::digestFile(sourcePath);
        db::runProjectUnit(connection, jobId, [&] {
            db::storeAttachmentContent(connection, sourcePath, digest);
            const QStringList before = contentsOf(connection, jobId, fileName);
            // The row has no folder: each PC keeps the file in its own cache.
            connection.execute(insertSql(jobId, fileName, QString(), description, today));
            // Rows of the same name now open the new file, as the replaced copy does on SQLite.
            connection.execute("UPDATE [Attachments] SET [Content] = " +
                               textLiteral(digest.sha256) + sameFileWhere(jobId, fileName));
            dropped = db::dropUnreferencedContent(connection, before);
        });
    } catch (const db::DbError& e) {
        return {AttachOutcome::Failed, e.description()};
    }
    for (const QString& h : std::as_const(dropped))
        ForgetCachedContent(cacheLocation, h);
    CacheAttachedFile(cacheLocation, digest.sha256, fileName, sourcePath);
    return {AttachOutcome::Added, {}};
}

} // namespace

QStringList ProjectAttachmentContents(db::Connection& connection, int jobId) {
    return contentsOf(connection, jobId, QString());
}

QString AttachmentsSql(int jobId) {
    return "Select * from [Attachments] where [JobID] = " + QString::number(jobId) +
           " ORDER BY [Description]";
}

std::vector<AttachmentRow> LoadAttachments(db::Connection& connection, int jobId) {
    std::vector<AttachmentRow> rows;
    db::Recordset rs;
    rs.open(AttachmentsSql(jobId), connection);
    while (!rs.eof()) {
        AttachmentRow row;
        row.fileName = rs.field(QStringLiteral("FileName")).toString();
        row.path = rs.field(QStringLiteral("Path")).toString();
        row.description = rs.field(QStringLiteral("Description")).toString();
        row.type = rs.field(QStringLiteral("Type")).toString();
        row.added = db::formatDate(rs.field(QStringLiteral("Added")));
        if (rs.hasField(QStringLiteral("Content")))
            row.content = rs.field(QStringLiteral("Content")).toString();
        rows.push_back(std::move(row));
        rs.moveNext();
    }
    rs.close();
    return rows;
}

QString AttachmentFolder(const QString& cacheLocation, int jobId) {
    return db::resolveCaseInsensitive(QDir::cleanPath(cacheLocation) + QLatin1Char('/') +
                                      QString::number(jobId));
}

QString AttachmentFile(const QString& cacheLocation, int jobId, const QString& fileName) {
    return db::resolveCaseInsensitive(AttachmentFolder(cacheLocation, jobId) + QLatin1Char('/') +
                                      fileName);
}

QString OpenedAttachmentFile(const QString& cacheLocation, int jobId, const QString& fileName,
                             const QString& storedFolder) {
    if (!storedFolder.isEmpty()) {
        // Paths stored on other systems may use a backslash as the separator.
        QString folder = storedFolder;
        folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
        const QString stored =
            db::resolveCaseInsensitive(QDir::cleanPath(folder) + QLatin1Char('/') + fileName);
        if (QFileInfo(stored).isFile())
            return stored;
    }
    return AttachmentFile(cacheLocation, jobId, fileName);
}

QString AttachmentType(const QString& fileName) {
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : fileName.mid(dot + 1);
}

QString AttachmentIconName(const QString& type) {
    static const QStringList known = {"DOC", "XLS", "PDF", "TXT", "RTF",
                                      "CSV", "LOG", "HTM", "HTML"};
    const QString upper = type.toUpper();
    return known.contains(upper) ? upper : QStringLiteral("FILE");
}

AttachResult AttachFile(db::Connection& connection, const QString& cacheLocation, int jobId,
                        const QString& sourcePath, const QString& description, const QDate& today) {
    const QFileInfo source(sourcePath);
    const QString fileName = source.fileName();
    if (!source.isFile())
        return {AttachOutcome::NotFound, {}};
    if (db::storesAttachmentContent(connection))
        return attachToStore(connection, cacheLocation, jobId, sourcePath, description, today);
    const QString folder = AttachmentFolder(cacheLocation, jobId);
    if (!QDir().mkpath(folder))
        return {AttachOutcome::Failed, "Cannot create the folder " + folder};
    const QString target = AttachmentFile(cacheLocation, jobId, fileName);
    const QFileInfo targetInfo(target);
    // Attaching the stored copy itself leaves it as it is.
    if (targetInfo.canonicalFilePath() != source.canonicalFilePath()) {
        const QString error = copyReplacing(sourcePath, target);
        if (!error.isEmpty())
            return {AttachOutcome::Failed, error};
    }
    if (!QFileInfo::exists(target))
        return {AttachOutcome::NotFound, {}};
    const QString sql = insertSql(jobId, fileName, folder + QLatin1Char('/'), description, today);
    try {
        // Under the project's lock, so it never lands between a delete's statements.
        db::runProjectUnit(connection, jobId, [&] { connection.execute(sql); });
    } catch (const db::DbError& e) {
        return {AttachOutcome::Failed, e.description()};
    }
    return {AttachOutcome::Added, {}};
}

void RemoveAttachment(db::Connection& connection, const QString& cacheLocation, int jobId,
                      const QString& fileName) {
    // The row goes first: a store that refuses the delete (another estimator holds the
    // project) must not be left listing a file that is gone.
    QStringList dropped;
    db::runProjectUnit(connection, jobId, [&] {
        const bool firm = db::storesAttachmentContent(connection);
        const QStringList contents = firm ? contentsOf(connection, jobId, fileName) : QStringList();
        connection.execute("dELETE * from [Attachments]" + sameFileWhere(jobId, fileName));
        if (firm)
            dropped = db::dropUnreferencedContent(connection, contents);
    });
    for (const QString& h : std::as_const(dropped))
        ForgetCachedContent(cacheLocation, h);
    const QString file = AttachmentFile(cacheLocation, jobId, fileName);
    if (!fileName.isEmpty() && QFileInfo(file).isFile())
        QFile::remove(file);
}

} // namespace brevant::store
