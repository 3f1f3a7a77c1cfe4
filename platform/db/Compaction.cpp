#include "platform/db/Compaction.h"

#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/sqlite/SqliteBackend.h"

#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
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

// A plain file under that very name, not a link to one elsewhere.
bool isRegularFile(const QString& path) {
    struct stat st {};
    return ::lstat(path.toLocal8Bit().constData(), &st) == 0 && S_ISREG(st.st_mode);
}

// The copy's name is taken before anything is written: created new, never through a link, and
// held open so that its identity can be checked once the copy is written.
class CopyFile {
public:
    explicit CopyFile(const QString& path) : path_(path) {
        fd_ = ::open(path.toLocal8Bit().constData(),
                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd_ < 0)
            fileError(errno == ELOOP ? EEXIST : errno, path);
        if (::fstat(fd_, &created_) != 0)
            fileError(errno, path);
    }
    ~CopyFile() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    CopyFile(const CopyFile&) = delete;
    CopyFile& operator=(const CopyFile&) = delete;

    // The name still leads to the file created above (nobody swapped in a link or another file
    // while the database engine wrote it by name), and its bytes are on disk.
    void checkAndSync() const {
        struct stat now {};
        if (::lstat(path_.toLocal8Bit().constData(), &now) != 0)
            fileError(errno, path_);
        if (!S_ISREG(now.st_mode) || now.st_dev != created_.st_dev || now.st_ino != created_.st_ino)
            throw DbError(errors::Unspecified,
                          QStringLiteral("The compacted copy '%1' was replaced while it was "
                                         "written.")
                              .arg(path_));
        if (::fsync(fd_) != 0)
            fileError(errno, path_);
    }

private:
    QString path_;
    int fd_ = -1;
    struct stat created_ {};
};

QString sqlText(const QString& s) {
    return QLatin1Char('\'') + QString(s).replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}

// Checks the copy and leaves it as one self-contained file (no log beside it), so that it
// can be renamed into place.
void checkCopy(const QString& path) {
    sqlite3* db = nullptr;
    QString result;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, nullptr) == SQLITE_OK) {
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
    std::optional<CopyFile> copy(std::in_place, destPath);
    try {
        {
            Connection source;
            source.open(sourcePath);
            source.executeNative(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE);"));
            // The engine accepts the empty file created above as the copy's place.
            source.executeNative(QStringLiteral("VACUUM INTO %1;").arg(sqlText(destPath)));
        }
        // Closing the last connection removes the log; one still there means another user.
        if (QFileInfo(sourcePath + QStringLiteral("-wal")).exists())
            throw DbError(
                errors::Unspecified,
                QStringLiteral("The database '%1' is in use by another process.").arg(sourcePath));
        copy->checkAndSync();
        copy.reset();
        checkCopy(destPath);
    } catch (...) {
        ::unlink(destPath.toLocal8Bit().constData());
        ::unlink((destPath + QStringLiteral("-wal")).toLocal8Bit().constData());
        ::unlink((destPath + QStringLiteral("-shm")).toLocal8Bit().constData());
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
    // Only a plain file is ours; a link there leads somewhere the database never was.
    if (!isRegularFile(tempPath))
        fileError(QFileInfo(tempPath).isSymLink() ? ELOOP : EISDIR, tempPath);
    checkCopy(tempPath);
    replaceFile(tempPath, databasePath);
    return CompactionRecovery::RestoredDatabase;
}

} // namespace brevant::db
