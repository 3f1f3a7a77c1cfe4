#pragma once
// A Desktop.mdb in a temporary folder with one project's plans, sections, table-of-contents
// entries and addenda, for the document tests.
#include "TestStore.h"
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "platform/db/Recordset.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace brevant::documents::test {

class DocumentsDbTest : public ::testing::Test {
protected:
    static constexpr int Job = 210007;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        connection.open(stores.create(dir.filePath("Desktop.mdb")));
        connection.execute(
            QStringLiteral("Insert into [Projects] ([Job_ID], [Name]) values (%1, 'ROOF')")
                .arg(Job));
        const char* plans[][3] = {{"PLAN001", "A-101 FLOOR PLAN", "4096"},
                                  {"PLAN002", "A-201 ELEVATIONS", "5000"},
                                  {"PLAN003", "O'BRIEN DETAIL", "6000"}};
        for (auto& p : plans)
            connection.execute(
                QStringLiteral("Insert into [Plans] ([JobID], [File], [Description], "
                               "[Size], [Local]) values (%1, '%2', '%3', %4, FALSE)")
                    .arg(Job)
                    .arg(p[0], QString::fromLatin1(p[1]).replace("'", "''"), p[2]));
        // Entered out of order: TOC codes sort after the section numbers.
        for (const char* s : {"09900", "TOC01", "ADD02", "0100", "ADD01", "03300", "TOC02"})
            connection.execute(
                QStringLiteral("Insert into [Specs] ([JobID], [Spec], [Description], "
                               "[Local]) values (%1, '%2', 'Text %2', FALSE)")
                    .arg(Job)
                    .arg(s));
        // Another project's rows must never show or change.
        connection.execute(QStringLiteral("Insert into [Plans] ([JobID], [File], [Description], "
                                          "[Size], [Local]) values (9, 'PLAN001', 'X', 1, FALSE)"));
    }

    int localCount(const QString& table, const QString& where) {
        db::Recordset rs;
        rs.open(QStringLiteral("Select count(*) AS n FROM [%1] WHERE [Local] = TRUE AND %2")
                    .arg(table, where),
                connection);
        return rs.field(QStringLiteral("n")).toInt();
    }

    QTemporaryDir dir;
    teststore::TestStores stores;
    db::Connection connection;
};

} // namespace brevant::documents::test
