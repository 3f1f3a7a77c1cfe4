// Moving a Desktop.mdb into a firm store: the benchmark database arrives whole (rows and values,
// compared through db::Connection on both sides), the source is left byte for byte, a filled
// target is refused or merged, a second run has nothing to do, and a migration killed in the
// middle of its COPY leaves the target without a row.
#include "PgFixture.h"

#include "platform/db/AttachmentContent.h"
#include "platform/db/DbError.h"
#include "platform/db/DesktopSchema.h"
#include "platform/db/NativeQuery.h"
#include "platform/db/Recordset.h"
#include "platform/db/StoreMigration.h"
#include "tests/support/ThousandProjects.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using brevant::db::Connection;
using brevant::db::MigrationOptions;
using brevant::db::MigrationResult;
using brevant::db::StoreLocator;

// The workstation whose file is moved across.
const QString kMigratingPc = QStringLiteral("migrating-pc");

const QStringList kTables = {"Projects", "Plans",       "Specs",         "Contacts",      "Awards",
                             "Updates",  "Attachments", "Custom_Search", "Change_History"};

// A value as a recordset gives it, with its kind, so that 1 and "1" and TRUE differ.
QByteArray valueText(const QVariant& v) {
    if (v.isNull())
        return "null";
    switch (v.typeId()) {
    case QMetaType::QDateTime:
        return "date:" + v.toDateTime().toString(Qt::ISODate).toUtf8();
    case QMetaType::Bool:
        return v.toBool() ? "yes" : "no";
    case QMetaType::LongLong:
        return "int:" + QByteArray::number(v.toLongLong());
    case QMetaType::Double:
        return "real:" + QString::number(v.toDouble(), 'g', 17).toUtf8();
    default:
        return "text:" + v.toString().toUtf8();
    }
}

struct TableSum {
    int rows = 0;
    QByteArray digest;
    bool operator==(const TableSum&) const = default;
};

// The rows of a table, each digested over its columns (by lower-case name, sorted), the
// digests sorted: neither the engine's row order nor its column order counts.
TableSum tableSum(Connection& c, const QString& table, bool withAutonumber = true) {
    brevant::db::Recordset rs;
    rs.open("Select * from [" + table + "]", c, brevant::db::Recordset::Cursor::Static);
    QList<QPair<QString, int>> columns;
    for (int i = 0; i < rs.fieldCount(); ++i) {
        const QString name = rs.fieldName(i).toLower();
        // The firm store's own column (the attached file's bytes by hash) has no counterpart.
        if (name == "content")
            continue;
        if (withAutonumber || (name != "search_id" && name != "change_id"))
            columns << qMakePair(name, i);
    }
    std::sort(columns.begin(), columns.end());
    QList<QByteArray> rows;
    for (; !rs.eof(); rs.moveNext()) {
        QCryptographicHash h(QCryptographicHash::Sha256);
        for (const auto& [name, i] : columns)
            h.addData(name.toUtf8() + '=' + valueText(rs.field(i)) + '\x1f');
        rows << h.result();
    }
    std::sort(rows.begin(), rows.end());
    QCryptographicHash all(QCryptographicHash::Sha256);
    for (const QByteArray& r : rows)
        all.addData(r);
    return {int(rows.size()), all.result().toHex()};
}

QByteArray fileDigest(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

class StoreMigration : public pgtest::ScratchDatabase {
protected:
    void SetUp() override {
        ScratchDatabase::SetUp();
        if (IsSkipped())
            return;
        ASSERT_TRUE(dir_.isValid());
        source_ = dir_.filePath("Desktop.mdb");
        brevant::db::createDesktopDatabase(source_);
    }

    // The benchmark's projects and rows that try the conversion: text with tabs, newlines,
    // backslashes, quotes and letters beyond ASCII; Null; dates with and without a time; yes/no
    // stored as -1; numbers with fractions and a number column holding text; autonumbers with
    // gaps.
    void fillSource(bool thousand) {
        if (thousand) {
            // Written once per program: it takes a while on a busy machine.
            static const QTemporaryDir templateDir;
            static const QString made =
                fixtures::makeThousandProjectsFile(templateDir.filePath("Thousand.mdb"));
            QFile::remove(source_);
            ASSERT_TRUE(QFile::copy(made, source_));
        }
        Connection c;
        c.open(source_);
        // Raw SQLite, so the values are stored as an old file may hold them.
        c.executeNative(
            "INSERT INTO Projects (Job_ID, City, Name, Description, Due_Date, Pre_Bid_Date, "
            "\"Estimated Cost\", \"Estimated Cost End\", Pre_Bid, Mandatory, Tracked, Notes) "
            "VALUES (5001, NULL, 'Tab' || char(9) || 'here', 'Line one' || char(10) || "
            "'line two\\ with C:\\path\\n and ''quotes''', '2026-12-24 14:30:00', "
            "'2027-01-05', 1234.5, 'TBD', -1, 0, -1, 'Straße ÉCOLE Œuvre ﬁn' || char(13));"
            "INSERT INTO Plans (JobID, File, Description, Size, Local) VALUES "
            "(5001, 'A-1.PDF', 'Sheet' || char(9) || '1', 0.25, -1);"
            "INSERT INTO Specs (JobID, Spec, Description) VALUES (5001, '033000', NULL);"
            "INSERT INTO Updates (JobID, \"Update\", Added) VALUES "
            "(5001, 'BID DATE CHANGED', '2027-03-02 07:30:00');"
            "INSERT INTO Attachments (JobID, FileName, Path, Description, Type, Added) VALUES "
            "(5001, 'takeoff.xlsx', '/home/jo/takeoff.xlsx', '\\\\server\\share', 'XLSX', "
            "'2027-03-02 00:00:00');"
            "INSERT INTO Custom_Search (Search_ID, Search_Name, Name, \"Desc\") VALUES "
            "(7, 'Schools', 'SCHOOL', 'All schools');"
            "INSERT INTO Custom_Search (Search_ID, Search_Name, Name) VALUES (12, 'Roofs', 'ROOF');"
            "INSERT INTO Change_History (Change_ID, JobID, Found, What, Old_Value, New_Value) "
            "VALUES (40, 5001, '2027-03-02 07:30:00', 'Due_Date', '12/1/2026', '12/24/2026');");
    }

    // The file is the workstation kMigratingPc's.
    MigrationResult migrate(MigrationOptions options = {}) {
        options.workstation = kMigratingPc;
        return brevant::db::migrateStore(StoreLocator::parse(source_),
                                         StoreLocator::parse(locator()), options);
    }

    std::map<QString, TableSum> sums(const QString& store, bool withAutonumber = true) {
        Connection c;
        c.open(store);
        c.setWorkstation(kMigratingPc);
        std::map<QString, TableSum> out;
        for (const QString& t : kTables)
            out[t] = tableSum(c, t, withAutonumber);
        return out;
    }

    static qint64 countOf(const MigrationResult& r, const QString& table,
                          qint64 brevant::db::MigrationTableCount::*field) {
        for (const auto& t : r.tables)
            if (t.table == table)
                return t.*field;
        return -1;
    }

    QTemporaryDir dir_;
    QString source_;
};

TEST_F(StoreMigration, ThousandProjectsArriveWithEqualCountsAndValues) {
    fillSource(true);
    const QByteArray before = fileDigest(source_);
    ASSERT_FALSE(before.isEmpty());

    std::vector<brevant::db::MigrationProgress> reports;
    MigrationOptions options;
    options.progress = [&reports](const brevant::db::MigrationProgress& p) {
        reports.push_back(p);
    };
    const MigrationResult result = migrate(options);
    ASSERT_EQ(result.outcome, MigrationResult::Outcome::Copied);

    const auto expected = sums(source_);
    const auto actual = sums(locator());
    for (const QString& t : kTables) {
        EXPECT_EQ(actual.at(t).rows, expected.at(t).rows) << t.toStdString();
        EXPECT_EQ(actual.at(t).digest, expected.at(t).digest) << t.toStdString();
        EXPECT_EQ(countOf(result, t, &brevant::db::MigrationTableCount::copied),
                  expected.at(t).rows)
            << t.toStdString();
    }
    EXPECT_EQ(expected.at("Projects").rows, fixtures::kProjects + 1);
    EXPECT_EQ(expected.at("Plans").rows, fixtures::kProjects * fixtures::kPlans + 1);
    EXPECT_EQ(fileDigest(source_), before) << "the source file changed";
    EXPECT_TRUE(result.skippedTables.isEmpty()) << result.skippedTables.join(", ").toStdString();

    // Progress: per table up to its total, all of it by the end.
    ASSERT_FALSE(reports.empty());
    for (size_t i = 1; i < reports.size(); ++i)
        EXPECT_GE(reports[i].done, reports[i - 1].done);
    EXPECT_EQ(reports.back().done, reports.back().total);
    EXPECT_EQ(reports.back().total, result.copied());

    // The text came across exactly, control characters and all, and new autonumbers follow
    // the copied ones.
    Connection pg;
    pg.open(locator());
    brevant::db::Recordset rs;
    rs.open("Select [Name], [Description], Notes from Projects where Job_ID = 5001", pg);
    EXPECT_EQ(rs.field(0).toString(), "Tab\there");
    EXPECT_EQ(rs.field(1).toString(), "Line one\nline two\\ with C:\\path\\n and 'quotes'");
    EXPECT_EQ(rs.field(2).toString(), "Straße ÉCOLE Œuvre ﬁn\r");
    pg.execute("INSERT INTO Custom_Search (Search_Name) VALUES ('New')");
    pg.execute("INSERT INTO Change_History (JobID, What) VALUES (5001, 'x')");
    rs.open("Select Search_ID from Custom_Search where Search_Name = 'New'", pg);
    EXPECT_EQ(rs.field(0).toLongLong(), 13);
    rs.open("Select Change_ID from Change_History where What = 'x'", pg);
    EXPECT_EQ(rs.field(0).toLongLong(), 41);

    // The file's downloaded sheet is in the migrating workstation's cache, no other's.
    const QString sheet = "Select [Local] from Plans where JobID = 5001 AND File = 'A-1.PDF'";
    rs.open(sheet, pg);
    EXPECT_EQ(rs.field(0), QVariant(false));
    pg.setWorkstation("another-pc");
    rs.open(sheet, pg);
    EXPECT_EQ(rs.field(0), QVariant(false));
    pg.setWorkstation(kMigratingPc);
    rs.open(sheet, pg);
    EXPECT_EQ(rs.field(0), QVariant(true));
}

TEST_F(StoreMigration, FilledTargetIsRefusedMergedOrLeftAlone) {
    fillSource(false);
    ASSERT_EQ(migrate().outcome, MigrationResult::Outcome::Copied);
    const auto migrated = sums(locator());

    // Again: nothing to do, merging or not, and nothing changed.
    for (bool merge : {false, true}) {
        MigrationOptions options;
        options.merge = merge;
        const MigrationResult again = migrate(options);
        EXPECT_EQ(again.outcome, MigrationResult::Outcome::NothingToDo) << merge;
        EXPECT_EQ(again.copied(), 0);
        EXPECT_EQ(countOf(again, "Projects", &brevant::db::MigrationTableCount::present), 1);
    }
    EXPECT_EQ(sums(locator()), migrated);

    // The source gains a project and a saved search whose number the target has; the firm
    // changed project 5001's name (in any case: same key) and its description.
    {
        Connection c;
        c.open(source_);
        c.execute("INSERT INTO Projects (Job_ID, [Name]) VALUES (5002, 'Library')");
        c.execute("INSERT INTO Plans (JobID, File) VALUES (5002, 'B-1.PDF')");
        c.execute("INSERT INTO Custom_Search (Search_ID, Search_Name) VALUES (13, 'Bridges')");
        Connection pg;
        pg.open(locator());
        pg.execute("INSERT INTO Custom_Search (Search_Name) VALUES ('Firm search')"); // takes 13
        pg.execute("UPDATE Projects SET [Description] = 'The firm''s' WHERE Job_ID = 5001");
        // Only the case differs: the firm store holds that row already.
        pg.execute("UPDATE Updates SET [Update] = 'Bid Date Changed' WHERE JobID = 5001");
    }
    const auto filled = sums(locator());
    const MigrationResult refused = migrate();
    EXPECT_EQ(refused.outcome, MigrationResult::Outcome::TargetNotEmpty);
    EXPECT_EQ(countOf(refused, "Projects", &brevant::db::MigrationTableCount::copied), 1);
    EXPECT_EQ(sums(locator()), filled) << "a refused migration changed the target";

    MigrationOptions merge;
    merge.merge = true;
    const MigrationResult merged = migrate(merge);
    ASSERT_EQ(merged.outcome, MigrationResult::Outcome::Copied);
    EXPECT_EQ(countOf(merged, "Projects", &brevant::db::MigrationTableCount::copied), 1);
    EXPECT_EQ(countOf(merged, "Projects", &brevant::db::MigrationTableCount::conflicts), 1);
    EXPECT_EQ(countOf(merged, "Plans", &brevant::db::MigrationTableCount::copied), 1);
    EXPECT_EQ(countOf(merged, "Plans", &brevant::db::MigrationTableCount::present), 1);
    EXPECT_EQ(countOf(merged, "Updates", &brevant::db::MigrationTableCount::copied), 0);
    EXPECT_EQ(countOf(merged, "Custom_Search", &brevant::db::MigrationTableCount::copied), 1);

    Connection pg;
    pg.open(locator());
    brevant::db::Recordset rs;
    rs.open("Select [Description] from Projects where Job_ID = 5001", pg);
    EXPECT_EQ(rs.field(0).toString(), "The firm's") << "a conflict must keep the target's row";
    rs.open("Select Search_ID from Custom_Search where Search_Name = 'Bridges'", pg);
    EXPECT_EQ(rs.field(0).toLongLong(), 14) << "a taken number gets the next free one";
    rs.open("Select Count(*) from Plans where JobID = 5002", pg);
    EXPECT_EQ(rs.field(0).toInt(), 1);
    EXPECT_EQ(migrate(merge).outcome, MigrationResult::Outcome::NothingToDo);
}

TEST_F(StoreMigration, ValueTheFirmStoreCannotKeepStopsItAll) {
    fillSource(false);
    {
        Connection c;
        c.open(source_);
        c.execute("INSERT INTO Projects (Job_ID) VALUES (6000)");
        c.executeNative("INSERT INTO Contacts (Job_ID, Name) VALUES (6000, x'c328')");
    }
    try {
        migrate();
        FAIL() << "a blob in a text column was taken";
    } catch (const brevant::db::DbError& e) {
        EXPECT_TRUE(e.description().contains("Contacts")) << e.description().toStdString();
        EXPECT_TRUE(e.description().contains("Name")) << e.description().toStdString();
    }
    for (const auto& [table, sum] : sums(locator()))
        EXPECT_EQ(sum.rows, 0) << table.toStdString();
}

TEST_F(StoreMigration, CancelledLeavesTargetEmpty) {
    fillSource(true);
    std::atomic<bool> cancel = false;
    MigrationOptions options;
    options.cancel = &cancel;
    options.progress = [&cancel](const brevant::db::MigrationProgress& p) {
        if (p.table == "Plans")
            cancel = true;
    };
    EXPECT_EQ(migrate(options).outcome, MigrationResult::Outcome::Cancelled);
    for (const auto& [table, sum] : sums(locator()))
        EXPECT_EQ(sum.rows, 0) << table.toStdString();
}

TEST_F(StoreMigration, KilledInTheMiddleOfItsCopyLeavesTargetEmpty) {
    fillSource(true);
    int out[2], in[2];
    ASSERT_EQ(pipe(out), 0);
    ASSERT_EQ(pipe(in), 0);
    const QByteArray source = source_.toLocal8Bit(), target = locator().toLocal8Bit();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(in[0], STDIN_FILENO);
        for (int fd : {out[0], out[1], in[0], in[1]})
            close(fd);
        execl(DB_MIGRATE_HELPER, DB_MIGRATE_HELPER, source.constData(), target.constData(),
              nullptr);
        _exit(127);
    }
    close(out[1]);
    close(in[0]);
    FILE* reports = fdopen(out[0], "r");
    char line[64] = {};
    const bool started = fgets(line, sizeof line, reports) != nullptr;
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    fclose(reports);
    close(in[1]);
    ASSERT_TRUE(started) << "the helper ended before its copy started";
    EXPECT_STREQ(line, "copying\n");
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "helper ended by itself";
    for (const auto& [table, sum] : sums(locator()))
        EXPECT_EQ(sum.rows, 0) << table.toStdString();
    // And the store takes the whole migration afterwards.
    EXPECT_EQ(migrate().outcome, MigrationResult::Outcome::Copied);
    EXPECT_EQ(sums(locator()).at("Plans").rows, fixtures::kProjects * fixtures::kPlans + 1);
}

} // namespace

TEST_F(StoreMigration, AttachedFilesBytesTravelIntoTheStore) {
    // A file in the row's own folder; one whose folder moved but which is in the project's
    // folder under the cache location; the same bytes under another name (stored once); a
    // file that is gone; a name that tries to leave its folder.
    const auto write = [&](const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    QByteArray quote(1536 * 1024, Qt::Uninitialized);
    for (qsizetype i = 0; i < quote.size(); ++i)
        quote[i] = char((i * 7919) % 251);
    const QString own = dir_.filePath("own/5001/");
    const QString cache = dir_.filePath("cache");
    write(own + "quote.pdf", quote);
    write(cache + "/5002/Plan.DWG", "plan bytes");
    write(cache + "/5002/copy.pdf", quote);
    write(dir_.filePath("secret.txt"), "not an attachment");
    {
        Connection c;
        c.open(source_);
        const QString insert = "INSERT INTO Attachments (JobID, FileName, Path) VALUES (%1, '%2', "
                               "'%3')";
        c.executeNative(insert.arg("5001", "quote.pdf", own));
        c.executeNative(insert.arg("5002", "plan.dwg", dir_.filePath("moved/5002/")));
        c.executeNative(insert.arg("5002", "copy.pdf", ""));
        c.executeNative(insert.arg("5003", "gone.txt", own));
        c.executeNative(insert.arg("5003", "../secret.txt", own));
    }
    MigrationOptions options;
    options.attachmentFolder = cache;
    const MigrationResult result = migrate(options);
    ASSERT_EQ(result.outcome, MigrationResult::Outcome::Copied);
    EXPECT_EQ(result.filesCarried, 3);
    ASSERT_EQ(result.filesNotCarried.size(), 1) << result.filesNotCarried.join('\n').toStdString();
    EXPECT_TRUE(result.filesNotCarried[0].contains("gone.txt"));

    Connection pg;
    pg.open(locator());
    EXPECT_EQ(brevant::db::queryNative(pg, "SELECT count(*) FROM brevant_attachment_content")
                  .front()
                  .front()
                  .toLongLong(),
              2);
    const auto contentOf = [&](const QString& name) {
        const auto rows = brevant::db::queryNative(
            pg, "SELECT content FROM attachments WHERE filename = $1", {name});
        return rows.empty() ? QString() : rows.front().front().toString();
    };
    const auto fetched = [&](const QString& name) {
        const QString target = dir_.filePath("fetched-" + QString::number(qHash(name)));
        brevant::db::fetchAttachmentContent(pg, contentOf(name), target, name);
        QFile f(target);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    EXPECT_EQ(fetched("quote.pdf"), quote);
    EXPECT_EQ(fetched("copy.pdf"), quote);
    EXPECT_EQ(fetched("plan.dwg"), QByteArray("plan bytes"));
    EXPECT_TRUE(contentOf("gone.txt").isEmpty());
    EXPECT_TRUE(contentOf("../secret.txt").isEmpty());

    // A second run has nothing to do and stores nothing twice.
    EXPECT_EQ(migrate(options).outcome, MigrationResult::Outcome::NothingToDo);
}
