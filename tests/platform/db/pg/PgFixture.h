#pragma once
// A test with a PostgreSQL schema of its own (PgScratch.h); skipped, saying why, when there is
// no test cluster.
#include "../DbFixture.h" // PrintTo(QString)
#include "PgScratch.h"

namespace pgtest {

class ScratchDatabase : public ::testing::Test {
protected:
    void SetUp() override {
        QString why;
        if (!scratch_.create(&why))
            GTEST_SKIP() << why.toStdString();
    }

    const QString& locator() const { return scratch_.locator(); }
    brevant::db::pg::Session& admin() { return scratch_.admin(); }

private:
    ScratchSchema scratch_;
};

} // namespace pgtest
