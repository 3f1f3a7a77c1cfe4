#include "platform/db/StoreMigration.h"

#include "platform/db/AttachmentContent.h"
#include "platform/db/Connection.h"
#include "platform/db/DataPath.h"
#include "platform/db/DbError.h"
#include "platform/db/pg/PgBackend.h"
#include "platform/db/pg/PgDesktopSchema.h"
#include "platform/db/sqlite/SqliteBackend.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QSet>
#include <QUtf8StringView>
#include <cmath>
#include <cstring>
#include <limits>
#include <sqlite3.h>

namespace brevant::db {

qint64 MigrationResult::copied() const {
    qint64 n = 0;
    for (const MigrationTableCount& t : tables)
        n += t.copied;
    return n;
}

qint64 MigrationResult::conflicts() const {
    qint64 n = 0;
    for (const MigrationTableCount& t : tables)
        n += t.conflicts;
    return n;
}

namespace {

using pg::DesktopColumnType;

struct Cancelled {};

DbError migrationError(const QString& text) {
    return DbError(errors::Unspecified, text, Condition::Other);
}

QByteArray quoted(const QString& name) {
    return '"' + name.toLower().toUtf8() + '"';
}

// Text as COPY's text format wants it: backslash, tab, newline and carriage return escaped.
void appendEscaped(QByteArray& out, const char* p, qsizetype n) {
    for (qsizetype i = 0; i < n; ++i) {
        switch (p[i]) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += p[i];
        }
    }
}

QByteArray shortest(double d) {
    // As the PostgreSQL engine sends a number bound to a statement.
    return QString::number(d, 'g', QLocale::FloatingPointShortest).toLatin1();
}

// One source value in the COPY text form of a column of the given type; empty with the reason
// in why when the firm store cannot keep it.
QByteArray encodeValue(sqlite3_stmt* st, int i, DesktopColumnType type, QString* why) {
    const int kind = sqlite3_column_type(st, i);
    if (kind == SQLITE_NULL)
        return QByteArrayLiteral("\\N");
    if (kind == SQLITE_BLOB) {
        *why = QStringLiteral("binary data");
        return {};
    }
    const bool whole = type == DesktopColumnType::Key || type == DesktopColumnType::Identity;
    if (kind == SQLITE_INTEGER) {
        const qint64 v = sqlite3_column_int64(st, i);
        if (type == DesktopColumnType::YesNo && (v < -32768 || v > 32767))
            return QByteArrayLiteral("1"); // the same truth in a smallint
        return QByteArray::number(v);
    }
    if (kind == SQLITE_FLOAT) {
        const double d = sqlite3_column_double(st, i);
        if (type == DesktopColumnType::YesNo)
            return d != 0.0 ? QByteArrayLiteral("1") : QByteArrayLiteral("0");
        if (whole) {
            if (std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 9.2e18)
                return QByteArray::number(qint64(d));
            *why = QStringLiteral("%1 is no whole number").arg(d);
            return {};
        }
        return shortest(d);
    }
    const char* text = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
    const int n = sqlite3_column_bytes(st, i);
    if (std::memchr(text, '\0', size_t(n))) {
        *why = QStringLiteral("a text holding a NUL character");
        return {};
    }
    if (!QUtf8StringView(text, n).isValidUtf8()) {
        *why = QStringLiteral("a text that is not UTF-8");
        return {};
    }
    if (whole || type == DesktopColumnType::YesNo) {
        bool ok = false;
        const QByteArray t = QByteArray(text, n).trimmed();
        const qint64 v = t.toLongLong(&ok);
        if (ok && type != DesktopColumnType::YesNo)
            return QByteArray::number(v);
        if (type == DesktopColumnType::YesNo) {
            const double d = t.toDouble(&ok);
            if (ok)
                return d != 0.0 ? QByteArrayLiteral("1") : QByteArrayLiteral("0");
        }
        *why = QStringLiteral("the text \"%1\" where a number belongs")
                   .arg(QString::fromUtf8(text, n).left(40));
        return {};
    }
    QByteArray out;
    out.reserve(n);
    appendEscaped(out, text, n);
    return out;
}

// The comparison form of an encoded value: text folded as the firm store compares it.
QByteArray keyForm(const QByteArray& encoded, DesktopColumnType type) {
    if (type != DesktopColumnType::Text)
        return encoded;
    return QString::fromUtf8(encoded).toCaseFolded().toUtf8();
}

// One Desktop table as both sides have it.
struct TablePlan {
    const pg::DesktopTable* table = nullptr;
    QString sourceName;             // empty when the source lacks the table
    std::vector<int> sourceColumns; // per copied column: its ordinal in SELECT *
    std::vector<DesktopColumnType> types;
    QStringList names;           // the copied columns, Desktop spelling
    std::vector<int> keyColumns; // positions (in the copied columns) that make the key
    int identity = -1;           // position of the autonumber, -1 when none is copied
    bool uniqueKey = false;
    QByteArray copySql;
    MigrationTableCount count;
    QList<QByteArray> pending; // merge: the rows to add, COPY lines
};

class SourceReader {
public:
    explicit SourceReader(const QString& path) : backend_(SqliteBackend::openForReading(path)) {
        db_ = backend_->handle();
        // One snapshot for every table; a read transaction on a read-only file.
        exec("BEGIN");
    }
    ~SourceReader() { sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr); }

    sqlite3_stmt* prepare(const QByteArray& sql) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.constData(), int(sql.size()), &st, nullptr) != SQLITE_OK)
            fail();
        return st;
    }
    // Steps: true on a row, false at the end.
    bool step(sqlite3_stmt* st) {
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            fail();
        return false;
    }
    [[noreturn]] void fail() {
        throw migrationError(
            QStringLiteral("Reading %1: %2")
                .arg(backend_->storeName(), QString::fromUtf8(sqlite3_errmsg(db_))));
    }

private:
    void exec(const char* sql) {
        if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            fail();
    }
    std::unique_ptr<SqliteBackend> backend_;
    sqlite3* db_ = nullptr;
};

struct Statement {
    explicit Statement(sqlite3_stmt* s) : st(s) {}
    ~Statement() { sqlite3_finalize(st); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* st;
};

class Migration {
public:
    Migration(const StoreLocator& source, const StoreLocator& target,
              const MigrationOptions& options)
        : options_(options), source_(source.text()) {
        target_.open(target);
        session_ = &dynamic_cast<pg::PgBackend&>(target_.backend()).session();
        result_.target = target_.path();
    }

    MigrationResult run() {
        Backend& b = target_.backend();
        b.begin();
        try {
            planTables();
            lockTarget();
            if (targetEmpty())
                copyAll();
            else if (!mergeInto())
                return finishWithout();
            carryAttachedFiles();
            setIdentities();
            recordCachedDocuments();
            b.commit();
        } catch (const Cancelled&) {
            b.rollback();
            result_.outcome = MigrationResult::Outcome::Cancelled;
        } catch (...) {
            b.rollback();
            throw;
        }
        for (const TablePlan& p : plans_)
            result_.tables.push_back(p.count);
        return result_;
    }

private:
    // Maps the source's tables and columns onto the Desktop ones, and counts the rows.
    void planTables() {
        QHash<QString, QString> sourceTables; // lower case -> as named
        QStringList virtualTables;
        {
            Statement list(source_.prepare(
                "SELECT name, sql FROM sqlite_master WHERE type = 'table' ORDER BY name"));
            while (source_.step(list.st)) {
                const QString name = QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(list.st, 0)));
                const QString sql = QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(list.st, 1)));
                if (name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive))
                    continue;
                sourceTables.insert(name.toLower(), name);
                if (sql.startsWith(QLatin1String("CREATE VIRTUAL"), Qt::CaseInsensitive))
                    virtualTables << name;
            }
        }
        tables_ = pg::desktopTables();
        QSet<QString> known;
        for (const pg::DesktopTable& t : tables_) {
            known.insert(t.name.toLower());
            TablePlan p;
            p.table = &t;
            p.count.table = t.name;
            p.sourceName = sourceTables.value(t.name.toLower());
            if (!p.sourceName.isEmpty())
                mapColumns(p);
            total_ += p.count.source;
            plans_.push_back(std::move(p));
        }
        if (plans_.front().sourceName.isEmpty())
            throw migrationError(
                QStringLiteral("%1 holds no Projects table: it is no project database.")
                    .arg(source_.name()));
        for (auto it = sourceTables.cbegin(); it != sourceTables.cend(); ++it) {
            if (known.contains(it.key()))
                continue;
            // The shadow tables of a virtual table (a full-text index) go with it.
            bool shadow = false;
            for (const QString& v : std::as_const(virtualTables))
                shadow = shadow || it.value().startsWith(v + QLatin1Char('_'), Qt::CaseInsensitive);
            if (!shadow)
                result_.skippedTables << it.value();
        }
        result_.skippedTables.sort(Qt::CaseInsensitive);
    }

    void mapColumns(TablePlan& p) {
        Statement all(source_.prepare("SELECT * FROM \"" + p.sourceName.toUtf8() + "\" LIMIT 0"));
        const int n = sqlite3_column_count(all.st);
        for (int i = 0; i < n; ++i) {
            const QString name = QString::fromUtf8(sqlite3_column_name(all.st, i));
            const auto& columns = p.table->columns;
            const auto c = std::find_if(columns.begin(), columns.end(), [&](const auto& d) {
                return d.name.compare(name, Qt::CaseInsensitive) == 0;
            });
            if (c == columns.end())
                throw migrationError(
                    QStringLiteral("The table %1 of %2 has a column %3 the firm store does not "
                                   "have; nothing was copied.")
                        .arg(p.sourceName, source_.name(), name));
            p.sourceColumns.push_back(i);
            p.types.push_back(c->type);
            p.names << c->name;
        }
        QByteArrayList columns;
        for (int i = 0; i < p.names.size(); ++i) {
            columns << quoted(p.names[i]);
            if (p.types[size_t(i)] == DesktopColumnType::Identity)
                p.identity = i;
        }
        p.copySql =
            "COPY " + quoted(p.table->storedAs) + " (" + columns.join(", ") + ") FROM STDIN";
        p.uniqueKey = !p.table->uniqueKey.isEmpty();
        for (int i = 0; i < p.names.size(); ++i) {
            const bool inKey = p.uniqueKey
                                   ? p.table->uniqueKey.contains(p.names[i], Qt::CaseInsensitive)
                                   : i != p.identity;
            if (inKey)
                p.keyColumns.push_back(i);
        }
        if (p.uniqueKey && int(p.keyColumns.size()) != p.table->uniqueKey.size())
            p.uniqueKey = false, p.keyColumns.clear();
        if (p.keyColumns.empty())
            for (int i = 0; i < p.names.size(); ++i)
                if (i != p.identity)
                    p.keyColumns.push_back(i);
        Statement count(source_.prepare("SELECT count(*) FROM \"" + p.sourceName.toUtf8() + '"'));
        source_.step(count.st);
        p.count.source = sqlite3_column_int64(count.st, 0);
    }

    // No other program writes the firm store's tables while they are filled; readers go on.
    // Two migrations into one store take turns (the two-key advisory lock's second number is
    // the migration's own; the schema uses 1).
    void lockTarget() {
        session_->run("SELECT pg_advisory_xact_lock(1112692321, 2)", pg::Params{});
        QByteArrayList names;
        for (const pg::DesktopTable& t : tables_)
            names << quoted(t.storedAs);
        session_->run("LOCK TABLE " + names.join(", ") + " IN SHARE ROW EXCLUSIVE MODE",
                      pg::Params{});
    }

    bool targetEmpty() {
        QByteArrayList probes;
        for (const pg::DesktopTable& t : tables_)
            probes << "EXISTS (SELECT 1 FROM " + quoted(t.storedAs) + ")";
        return session_->run("SELECT " + probes.join(" OR "), pg::Params{}).text(0, 0) == "f";
    }

    // Reads the table's rows in the source, each as its COPY line and the values in it.
    template <typename RowFn> void readRows(TablePlan& p, RowFn&& onRow) {
        if (p.sourceName.isEmpty())
            return;
        Statement all(source_.prepare("SELECT * FROM \"" + p.sourceName.toUtf8() + '"'));
        MigrationProgress progress{p.table->name, 0, p.count.source, done_, total_};
        std::vector<QByteArray> values(p.sourceColumns.size());
        qint64 row = 0;
        while (source_.step(all.st)) {
            ++row;
            if (options_.cancel && options_.cancel->load(std::memory_order_relaxed))
                throw Cancelled{};
            QByteArray line;
            for (size_t c = 0; c < values.size(); ++c) {
                QString why;
                values[c] = encodeValue(all.st, p.sourceColumns[c], p.types[c], &why);
                if (!why.isEmpty())
                    throw migrationError(
                        QStringLiteral("%1, row %2, column %3 holds %4, which the firm store "
                                       "cannot keep; nothing was copied.")
                            .arg(p.sourceName)
                            .arg(row)
                            .arg(p.names[int(c)], why));
                if (c)
                    line += '\t';
                line += values[c];
            }
            line += '\n';
            onRow(line, values);
            ++done_;
            if (options_.progress && row % MigrationOptions::ProgressStep == 0) {
                progress.tableDone = row;
                progress.done = done_;
                options_.progress(progress);
            }
        }
        if (options_.progress) {
            progress.tableDone = row;
            progress.done = done_;
            options_.progress(progress);
        }
    }

    void copyAll() {
        for (TablePlan& p : plans_) {
            if (p.sourceName.isEmpty())
                continue;
            session_->copyIn(p.copySql);
            QByteArray buffer;
            try {
                readRows(p, [&](const QByteArray& line, const std::vector<QByteArray>&) {
                    buffer += line;
                    if (buffer.size() >= 256 * 1024) {
                        session_->copyData(buffer);
                        buffer.clear();
                    }
                });
                if (!buffer.isEmpty())
                    session_->copyData(buffer);
            } catch (...) {
                try {
                    session_->copyEnd("the migration stopped");
                } catch (const DbError&) {
                    // The server's answer to the abandoned copy; the first failure is the one.
                }
                throw;
            }
            p.count.copied = session_->copyEnd();
            if (p.count.copied != p.count.source)
                throw migrationError(QStringLiteral("The firm store took %1 of the %2 rows of %3.")
                                         .arg(p.count.copied)
                                         .arg(p.count.source)
                                         .arg(p.table->name));
        }
    }

    QByteArray keyOf(const TablePlan& p, const std::vector<QByteArray>& values) const {
        QByteArray key;
        for (int c : p.keyColumns)
            key += keyForm(values[size_t(c)], p.types[size_t(c)]) + '\t';
        return key;
    }

    // The rows of the target's table, in the source's columns, encoded as the source's are.
    void readTarget(const TablePlan& p, QHash<QByteArray, QByteArray>& rows,
                    QSet<qint64>& identities) {
        QByteArrayList columns;
        for (const QString& n : p.names)
            columns << quoted(n);
        const pg::Result r = session_->run(
            "SELECT " + columns.join(", ") + " FROM " + quoted(p.table->storedAs), pg::Params{});
        std::vector<QByteArray> values(size_t(p.names.size()));
        for (int row = 0; row < r.rows(); ++row) {
            for (int c = 0; c < r.columns(); ++c) {
                values[size_t(c)].clear();
                if (r.isNull(row, c)) {
                    values[size_t(c)] = "\\N";
                } else {
                    const QByteArrayView t = r.text(row, c);
                    appendEscaped(values[size_t(c)], t.data(), t.size());
                }
            }
            if (p.identity >= 0)
                identities.insert(values[size_t(p.identity)].toLongLong());
            rows.insert(keyOf(p, values), wholeRow(p, values));
        }
    }

    static QByteArray wholeRow(const TablePlan& p, const std::vector<QByteArray>& values) {
        QByteArray out;
        for (size_t c = 0; c < values.size(); ++c)
            if (int(c) != p.identity)
                out += values[c] + '\t';
        return out;
    }

    // Sorts the source's rows into there already and to add; true when some are to be added
    // and may be (merging), after adding them.
    bool mergeInto() {
        qint64 toAdd = 0;
        for (TablePlan& p : plans_) {
            if (p.sourceName.isEmpty())
                continue;
            QHash<QByteArray, QByteArray> there;
            QSet<qint64> ids;
            readTarget(p, there, ids);
            qint64 nextId = 1;
            for (qint64 id : std::as_const(ids))
                nextId = std::max(nextId, id + 1);
            readRows(p, [&](const QByteArray& line, std::vector<QByteArray>& values) {
                const QByteArray key = keyOf(p, values);
                const auto found = there.constFind(key);
                if (found != there.cend()) {
                    ++p.count.present;
                    if (p.uniqueKey && found.value() != wholeRow(p, values))
                        ++p.count.conflicts;
                    return;
                }
                if (p.uniqueKey)
                    there.insert(key, wholeRow(p, values)); // a second one would be refused
                if (p.identity < 0) {
                    p.pending << line;
                } else {
                    QByteArray& id = values[size_t(p.identity)];
                    if (id == "\\N" || ids.contains(id.toLongLong()))
                        id = QByteArray::number(nextId);
                    ids.insert(id.toLongLong());
                    nextId = std::max(nextId, id.toLongLong() + 1);
                    p.pending << values.front();
                    QByteArray& row = p.pending.back();
                    for (size_t c = 1; c < values.size(); ++c)
                        row += '\t' + values[c];
                    row += '\n';
                }
                ++p.count.copied;
            });
            toAdd += p.count.copied;
        }
        if (toAdd == 0) {
            result_.outcome = MigrationResult::Outcome::NothingToDo;
            return false;
        }
        if (!options_.merge) {
            result_.outcome = MigrationResult::Outcome::TargetNotEmpty;
            return false;
        }
        for (TablePlan& p : plans_) {
            if (p.pending.isEmpty())
                continue;
            session_->copyIn(p.copySql);
            for (const QByteArray& line : std::as_const(p.pending))
                session_->copyData(line);
            const qint64 taken = session_->copyEnd();
            if (taken != p.count.copied)
                throw migrationError(QStringLiteral("The firm store took %1 of the %2 rows of %3.")
                                         .arg(taken)
                                         .arg(p.count.copied)
                                         .arg(p.table->name));
            p.pending.clear();
        }
        return true;
    }

    // The file an Attachments row of the source names: in its own folder, else in the
    // project's folder under the attachment folder; empty when neither holds it.
    QString attachedFile(const QString& folder, qint64 jobId, const QString& name) const {
        QStringList candidates;
        if (!folder.isEmpty())
            candidates << QString(folder).replace(QLatin1Char('\\'), QLatin1Char('/'));
        if (!options_.attachmentFolder.isEmpty())
            candidates << options_.attachmentFolder + QLatin1Char('/') + QString::number(jobId);
        for (const QString& c : std::as_const(candidates)) {
            const QString path =
                resolveCaseInsensitive(QDir::cleanPath(c) + QLatin1Char('/') + name);
            if (QFileInfo(path).isFile())
                return path;
        }
        return {};
    }

    void carryAttachedFiles() {
        const auto attachments = std::find_if(plans_.begin(), plans_.end(), [](const TablePlan& p) {
            return p.table->name == QLatin1String("Attachments");
        });
        if (attachments == plans_.end() || attachments->sourceName.isEmpty())
            return;
        Statement rows(source_.prepare("SELECT DISTINCT JobID, FileName, Path FROM \"" +
                                       attachments->sourceName.toUtf8() +
                                       "\" WHERE FileName IS NOT NULL ORDER BY 1, 2"));
        QSet<QString> done;
        while (source_.step(rows.st)) {
            if (options_.cancel && options_.cancel->load(std::memory_order_relaxed))
                throw Cancelled{};
            const qint64 jobId = sqlite3_column_int64(rows.st, 0);
            const QString name =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(rows.st, 1)));
            const QString folder =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(rows.st, 2)));
            // Only a bare name: the row's folder is where to look, not the name.
            if (name.isEmpty() || name.contains(QLatin1Char('/')) ||
                name.contains(QLatin1Char('\\')) || name == u"." || name == u"..")
                continue;
            const QByteArray key = QByteArray::number(jobId) + '\t' + name.toCaseFolded().toUtf8();
            if (done.contains(QString::fromUtf8(key)))
                continue;
            done.insert(QString::fromUtf8(key));
            const pg::Params where{QByteArray::number(jobId), name.toUtf8()};
            if (session_
                    ->run("SELECT 1 FROM attachments WHERE jobid = $1 AND filename = $2 AND "
                          "content IS NULL",
                          where)
                    .rows() == 0)
                continue; // the firm store's row names its bytes already
            const QString path = attachedFile(folder, jobId, name);
            if (path.isEmpty()) {
                result_.filesNotCarried << QStringLiteral("%1: not found").arg(folder + name);
                continue;
            }
            const qint64 size = QFileInfo(path).size();
            if (size > kMaxAttachmentBytes) {
                result_.filesNotCarried
                    << QStringLiteral("%1: %2 bytes, over the firm store's limit of %3 bytes")
                           .arg(path)
                           .arg(size)
                           .arg(kMaxAttachmentBytes);
                continue;
            }
            ContentDigest digest;
            try {
                digest = digestFile(path);
            } catch (const DbError& e) {
                result_.filesNotCarried << QStringLiteral("%1: %2").arg(path, e.description());
                continue;
            }
            storeAttachmentContent(target_, path, digest);
            session_->run("UPDATE attachments SET content = $3 WHERE jobid = $1 AND filename = "
                          "$2 AND content IS NULL",
                          pg::Params{where[0], where[1], digest.sha256.toLatin1()});
            ++result_.filesCarried;
        }
    }

    MigrationResult finishWithout() {
        target_.backend().rollback();
        for (const TablePlan& p : plans_)
            result_.tables.push_back(p.count);
        return result_;
    }

    // The store keeps which documents a workstation has cached apart from the shared rows;
    // the copied Local flags are the source file's workstation's.
    void recordCachedDocuments() {
        const QByteArray ws = options_.workstation.toUtf8();
        session_->run("INSERT INTO workstation_documents SELECT $1, jobid, 'PLN', file FROM "
                      "plans_shared WHERE local <> 0 AND jobid IS NOT NULL AND file IS NOT NULL "
                      "ON CONFLICT DO NOTHING",
                      pg::Params{ws});
        session_->run("INSERT INTO workstation_documents SELECT $1, jobid, 'SPC', spec FROM "
                      "specs_shared WHERE local <> 0 AND jobid IS NOT NULL AND spec IS NOT NULL "
                      "ON CONFLICT DO NOTHING",
                      pg::Params{ws});
    }

    // New rows numbered by the target follow the highest number now in the table.
    void setIdentities() {
        for (const pg::DesktopTable& t : tables_)
            for (const pg::DesktopColumn& c : t.columns)
                if (c.type == DesktopColumnType::Identity)
                    session_->run("SELECT setval(pg_get_serial_sequence('" + quoted(t.storedAs) +
                                      "', '" + c.name.toLower().toUtf8() + "'), coalesce(max(" +
                                      quoted(c.name) + "), 0) + 1, false) FROM " +
                                      quoted(t.storedAs),
                                  pg::Params{});
    }

    class Source {
    public:
        explicit Source(const QString& path) : reader_(path), name_(path) {}
        sqlite3_stmt* prepare(const QByteArray& sql) { return reader_.prepare(sql); }
        bool step(sqlite3_stmt* st) { return reader_.step(st); }
        const QString& name() const { return name_; }

    private:
        SourceReader reader_;
        QString name_;
    };

    const MigrationOptions& options_;
    Source source_;
    Connection target_;
    pg::Session* session_ = nullptr;
    std::vector<pg::DesktopTable> tables_;
    std::vector<TablePlan> plans_;
    MigrationResult result_;
    qint64 done_ = 0, total_ = 0;
};

} // namespace

MigrationResult migrateStore(const StoreLocator& source, const StoreLocator& target,
                             const MigrationOptions& options) {
    if (source.kind() != StoreLocator::Kind::SqliteFile)
        throw migrationError(
            QStringLiteral("The projects to move must come from a Desktop.mdb file, not from %1.")
                .arg(source.describe()));
    if (target.kind() != StoreLocator::Kind::PostgreSql)
        throw migrationError(
            QStringLiteral("The firm store must be a PostgreSQL database, not the file %1.")
                .arg(target.describe()));
    Migration m(source, target, options);
    return m.run();
}

} // namespace brevant::db
