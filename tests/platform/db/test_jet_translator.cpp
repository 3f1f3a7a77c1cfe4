// The translator's rewrites, and the date texts it converts.
#include "platform/db/DbError.h"
#include "platform/db/JetDate.h"
#include "platform/db/JetTranslator.h"

#include <gtest/gtest.h>
#include <time.h>

using namespace brevant::db;

namespace {

JetSchema desktopKinds() {
    JetSchema s;
    s.setKind("Projects", "Due_Date", ColumnKind::Date);
    s.setKind("Projects", "Pre_Bid", ColumnKind::YesNo);
    s.setKind("Projects", "New", ColumnKind::YesNo);
    s.setKind("Plans", "Local", ColumnKind::YesNo);
    s.setKind("Updates", "Added", ColumnKind::Date);
    return s;
}

struct Case {
    const char* jet;
    const char* sql;
    QVariantList params;
};

TEST(JetTranslator, RewritesTheJetForms) {
    const JetSchema schema = desktopKinds();
    const Case cases[] = {
        {"Delete * from [Updates] where [JOBID] = 7;",
         "Delete from \"Updates\" where \"JOBID\" = ?",
         {7}},
        {"dELETE FROM [Plans] Where [JobID] = 7", "dELETE FROM \"Plans\" Where \"JobID\" = ?", {7}},
        {"Update [Projects] Set Notes = 'X' & chr(124) & 'Y' & chr(124) & '' where [JOB_ID] = 1",
         "Update \"Projects\" Set Notes = ? where \"JOB_ID\" = ?",
         {"X|Y|", 1}},
        {"Select [Name] & ', ' & City from [Projects]",
         "Select \"Name\" || ? || City from \"Projects\"",
         {", "}},
        {"Select Spec FROM [Specs] where [JobID] = 3 AND left([Spec],3) <> 'ADD' ORDER BY [Spec]",
         "Select Spec FROM \"Specs\" where \"JobID\" = ? AND jet_left(\"Spec\", ?) COLLATE NOCASE "
         "<> ? "
         "ORDER BY \"Spec\"",
         {3, 3, "ADD"}},
        {"SELECT * FROM Projects WHERE (datepart(yyyy, Due_Date) = 1900) ORDER BY 1",
         "SELECT * FROM Projects WHERE (jet_datepart('yyyy', Due_Date) = ?) ORDER BY 1",
         {1900}},
        {"UPDATE Projects SET Due_Date=#12/20/2026 3:00:00 PM#, Pre_Bid=-1, [New] = TRUE WHERE "
         "Job_ID=5",
         "UPDATE Projects SET Due_Date = ?, Pre_Bid = ?, \"New\" = 1 WHERE Job_ID = ?",
         {"2026-12-20 15:00:00", 1, 5}},
        {"UPDATE Projects SET Projects.Assignment = '' WHERE (((Projects.Job_ID)=5));",
         "UPDATE Projects SET Assignment = ? WHERE (((Projects.Job_ID) = ?))",
         {"", 5}},
        {"INSERT INTO Updates ( JobID, [Update], Added ) Values (5,'1/2/2026','12/8/2026 3:04:05 "
         "AM')",
         "INSERT INTO Updates (JobID, \"Update\", Added) Values (?, ?, ?)",
         {5, "1/2/2026", "2026-12-08 03:04:05"}},
        {"Select * from [Projects] where '12/8/2026' <= Due_Date AND Due_Date BETWEEN '1/1/2026' "
         "AND "
         "'TBD'",
         "Select * from \"Projects\" where ? <= Due_Date AND Due_Date BETWEEN ? AND ?",
         {"2026-12-08 00:00:00", "2026-01-01 00:00:00", "TBD"}},
        {"Update [Plans] set [Local] = 'True' WHERE [Local] = -1 AND [Size] = -1",
         "Update \"Plans\" set \"Local\" = ? WHERE \"Local\" = ? AND \"Size\" = - ?",
         {1, 1, 1}},
        {"UPDATE [Awards] SET [Awarded] =Yes, [Fax] =NULL WHERE [JobID]=1 AND [Name] ='A'",
         "UPDATE \"Awards\" SET \"Awarded\" = 1, \"Fax\" = NULL WHERE \"JobID\" = ? AND \"Name\" = "
         "?",
         {1, "A"}},
        {"SELECT Count(*) FROM Projects WHERE [Name] LIKE '%o''brien%'",
         "SELECT Count(*) FROM Projects WHERE \"Name\" LIKE ?",
         {"%o'brien%"}},
    };
    for (const Case& c : cases) {
        const TranslatedStatement t = translateJet(QString::fromUtf8(c.jet), schema);
        // Spacing is the translator's own; compare with single blanks around punctuation removed.
        const auto tidy = [](QString s) {
            return s.replace(" ,", ",").replace("( ", "(").replace(" )", ")").replace(" (", "(");
        };
        EXPECT_EQ(tidy(QString::fromUtf8(t.sql)).toStdString(),
                  tidy(QString::fromUtf8(c.sql)).toStdString())
            << c.jet;
        QVariantList expected = c.params;
        for (QVariant& v : expected)
            if (v.typeId() == QMetaType::Int)
                v = qlonglong(v.toInt());
        EXPECT_EQ(t.params, expected) << c.jet;
    }
}

TEST(JetTranslator, ColumnKindsComeFromTheTablesNamedHoweverOftenTheyAreNamed) {
    const JetSchema schema = desktopKinds();
    // The first table the schema knows that has the column decides; unknown tables add nothing.
    TranslatedStatement t = translateJet(
        "SELECT * FROM Nowhere, [Updates] AS u WHERE Added = '12/8/2026' AND Due_Date = '1/2/2026'",
        schema);
    EXPECT_EQ(t.params, QVariantList({"2026-12-08 00:00:00", "1/2/2026"}));

    // Thousands of sub-queries naming the same tables: every date still converted.
    QString clause = "SELECT Job_ID FROM Projects WHERE";
    for (int i = 0; i < 3000; ++i)
        clause += " Job_ID IN (SELECT JobID FROM Updates, Nowhere WHERE Added >= '1/2/2026') OR";
    clause += " Due_Date = '3/4/2026'";
    t = translateJet(clause, schema);
    ASSERT_EQ(t.params.size(), 3001);
    EXPECT_EQ(t.params.first(), "2026-01-02 00:00:00");
    EXPECT_EQ(t.params.at(2999), "2026-01-02 00:00:00");
    EXPECT_EQ(t.params.last(), "2026-03-04 00:00:00");

    // Many qualified assignments lose their qualifiers, and only in SET.
    QString update = "UPDATE Projects SET Projects.Due_Date = '5/6/2026'";
    for (int i = 0; i < 2000; ++i)
        update += QString(", Projects.C%1 = %1").arg(i);
    update += " WHERE Projects.Job_ID = 1";
    t = translateJet(update, schema);
    const QString sql = QString::fromUtf8(t.sql);
    EXPECT_TRUE(sql.startsWith("UPDATE Projects SET Due_Date = ? , C0 = ? , C1 = ?"))
        << sql.left(80).toStdString();
    EXPECT_TRUE(sql.endsWith("WHERE Projects.Job_ID = ?")) << sql.right(40).toStdString();
    EXPECT_FALSE(sql.contains("Projects.C"));
    EXPECT_EQ(t.params.first(), "2026-05-06 00:00:00");
    EXPECT_EQ(t.params.size(), 2002);
}

// A statement of a shape seen before is bound from the remembered translation; whatever the
// values, the result must be what a fresh translation gives.
TEST(JetTranslator, RememberedShapesGiveWhatAFreshTranslationGives) {
    const JetSchema schema = desktopKinds();
    const std::vector<std::pair<const char*, const char*>> pairs = {
        // The same shape twice, with values that convert differently.
        {"UPDATE Projects SET Due_Date='12/20/2026', Pre_Bid=-1 WHERE Job_ID=5",
         "UPDATE Projects SET Due_Date='TBD', Pre_Bid=-0 WHERE Job_ID=6.5"},
        {"Update [Plans] set [Local] = 'True' WHERE [Local] = 1",
         "Update [Plans] set [Local] = 'maybe' WHERE [Local] = 0"},
        {"INSERT INTO Updates ( JobID, [Update], Added ) Values (5,'a','12/8/2026')",
         "INSERT INTO Updates ( JobID, [Update], Added ) Values (7,'b','8 Dec 2026 3:00 PM')"},
        {"Update [Projects] Set Notes = 'X' & chr(124) & 'Y' where [JOB_ID] = 1",
         "Update [Projects] Set Notes = 'Z' & chr(0) & 'Y' where [JOB_ID] = 2"},
        {"Select * from Projects where Due_Date BETWEEN #1/1/2026# AND #2/1/2026#",
         "Select * from Projects where Due_Date BETWEEN #3/1/2026# AND #4/1/2026#"},
        // A value written into the text itself: the two must not share a translation.
        {"SELECT Job_ID, City FROM Projects WHERE Job_ID > 3 ORDER BY 1",
         "SELECT Job_ID, City FROM Projects WHERE Job_ID > 4 ORDER BY 2"},
        // Only the case of a keyword differs: the text keeps it.
        {"select * from Projects where Job_ID = 1", "SELECT * from Projects where Job_ID = 2"},
    };
    JetTranslationCache cache;
    for (const auto& [first, second] : pairs) {
        for (const char* jet : {first, second, first}) {
            const TranslatedStatement fresh = translateJet(QString::fromUtf8(jet), schema);
            const TranslatedStatement cached = cache.translate(QString::fromUtf8(jet), schema);
            EXPECT_EQ(cached.sql, fresh.sql) << jet;
            EXPECT_EQ(cached.params, fresh.params) << jet;
            EXPECT_EQ(cached.verb, fresh.verb) << jet;
        }
    }
    // A bad date in a remembered shape is refused as it is without the cache.
    cache.translate("Select * from Projects where Due_Date = #1/1/2026#", schema);
    EXPECT_THROW(cache.translate("Select * from Projects where Due_Date = #31/31/2026#", schema),
                 DbError);
}

TEST(JetTranslator, RefusesWhatItCannotRunSafely) {
    const JetSchema schema = desktopKinds();
    const char* bad[] = {
        "Delete * from [Projects]; DROP TABLE Projects",
        "DROP TABLE Projects",
        "PRAGMA writable_schema = 1",
        "Select * from [Projects",
        "Update [Projects] Set Notes = 'open",
        "Select * from Projects where (Job_ID = 1",
        "Select * from Projects where Job_ID = 1)",
        "UPDATE Projects SET Due_Date=#13/45/2026# WHERE Job_ID=1",
        "",
        " ; ",
    };
    for (const char* sql : bad) {
        try {
            translateJet(QString::fromUtf8(sql), schema);
            ADD_FAILURE() << "accepted: " << sql;
        } catch (const DbError& e) {
            EXPECT_EQ(e.number(), errors::CommandError) << sql;
            EXPECT_FALSE(e.description().isEmpty());
        }
    }
}

TEST(JetDate, ConvertsTheServiceAndClientForms) {
    const std::pair<const char*, const char*> cases[] = {
        {"12/15/2026 2:00:00 PM", "2026-12-15 14:00:00"},
        {"12/15/2026 12:00:00 AM", "2026-12-15 00:00:00"},
        {"12/15/2026 12:30 PM", "2026-12-15 12:30:00"},
        {"12/31/2026 11:59:59 PM", "2026-12-31 23:59:59"},
        {"1/5/2027", "2027-01-05 00:00:00"},
        {" 1/1/1900 ", "1900-01-01 00:00:00"},
        {"1/1/26", "2026-01-01 00:00:00"},
        {"1/1/99", "1999-01-01 00:00:00"},
        {"2026-12-15T14:00:00", "2026-12-15 14:00:00"},
        {"2026-12-15 14:00:00", "2026-12-15 14:00:00"},
        {"2026-12-15", "2026-12-15 00:00:00"},
        {"2/29/2028 7:05:09 am", "2028-02-29 07:05:09"},
        // Month names, as locales without a numeric short date write it.
        {"8 Dec 2026", "2026-12-08 00:00:00"},
        {"8 Dec 2026 12:00:00 AM", "2026-12-08 00:00:00"},
        {"15 December 2026 2:30 PM", "2026-12-15 14:30:00"},
        {"Dec 8, 2026", "2026-12-08 00:00:00"},
        {"sept 30 2027 09:05", "2027-09-30 09:05:00"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(toStoredDate(in).value_or("<none>").toStdString(), out) << in;
    for (const char* notADate : {"2/30/2026", "13/1/2026", "12/15/2026 13:00:00 PM", "TBD", "",
                                 "12/15/2026 25:00", "2026-13-01", "31 Feb 2026", "8 Decem 2026",
                                 "8 Dez 2026", "2026-02-30", "2026-12-15 24:00:00", "2026-1a-15"})
        EXPECT_FALSE(toStoredDate(notADate).has_value()) << notADate;
}

TEST(JetDate, ReadsBackForDisplay) {
    EXPECT_EQ(formatDate(fromStoredDate("2026-12-05 14:00:00")), "12/05/2026");
    EXPECT_EQ(formatDate(QVariant(QStringLiteral("2026-12-05 14:00:00"))), "12/05/2026");
    EXPECT_EQ(formatDate(QVariant()), "");
    EXPECT_EQ(formatDate(QVariant(QStringLiteral("soon"))), "");
    EXPECT_TRUE(isNoDateSet(fromStoredDate("1900-01-01 00:00:00")));
    EXPECT_FALSE(isNoDateSet(fromStoredDate("1901-01-01 00:00:00")));
    EXPECT_FALSE(isNoDateSet(QVariant()));
}

TEST(JetDate, WallClockTimesSurviveDaylightSavingGaps) {
    const QByteArray saved = qgetenv("TZ");
    qputenv("TZ", "America/Chicago");
    tzset();
    // 2:30 AM does not exist in Chicago on that day; the stored value must still read back.
    const QDateTime gap = fromStoredDate("2026-03-08 02:30:00");
    EXPECT_TRUE(gap.isValid());
    EXPECT_EQ(gap.date(), QDate(2026, 3, 8));
    EXPECT_EQ(gap.time(), QTime(2, 30));
    EXPECT_EQ(formatDate(gap), "03/08/2026");
    const QDateTime normal = fromStoredDate("2026-03-09 02:30:00");
    EXPECT_EQ(normal.timeSpec(), Qt::LocalTime);
    EXPECT_EQ(normal.time(), QTime(2, 30));
    if (saved.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", saved);
    tzset();
}

} // namespace
