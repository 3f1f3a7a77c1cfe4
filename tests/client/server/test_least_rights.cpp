// A firm store set up exactly as the README tells the administrator (its statements are read
// from the README itself), the tables made by the owner, and the program's everyday work done
// as an estimator who may only read and write rows: open, import, merge, notes, attachments,
// delete, the one check's lock and the live list. The estimator cannot change the tables, and
// an older store opened by him says what the administrator must do.
#include "PgScratch.h"
#include "UpdateFixture.h"
#include "platform/db/Backend.h"
#include "platform/db/DbError.h"
#include "platform/db/StoreWatcher.h"
#include "server/ListingImport.h"
#include "store/Attachments.h"
#include "store/ProjectDelete.h"
#include "store/SharedNotes.h"

#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <unistd.h>

namespace brevant::server {
namespace {

struct AdminScript {
    QString database; // where it runs
    QByteArray sql;
};

// The administrator's statements from the README's section on a firm's store, with the names
// it uses (database and schema brevant, roles brevant_owner, brevant_estimators and pat)
// replaced by the test's own: roles belong to the whole cluster that other tests share.
QList<AdminScript> readmeScripts(const QString& suffix) {
    QFile readme(QStringLiteral(BREVANT_SOURCE_DIR "/README.md"));
    if (!readme.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(readme.readAll());
    const qsizetype section =
        text.indexOf(QStringLiteral("**Creating the database and the roles**"));
    const qsizetype from = text.indexOf(QStringLiteral("```sh\n"), section);
    const qsizetype to = text.indexOf(QStringLiteral("\n```\n"), from + 1);
    if (section < 0 || from < 0 || to < 0)
        return {};
    const QString block = text.mid(from, to - from);
    QList<AdminScript> scripts;
    static const QRegularExpression heredoc(
        QStringLiteral("psql [^\\n]*-d (\\w+)[^\\n]*<<'SQL'\\n(.*?)\\nSQL(\\n|$)"),
        QRegularExpression::DotMatchesEverythingOption);
    for (auto m = heredoc.globalMatch(block); m.hasNext();) {
        const auto match = m.next();
        QString sql = match.captured(2);
        QString database = match.captured(1);
        for (QString* s : {&sql, &database}) {
            s->replace(QStringLiteral("brevant_owner"), QStringLiteral("o_") + suffix);
            s->replace(QStringLiteral("brevant_estimators"), QStringLiteral("e_") + suffix);
            s->replace(QRegularExpression(QStringLiteral("\\bpat\\b")),
                       QStringLiteral("p_") + suffix);
            s->replace(QRegularExpression(QStringLiteral("\\bbrevant\\b")),
                       QStringLiteral("r_") + suffix);
        }
        scripts.append({database, sql.toUtf8()});
    }
    return scripts;
}

QByteArray listing(int first, int count) {
    QByteArray jobs;
    for (int id = first; id < first + count; ++id)
        jobs += QStringLiteral("<Job><Project><Job_ID>%1</Job_ID><Name>Rights %1</Name>"
                               "<Due_Date>3/1/2027 2:00:00 PM</Due_Date></Project>"
                               "<Specs><Spec Name=\"03300\" Description=\"CONCRETE\"/></Specs>"
                               "<Plans/><Contacts/></Job>")
                    .arg(id)
                    .toUtf8();
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Jobs>" + jobs + "</Jobs>";
}

QByteArray update(int first, int count) {
    QStringList jobs;
    for (int id = first; id < first + count; ++id) {
        test::JobXml j;
        j.idAttribute = QString::number(id);
        j.project = test::projectFields(id, {{"Due_Date", "4/2/2027 2:00:00 PM"}});
        j.specs = {test::spec("03300", "CONCRETE"), test::spec("09900", "PAINTING")};
        j.plans = {test::plan("A1.TIF", "FLOOR PLAN", "1200")};
        j.contacts = {test::contact("acme general", "GC")};
        jobs << test::jobXml(j);
    }
    return test::updateDocument(jobs);
}

class LeastRights : public ::testing::Test {
protected:
    void SetUp() override {
        QString why;
        cluster = pgtest::clusterLocator(&why);
        if (cluster.isEmpty())
            GTEST_SKIP() << why.toStdString();
        suffix = QStringLiteral("%1_%2").arg(getpid()).arg(++counter);
        admin.open(cluster);
        dropAll();
        const QList<AdminScript> scripts = readmeScripts(suffix);
        ASSERT_EQ(scripts.size(), 2) << "the README's set-up is no longer two psql scripts";
        for (const AdminScript& s : scripts) {
            db::pg::Session session;
            session.open(cluster + QStringLiteral(" dbname=") + s.database);
            // psql sends each statement on its own (CREATE DATABASE refuses a transaction).
            QString sql = QString::fromUtf8(s.sql);
            sql.remove(QRegularExpression(QStringLiteral("--[^\n]*")));
            for (const QString& statement : sql.split(QLatin1Char(';'), Qt::SkipEmptyParts))
                if (!statement.trimmed().isEmpty())
                    session.run(QByteArrayView(statement.toUtf8()));
        }
    }
    void TearDown() override {
        if (admin.isOpen())
            dropAll();
    }
    void dropAll() {
        admin.run(("DROP DATABASE IF EXISTS r_" + suffix + " WITH (FORCE)").toUtf8());
        for (const char* role : {"p_", "e_", "o_"})
            admin.run(("DROP ROLE IF EXISTS " + QString::fromLatin1(role) + suffix).toUtf8());
    }
    // The store's locator for a role of the cluster (the cluster lets local users in without
    // a password).
    QString as(const QString& role) const {
        return cluster + QStringLiteral(" dbname=r_") + suffix + QStringLiteral(" user=") + role;
    }
    QString owner() const { return as(QStringLiteral("o_") + suffix); }
    QString estimator() const { return as(QStringLiteral("p_") + suffix); }

    static long refusal(db::Connection& c, const QString& native) {
        try {
            c.executeNative(native);
        } catch (const db::DbError& e) {
            return e.number();
        }
        return 0;
    }

    static inline int counter = 0;
    QString cluster, suffix;
    db::pg::Session admin;
    const QDateTime now{QDate(2027, 1, 4), QTime(9, 30)};
};

TEST_F(LeastRights, AnEstimatorDoesTheDaysWorkButCannotChangeTheTables) {
    {
        db::Connection first;
        first.open(owner()); // the owner's first start makes the tables
    }
    db::Connection c;
    c.open(estimator());
    // Everything is in the firm's schema, owned by the owner.
    EXPECT_EQ(c.backend().queryNative("SELECT current_schema()", {}).front().value(0).toString(),
              QStringLiteral("r_") + suffix);
    EXPECT_EQ(c.backend()
                  .queryNative("SELECT pg_get_userbyid(relowner) FROM pg_class WHERE relname = "
                               "'projects' AND relnamespace = current_schema()::regnamespace",
                               {})
                  .front()
                  .value(0)
                  .toString(),
              QStringLiteral("o_") + suffix);

    db::StoreWatcher watcher;
    ASSERT_TRUE(watcher.watch(db::StoreLocator::parse(estimator())));
    QSignalSpy changed(&watcher, &db::StoreWatcher::changed);

    EXPECT_EQ(ImportListingData(listing(700001, 3), c).imported, 3);
    const ReadResult r = readProjectDocument(update(700001, 3));
    ASSERT_TRUE(r.document.has_value());
    const MergeSummary merged = mergeUpdateDocument(c, *r.document, now, {});
    EXPECT_TRUE(merged.problems.isEmpty()) << mergeProblemsText(merged.problems).toStdString();
    EXPECT_EQ(merged.merged.size(), size_t(3));

    EXPECT_EQ(
        store::saveNotesIfUnchanged(c, 700001, QString(), QStringLiteral("call the GC")).outcome,
        store::NotesSave::Outcome::Saved);

    QTemporaryDir cache;
    QFile quote(cache.filePath(QStringLiteral("quote.txt")));
    ASSERT_TRUE(quote.open(QIODevice::WriteOnly));
    quote.write("42");
    quote.close();
    const store::AttachResult attached =
        store::AttachFile(c, cache.filePath(QStringLiteral("cache")), 700002, quote.fileName(),
                          QStringLiteral("quote"));
    EXPECT_EQ(attached.outcome, store::AttachOutcome::Added) << attached.error.toStdString();
    store::RemoveAttachment(c, cache.filePath(QStringLiteral("cache")), 700002,
                            QStringLiteral("quote.txt"));

    store::DeleteProjectRecords(c, 700003);
    EXPECT_TRUE(c.tryLockStore(db::StoreLock::UpdateCheck));

    // Another estimator's change reaches this one's list.
    db::Connection other;
    other.open(as(QStringLiteral("o_") + suffix));
    other.execute("UPDATE Projects SET [Name] = 'RENAMED' WHERE Job_ID = 700002");
    EXPECT_TRUE(changed.wait(5000));

    // The tables are the owner's: no dropping, changing or adding.
    EXPECT_EQ(refusal(c, QStringLiteral("DROP VIEW projects")), db::errors::PermissionDenied);
    EXPECT_EQ(refusal(c, QStringLiteral("DROP TABLE projects_shared")),
              db::errors::PermissionDenied);
    EXPECT_EQ(refusal(c, QStringLiteral("ALTER TABLE projects_shared ADD COLUMN x integer")),
              db::errors::PermissionDenied);
    EXPECT_EQ(refusal(c, QStringLiteral("CREATE TABLE extra (a integer)")),
              db::errors::PermissionDenied);
    EXPECT_EQ(refusal(c, QStringLiteral("CREATE TABLE public.extra (a integer)")),
              db::errors::PermissionDenied);
    EXPECT_EQ(refusal(c, QStringLiteral("CREATE SCHEMA mine")), db::errors::PermissionDenied);
    EXPECT_EQ(refusal(c, QStringLiteral("DROP FUNCTION jet_left(text, bigint)")),
              db::errors::PermissionDenied);
}

TEST_F(LeastRights, AnOlderStoreOpenedByAnEstimatorSaysWhatTheAdministratorMustDo) {
    {
        db::Connection first;
        first.open(owner());
        // As a store of the first release: its later steps are undone.
        first.executeNative(QStringLiteral("DROP TABLE change_history; ") +
                            pgtest::firstReleaseStoreSql());
    }
    db::Connection c;
    try {
        c.open(estimator());
        FAIL() << "an estimator brought the tables forward";
    } catch (const db::DbError& e) {
        EXPECT_TRUE(e.description().contains("earlier version")) << e.description().toStdString();
        EXPECT_TRUE(e.description().contains("administrator")) << e.description().toStdString();
        EXPECT_TRUE(e.description().contains("owner of the tables"))
            << e.description().toStdString();
    }
    // The owner's start brings them forward, and the estimator works again.
    {
        db::Connection first;
        first.open(owner());
    }
    c.open(estimator());
    EXPECT_EQ(ImportListingData(listing(700101, 1), c).imported, 1);
}

} // namespace
} // namespace brevant::server
