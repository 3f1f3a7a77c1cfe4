#pragma once
// The user's own files attached to a project: the rows of the attachment list, and attaching
// (a copy in the project's cache folder plus a row in Attachments), removing and opening one.
// On a firm store (PostgreSQL) the file's bytes go into the store instead, named by their hash
// in the row's Content column, and each PC opens them from its own cache (AttachmentCache).
// Everything here runs headless; the commands with their questions are in AttachmentCommands.
#include <QDate>
#include <QString>
#include <QStringList>
#include <vector>

namespace brevant::db {
class Connection;
}

namespace brevant::store {

// One row of the attachment list.
struct AttachmentRow {
    QString fileName;
    QString path; // folder of the stored copy, with the trailing separator
    QString description;
    QString type;
    QString added; // "mm/dd/yyyy"
    // SHA-256 of the bytes the firm store keeps; empty on SQLite (and for a row whose file
    // never reached the store).
    QString content;
};

// "Select * from [Attachments] where [JobID] = n ORDER BY [Description]".
QString AttachmentsSql(int jobId);
// The rows of a project's attachment list, ordered by description.
std::vector<AttachmentRow> LoadAttachments(db::Connection& connection, int jobId);

// The project's cache folder: cacheLocation + "/" + n (an existing folder whose name differs
// only in case is used).
QString AttachmentFolder(const QString& cacheLocation, int jobId);
// The text after the last "." of the file name; empty when it has none.
QString AttachmentType(const QString& fileName);
// The icon shown for a type: "DOC", "XLS", "PDF", "TXT", "RTF", "CSV", "LOG", "HTM" or "HTML"
// (compared in upper case), "FILE" for any other.
QString AttachmentIconName(const QString& type);

enum class AttachOutcome {
    Added,    // copied and listed
    NotFound, // the copy is not in the project folder (the picked file was not there)
    Failed,   // copying or the database failed; error says why
};
struct AttachResult {
    AttachOutcome outcome = AttachOutcome::Failed;
    QString error;
};

// Copies the file into the project's folder (created when missing; a stored copy of the same
// name is replaced) and adds its row. Texts are stored exactly as given, quotes and "|"
// included; an empty description is stored as an empty text.
// On a firm store: a file over db::kMaxAttachmentBytes is refused before anything is sent;
// otherwise its bytes (unless the store has them) and its row are stored in one unit of work,
// and rows of the project with the same file name are pointed at the new bytes, as the copy
// replaces the stored one on SQLite. The file is then put in this PC's cache.
AttachResult AttachFile(db::Connection& connection, const QString& cacheLocation, int jobId,
                        const QString& sourcePath, const QString& description,
                        const QDate& today = QDate::currentDate());

// Deletes the stored copy (when it is there) and every row of the project with that file
// name. On a firm store, bytes no row names any more are deleted in the same unit of work
// (and this PC's cached copies of them). Database errors propagate (db::DbError).
void RemoveAttachment(db::Connection& connection, const QString& cacheLocation, int jobId,
                      const QString& fileName);

// Firm store only: the contents the project's attachment rows name (for deleting the project).
QStringList ProjectAttachmentContents(db::Connection& connection, int jobId);

// The stored copy's path (case-insensitive lookup of an existing file).
QString AttachmentFile(const QString& cacheLocation, int jobId, const QString& fileName);
// The file "Open Document" opens: storedFolder (the row's Path) + fileName when that file is
// there, else the copy under the current cache location.
QString OpenedAttachmentFile(const QString& cacheLocation, int jobId, const QString& fileName,
                             const QString& storedFolder);

} // namespace brevant::store
