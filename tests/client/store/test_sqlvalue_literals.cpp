// SQL literals as the imports and merges write them, checked against a real Desktop.mdb.
#include "store/SqlValue.h"

#include "TestStore.h"
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "platform/db/Recordset.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using brevant::store::SqlEscape;
using brevant::store::SqlValue;

namespace {

// A fresh store (a Desktop.mdb in dir on SQLite), open.
void openNewDesktop(const QTemporaryDir& dir, teststore::TestStores& stores,
                    brevant::db::Connection& c) {
    c.open(stores.create(dir.filePath("Desktop.mdb")));
}

TEST(SqlValueLiterals, NullEmptyNumbersAndText) {
    EXPECT_EQ(SqlValue(QVariant(), false), "NULL");
    EXPECT_EQ(SqlValue(QVariant(), true), "NULL");
    EXPECT_EQ(SqlValue(QString(""), false), "NULL");
    EXPECT_EQ(SqlValue(QString("1250000"), true), "1250000");
    EXPECT_EQ(SqlValue(42, true), "42");
    EXPECT_EQ(SqlValue(QString("O'Brien"), false), "'O''Brien'");
    EXPECT_EQ(SqlValue(QString("X|Y"), false), "'X' & chr(124) & 'Y'");
    // Quotes are doubled before the '|' is replaced, so the inserted quotes stay single.
    EXPECT_EQ(SqlEscape("a'|b"), "a''' & chr(124) & 'b");
    EXPECT_EQ(SqlEscape("||"), "' & chr(124) & '' & chr(124) & '");
}

TEST(SqlValueLiterals, HostileTextsAreStoredAsGiven) {
    QTemporaryDir dir;
    teststore::TestStores stores;
    brevant::db::Connection c;
    openNewDesktop(dir, stores, c);
    const QStringList texts = {"O'Brien",
                               "X|Y",
                               "'|'",
                               "||",
                               "a' OR '1'='1",
                               "x'); DROP TABLE Specs; --",
                               "[Name]",
                               "#1/1/2026#",
                               "\"quoted\"",
                               "50% & more",
                               "' & chr(124) & '",
                               "Ünïcødé – 日本"};
    for (int i = 0; i < texts.size(); ++i)
        c.execute("INSERT INTO Specs (JobID, Spec, Description) VALUES (1," +
                  SqlValue(QString::number(i), false) + "," + SqlValue(texts[i], false) + ")");
    brevant::db::Recordset rs;
    for (int i = 0; i < texts.size(); ++i) {
        rs.open("Select * from [Specs] where [JobID] = 1 AND [Spec] = " +
                    SqlValue(QString::number(i), false),
                c);
        ASSERT_FALSE(rs.eof()) << i;
        EXPECT_EQ(rs.field("Description").toString(), texts[i]) << i;
    }

    // An empty text is stored as Null, not as ''.
    c.execute("INSERT INTO Specs (JobID, Spec, Description) VALUES (2,'A'," +
              SqlValue(QString(), false) + ")");
    rs.open("Select * from [Specs] where [JobID] = 2", c);
    EXPECT_TRUE(rs.field("Description").isNull());
}

TEST(SqlValueLiterals, OnlyPlainNumbersGoUnquoted) {
    for (const char* number : {"0", "42", "-7", "+3", "1250000.50", ".5", "5.", "1e6", "2.5E-3"})
        EXPECT_EQ(SqlValue(QString(number), true), number) << number;
    EXPECT_EQ(SqlValue(1.5, true), "1.5");
    EXPECT_EQ(SqlValue(true, true), "True");
    EXPECT_EQ(SqlValue(false, true), "False");
    // Anything else a server could send for a number column is quoted as text.
    const QList<QPair<QString, QString>> texts = {
        {"1 OR 1=1", "'1 OR 1=1'"},
        {"0); DELETE FROM Projects; --", "'0); DELETE FROM Projects; --'"},
        {"1|2", "'1' & chr(124) & '2'"},
        {"O'Brien", "'O''Brien'"},
        {"12abc", "'12abc'"},
        {" 12", "' 12'"},
        {"0x10", "'0x10'"},
        {"-", "'-'"},
        {".", "'.'"},
        {"1e", "'1e'"},
        {"--1", "'--1'"},
        {"(5)", "'(5)'"},
        {"٣", "'٣'"},
    };
    for (const auto& [text, literal] : texts)
        EXPECT_EQ(SqlValue(text, true), literal) << text.toStdString();
}

TEST(SqlValueLiterals, AHostileNumberIsStoredAsItsTextNotRunAsSql) {
    QTemporaryDir dir;
    teststore::TestStores stores;
    brevant::db::Connection c;
    openNewDesktop(dir, stores, c);
    c.execute("INSERT INTO Specs (JobID, Spec, Description) VALUES (1,'A','kept')");
    // As an import would write a project's Bid or Size from the service's document.
    c.execute("INSERT INTO Plans (JobID, File, Description, [Size]) VALUES (" +
              SqlValue(QString("2"), true) + ",'P','d'," +
              SqlValue(QString("0); DELETE FROM Specs WHERE (1=1"), true) + ")");
    brevant::db::Recordset rs;
    rs.open("Select * from [Specs] where [JobID] = 1", c);
    EXPECT_FALSE(rs.eof()) << "the statement ran the text as SQL";
    rs.open("Select [Size] from [Plans] where [JobID] = 2", c);
    ASSERT_FALSE(rs.eof());
    EXPECT_EQ(rs.field("Size").toString(), "0); DELETE FROM Specs WHERE (1=1");
}

} // namespace
