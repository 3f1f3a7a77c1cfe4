#pragma once
// Somewhere to put a PostgreSQL store in a test: the cluster the ctest fixture pg_cluster
// started, one database per test program (advisory locks are per database, and test programs
// run side by side; CREATE DATABASE costs too much to make one per test) and one schema per
// test in it. Without the cluster (no server installed, or the program run outside ctest)
// there is nothing, and the reason why. The fixture's state folder comes from the environment
// (BREVANT_PG_STATE_DIR, set by the test's registration).
#include "platform/db/pg/PgSession.h"

#include <QFile>
#include <QString>
#include <gtest/gtest.h>
#include <unistd.h>

namespace pgtest {

// Native statements that take a current store back to one of the first release (before the
// change history, which the caller drops as it needs): everything later steps added is undone.
inline QString firstReleaseStoreSql() {
    return QStringLiteral(
        "DROP VIEW projects, plans, specs; "
        "DROP TABLE project_readers, workstation_documents; "
        "DROP FUNCTION brevant_workstation(), brevant_mark_local(text, bigint, text, boolean), "
        "brevant_forget_project(), brevant_forget_document(), brevant_revised_plan(), "
        "brevant_projects_update(), brevant_plans_update(), brevant_specs_update(), "
        "brevant_projects_insert(), brevant_plans_insert(), brevant_specs_insert() CASCADE; "
        "ALTER TABLE projects_shared RENAME TO projects; "
        "ALTER TABLE plans_shared RENAME TO plans; "
        "ALTER TABLE specs_shared RENAME TO specs; "
        "ALTER TABLE updates DROP COLUMN found_by; "
        "DROP TABLE takeoff_items, takeoff_marks, takeoff_scales, takeoff_snapshots, "
        "takeoff_snapshot_lines; "
        "ALTER TABLE plans DROP COLUMN revision; "
        "DROP TABLE brevant_attachment_content; "
        "ALTER TABLE attachments DROP COLUMN content; "
        "DROP FUNCTION brevant_announce() CASCADE; "
        "UPDATE brevant_schema SET version = 1");
}

// The cluster's connection string; empty with the reason in whyNot when there is none.
inline QString clusterLocator(QString* whyNot) {
    QString state = qEnvironmentVariable("BREVANT_PG_STATE_DIR");
#ifdef BREVANT_PG_STATE_DIR
    if (state.isEmpty())
        state = QStringLiteral(BREVANT_PG_STATE_DIR); // a program built knowing the folder
#endif
    if (state.isEmpty()) {
        *whyNot = QStringLiteral("no PostgreSQL test cluster: run through ctest, whose fixture "
                                 "pg_cluster starts one");
        return {};
    }
    QFile locator(state + QStringLiteral("/locator"));
    if (locator.open(QIODevice::ReadOnly))
        return QString::fromUtf8(locator.readAll()).trimmed();
    QFile skip(state + QStringLiteral("/skip"));
    if (skip.open(QIODevice::ReadOnly))
        *whyNot = QString::fromUtf8(skip.readAll()).trimmed();
    else
        *whyNot = QStringLiteral("no PostgreSQL test cluster: run through ctest, whose fixture "
                                 "pg_cluster starts one");
    return {};
}

class ProgramDatabase : public ::testing::Environment {
public:
    // The connection string of the program's database; empty with the reason when there is none.
    static QString locator(QString* whyNot) {
        static ProgramDatabase* self = [] {
            auto* p = new ProgramDatabase;
            ::testing::AddGlobalTestEnvironment(p); // owned by GoogleTest from here on
            return p;
        }();
        if (self->locator_.isEmpty() && self->why_.isEmpty())
            self->create();
        *whyNot = self->why_;
        return self->locator_;
    }

    void TearDown() override {
        if (admin_.isOpen() && !name_.isEmpty())
            admin_.run(("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)").toUtf8());
        admin_.close();
    }

private:
    void create() {
        const QString cluster = clusterLocator(&why_);
        if (cluster.isEmpty())
            return;
        name_ = QStringLiteral("t_%1").arg(getpid());
        admin_.open(cluster);
        admin_.run(("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)").toUtf8());
        admin_.run(("CREATE DATABASE " + name_).toUtf8());
        locator_ = cluster + QStringLiteral(" dbname=") + name_;
    }

    brevant::db::pg::Session admin_;
    QString name_, locator_, why_;
};

// A schema of its own in the program's database; every session opened on locator() works in it.
class ScratchSchema {
public:
    // False, with the reason, when there is no cluster.
    bool create(QString* whyNot) {
        const QString database = ProgramDatabase::locator(whyNot);
        if (database.isEmpty())
            return false;
        static int counter = 0;
        name_ = QStringLiteral("s_%1").arg(++counter);
        admin_.open(database);
        admin_.run(("CREATE SCHEMA " + name_).toUtf8());
        locator_ =
            database + QStringLiteral(" options='-csearch_path=") + name_ + QLatin1Char('\'');
        return true;
    }
    ~ScratchSchema() {
        try {
            if (admin_.isOpen() && !name_.isEmpty())
                admin_.run(("DROP SCHEMA IF EXISTS " + name_ + " CASCADE").toUtf8());
        } catch (...) {
            // The program's database went first (a pooled schema at exit): nothing to drop.
        }
    }

    const QString& name() const { return name_; }

    // A connection string for the schema.
    const QString& locator() const { return locator_; }
    // A session on the program's database, for what a test does from outside its own sessions.
    brevant::db::pg::Session& admin() { return admin_; }

private:
    brevant::db::pg::Session admin_;
    QString name_;
    QString locator_;
};

} // namespace pgtest
