#include "platform/db/Compaction.h"

#include "platform/db/Connection.h"
#include "platform/db/DbError.h"

#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brevant::db {

namespace {

// File errors carry the run-time error numbers users know from file operations.
[[noreturn]] void fileError(int err, const QString& path) {
    long number = 75;
    QString text = QStringLiteral("Path/File access error");
    switch (err) {
    case ENOENT:
        number = 53;
        text = QStringLiteral("File not found");
        break;
    case ENOTDIR:
        number = 76;
        text = QStringLiteral("Path not found");
        break;
    case EEXIST:
    case ENOTEMPTY:
        number = 58;
        text = QStringLiteral("File already exists");
        break;
    case EACCES:
    case EPERM:
    case EROFS:
        number = 70;
        text = QStringLiteral("Permission denied");
        break;
    default:
        break;
    }
    throw DbError(
        number,
        QStringLiteral("%1 (%2: %3)").arg(text, QString::fromLocal8Bit(std::strerror(err)), path));
}

void syncPath(const QString& path, bool directory) {
    const int fd =
        ::open(path.toLocal8Bit().constData(), directory ? O_RDONLY | O_DIRECTORY : O_RDONLY);
    if (fd < 0)
        fileError(errno, path);
    const int rc = ::fsync(fd);
    const int err = errno;
    ::close(fd);
    if (rc != 0)
        fileError(err, path);
}

QString folderOf(const QString& path) {
    const QString dir = QFileInfo(path).absolutePath();
    return dir.isEmpty() ? QStringLiteral(".") : dir;
}

bool exists(const QString& path) {
    struct stat st {};
    return ::lstat(path.toLocal8Bit().constData(), &st) == 0;
}

QString sqlText(const QString& s) {
    return QLatin1Char('\'') + QString(s).replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}

// Checks the copy and leaves it as one self-contained file (no log beside it), so that it
// can be renamed into place.
void checkCopy(const QString& path) {
    sqlite3* db = nullptr;
    QString result;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) ==
        SQLITE_OK) {
        disableDoubleQuotedText(db);
        sqlite3_exec(db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            result = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
    }
    if (result.isEmpty())
        result = QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
    sqlite3_close_v2(db);
    if (result != QLatin1String("ok"))
        throw DbError(errors::Unspecified,
                      QStringLiteral("The compacted copy failed its check: %1").arg(result));
}

} // namespace

void compactInto(const QString& sourcePath, const QString& destPath) {
    if (!QFileInfo(sourcePath).isFile())
        throw DbError(errors::Unspecified,
                      QStringLiteral("Could not find file '%1'.").arg(sourcePath));
    if (exists(destPath))
        fileError(EEXIST, destPath);
    bool wrote = false;
    try {
        {
            Connection source;
            source.open(sourcePath);
            source.executeNative(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE);"));
            wrote = true;
            source.executeNative(QStringLiteral("VACUUM INTO %1;").arg(sqlText(destPath)));
        }
        // Closing the last connection removes the log; one still there means another user.
        if (QFileInfo(sourcePath + QStringLiteral("-wal")).exists())
            throw DbError(
                errors::Unspecified,
                QStringLiteral("The database '%1' is in use by another process.").arg(sourcePath));
        syncPath(destPath, false);
        checkCopy(destPath);
    } catch (...) {
        if (wrote) {
            ::unlink(destPath.toLocal8Bit().constData());
            ::unlink((destPath + QStringLiteral("-wal")).toLocal8Bit().constData());
            ::unlink((destPath + QStringLiteral("-shm")).toLocal8Bit().constData());
        }
        throw;
    }
}

void replaceFile(const QString& replacement, const QString& target) {
    if (::rename(replacement.toLocal8Bit().constData(), target.toLocal8Bit().constData()) != 0)
        fileError(errno, target);
    // Nothing of the old file's log may be applied to the new one.
    ::unlink((target + QStringLiteral("-shm")).toLocal8Bit().constData());
    syncPath(folderOf(target), true);
}

CompactionRecovery recoverInterruptedCompaction(const QString& databasePath,
                                                const QString& tempPath) {
    if (!exists(tempPath))
        return CompactionRecovery::Nothing;
    if (QFileInfo(databasePath).isFile()) {
        if (::unlink(tempPath.toLocal8Bit().constData()) != 0)
            fileError(errno, tempPath);
        return CompactionRecovery::RemovedTemporary;
    }
    // The database went missing while a finished copy stood beside it: that copy is the data.
    if (!QFileInfo(tempPath).isFile())
        fileError(EISDIR, tempPath);
    checkCopy(tempPath);
    replaceFile(tempPath, databasePath);
    return CompactionRecovery::RestoredDatabase;
}

} // namespace brevant::db
