#include "TestStore.h"

#include "PgScratch.h"
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"

#include <stdexcept>

namespace teststore {

bool onPostgreSql() {
    return qEnvironmentVariable("BREVANT_TEST_STORE") == QLatin1String("postgres");
}

namespace {

class StoreEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!onPostgreSql())
            return;
        QString why;
        if (pgtest::clusterLocator(&why).isEmpty())
            GTEST_SKIP() << why.toStdString();
    }
};
::testing::Environment* const storeEnvironment =
    ::testing::AddGlobalTestEnvironment(new StoreEnvironment);

// Schemas with the desktop tables that a finished test left as a fresh one is, emptied: making
// a schema with the tables costs several times what emptying one does, and every client test
// wants one. A schema a test changed (a table, column, trigger or function more or less) is
// dropped instead.
class SchemaPool {
public:
    static std::unique_ptr<pgtest::ScratchSchema> take() {
        auto& free = pool();
        if (free.empty())
            return nullptr;
        std::unique_ptr<pgtest::ScratchSchema> s = std::move(free.back());
        free.pop_back();
        return s;
    }

    // Notes what a fresh schema looks like, from the first one made.
    static void made(pgtest::ScratchSchema& schema) {
        if (fresh().isEmpty())
            fresh() = shape(schema);
    }

    static void giveBack(std::unique_ptr<pgtest::ScratchSchema> schema) {
        if (fresh().isEmpty() || shape(*schema) != fresh())
            return; // dropped
        try {
            schema->admin().run(
                QStringLiteral("DO $$DECLARE t text; BEGIN SELECT string_agg(format('%I.%I', "
                               "schemaname, tablename), ', ') INTO t FROM pg_tables WHERE "
                               "schemaname = '%1' AND tablename <> 'brevant_schema'; IF t IS "
                               "NOT NULL THEN EXECUTE 'TRUNCATE ' || t || ' RESTART "
                               "IDENTITY'; END IF; END$$")
                    .arg(schema->name())
                    .toUtf8());
            pool().push_back(std::move(schema));
        } catch (const std::exception&) {
            // Not reusable: dropped.
        }
    }

private:
    static std::vector<std::unique_ptr<pgtest::ScratchSchema>>& pool() {
        static std::vector<std::unique_ptr<pgtest::ScratchSchema>> free;
        return free;
    }
    static QString& fresh() {
        static QString shape;
        return shape;
    }
    // The schema's tables, columns and their types, and how many functions, triggers, types,
    // constraints and schema versions it has; empty when it cannot be read (its version table
    // dropped, say).
    static QString shape(pgtest::ScratchSchema& schema) {
        try {
            const brevant::db::pg::Result r = schema.admin().run(
                QStringLiteral(
                    "SELECT md5(coalesce((SELECT string_agg(c.relname::text || ':' || "
                    "c.relkind::text || ':' || coalesce(a.attname::text, '') || ':' || "
                    "coalesce(t.typname::text, ''), ',' ORDER BY c.relname, a.attnum) FROM "
                    "pg_class c LEFT JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 "
                    "AND NOT a.attisdropped LEFT JOIN pg_type t ON t.oid = a.atttypid WHERE "
                    "c.relnamespace = n.oid), '')) || '/' || (SELECT count(*) FROM pg_proc WHERE "
                    "pronamespace = n.oid) || '/' || (SELECT count(*) FROM pg_trigger g JOIN "
                    "pg_class c ON c.oid = g.tgrelid WHERE c.relnamespace = n.oid) || '/' || "
                    "(SELECT count(*) FROM pg_type WHERE typnamespace = n.oid) || '/' || (SELECT "
                    "count(*) FROM pg_constraint WHERE connamespace = n.oid) || '/' || (SELECT "
                    "string_agg(version::text, ',' ORDER BY version) FROM %1.brevant_schema) "
                    "FROM pg_namespace n WHERE n.nspname = '%1'")
                    .arg(schema.name())
                    .toUtf8());
            return r.rows() == 1 ? QString::fromUtf8(r.text(0, 0)) : QString();
        } catch (const std::exception&) {
            return {};
        }
    }
};

} // namespace

TestStores::TestStores() = default;

TestStores::~TestStores() {
    for (auto& s : schemas_)
        SchemaPool::giveBack(std::move(s));
}

QString TestStores::create(const QString& sqliteFile) {
    if (!onPostgreSql()) {
        brevant::db::createDesktopDatabase(sqliteFile);
        return sqliteFile;
    }
    std::unique_ptr<pgtest::ScratchSchema> schema = SchemaPool::take();
    if (!schema) {
        schema = std::make_unique<pgtest::ScratchSchema>();
        QString why;
        if (!schema->create(&why))
            throw std::runtime_error(why.toStdString());
        brevant::db::Connection c;
        c.open(schema->locator());
        brevant::db::createDesktopSchema(c);
        c.close();
        SchemaPool::made(*schema);
    }
    schemas_.push_back(std::move(schema));
    return schemas_.back()->locator();
}

} // namespace teststore
