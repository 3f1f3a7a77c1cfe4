#pragma once
// The project store a client test works on. Every client test executable is registered twice:
// once as it is, where a test's store is a fresh Desktop.mdb in its folder, and once with
// BREVANT_TEST_STORE=postgres, where it is a fresh schema of its own in the program's database
// on the shared test cluster (PgScratch.h), with the desktop tables made. The test opens the
// locator it is given and cannot tell the two apart; what is about the SQLite file itself says
// so with SQLITE_FILE_ONLY and runs on the first registration only. The run for PostgreSQL
// without a cluster (no server installed, or run outside ctest) skips every test, saying why,
// rather than quietly testing SQLite twice.
#include <QString>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace pgtest {
class ScratchSchema;
}

namespace teststore {

// True in the run for PostgreSQL.
bool onPostgreSql();

// The stores one test made; they go with it.
class TestStores {
public:
    TestStores();
    ~TestStores();
    TestStores(const TestStores&) = delete;
    TestStores& operator=(const TestStores&) = delete;

    // A fresh store with the desktop schema: on SQLite the file sqliteFile (its folder must
    // exist), on PostgreSQL an empty schema. Returns the locator to open it by.
    QString create(const QString& sqliteFile);

private:
    std::vector<std::unique_ptr<pgtest::ScratchSchema>> schemas_;
};

} // namespace teststore

// For a test about the SQLite file itself (compaction, write-ahead log, a writer killed mid-way,
// the file's name and folder): skipped on the PostgreSQL run, with the reason.
#define SQLITE_FILE_ONLY(why)                                                                      \
    do {                                                                                           \
        if (::teststore::onPostgreSql())                                                           \
            GTEST_SKIP() << "about the SQLite file itself (" << (why) << "): runs on SQLite";      \
    } while (false)
