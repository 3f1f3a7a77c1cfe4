// The translator's PostgreSQL dialect: the same Jet statements in the forms a PostgreSQL store
// with the Desktop schema runs (the run against a real cluster is the store's own test).
#include "platform/db/JetTranslator.h"

#include <gtest/gtest.h>

using namespace brevant::db;

namespace {

JetSchema desktopKinds() {
    JetSchema s;
    s.setKind("Projects", "Due_Date", ColumnKind::Date);
    s.setKind("Projects", "New", ColumnKind::YesNo);
    s.setKind("Projects", "Estimated Cost", ColumnKind::Number);
    s.setKind("Projects", "Region", ColumnKind::Number);
    s.setKind("Plans", "Local", ColumnKind::YesNo);
    s.setKind("Awards", "Bid", ColumnKind::Number);
    return s;
}

constexpr TranslateOptions kPg{Dialect::PostgreSql, false};

// Spacing is the translator's own: compared with the blanks around punctuation removed.
std::string tidy(QString s) {
    return s.replace(" ,", ",")
        .replace("( ", "(")
        .replace(" )", ")")
        .replace(" (", "(")
        .toStdString();
}

std::string tidy(const char* s) {
    return tidy(QString::fromUtf8(s));
}

std::string pg(const char* jet, TranslateOptions options = kPg) {
    return tidy(
        QString::fromUtf8(translateJet(QString::fromUtf8(jet), desktopKinds(), options).sql));
}

TEST(JetTranslatorPg, NamesFoldToLowerCaseAndValuesAreNumberedParameters) {
    EXPECT_EQ(pg("Select * from [Projects] where [JOB_ID] = 7 AND [Estimated Cost] > 5"),
              tidy("Select * from \"projects\" where \"job_id\" = $1 AND \"estimated cost\" > $2"));
    const TranslatedStatement t = translateJet(
        "UPDATE Projects SET Projects.Assignment = 'A' & chr(124) & 'B', [New] = TRUE WHERE "
        "(((Projects.Job_ID)=5));",
        desktopKinds(), kPg);
    EXPECT_EQ(tidy(QString::fromUtf8(t.sql)),
              tidy("UPDATE Projects SET Assignment = $1 , \"new\" = 1 WHERE "
                   "(((Projects.Job_ID) = $2))"));
    EXPECT_EQ(t.params, QVariantList({"A|B", qlonglong(5)}));
    // A quote inside a bracketed name stays doubled.
    EXPECT_EQ(pg("Select [Say \"Hi\"] from [T]"), tidy("Select \"say \"\"hi\"\"\" from \"t\""));
}

TEST(JetTranslatorPg, JetFunctionsBecomeTheStoreFunctionsWithoutACollationOfTheirOwn) {
    EXPECT_EQ(
        pg("Select Spec FROM [Specs] where [JobID] = 3 AND left([Spec],3) <> 'ADD'"),
        tidy("Select Spec FROM \"specs\" where \"jobid\" = $1 AND jet_left(\"spec\" , $2) <> $3"));
    EXPECT_EQ(pg("SELECT Count(*) FROM Projects WHERE datepart(yyyy, Due_Date) = 1900 AND "
                 "ucase(right(City, 2)) = chr(65)"),
              tidy("SELECT Count(*) FROM Projects WHERE jet_datepart('yyyy', Due_Date) = $1 AND "
                   "upper(jet_right(City , $2)) = chr($3)"));
}

TEST(JetTranslatorPg, OrderingKeepsSqlitesPlaceForNulls) {
    EXPECT_EQ(
        pg("Select * from [Contacts] where [Job_ID] = 1 AND Type <> 'B' ORDER BY [TYPE], "
           "[NAME] DESC"),
        tidy("Select * from \"contacts\" where \"job_id\" = $1 AND Type <> $2 ORDER BY \"type\" "
             "NULLS FIRST , \"name\" DESC NULLS LAST"));
    EXPECT_EQ(pg("Select * from [Projects] Order By [Due_Date] ASC"),
              tidy("Select * from \"projects\" Order By \"due_date\" ASC NULLS FIRST"));
    // Expressions and result numbers too; a sub-query's order ends with its parenthesis.
    EXPECT_EQ(
        pg("SELECT * FROM Projects WHERE Job_ID IN (SELECT JobID FROM Plans ORDER BY "
           "left(File, 2) DESC) ORDER BY 2, Name"),
        tidy("SELECT * FROM Projects WHERE Job_ID IN (SELECT JobID FROM Plans ORDER BY "
             "jet_left(File , 2) DESC NULLS LAST) ORDER BY 2 NULLS FIRST , Name NULLS FIRST"));
    // GROUP BY is no ordering.
    EXPECT_EQ(pg("SELECT City, Count(*) FROM Projects GROUP BY City"),
              tidy("SELECT City , Count(*) FROM Projects GROUP BY City"));
}

TEST(JetTranslatorPg, NumberColumnsKeptAsTextSortNumbersFirstByValue) {
    EXPECT_EQ(pg("Select * from [Projects] Order By [Estimated Cost] DESC"),
              "Select * from \"projects\" Order By \"estimated cost\" IS NULL ASC, "
              "jet_number(\"estimated cost\") DESC NULLS FIRST, \"estimated cost\" DESC NULLS "
              "LAST");
    EXPECT_EQ(pg("Select * from [Awards] where [JobID] = 4 ORDER BY [Bid], [Name]"),
              tidy("Select * from \"awards\" where \"jobid\" = $1 ORDER BY \"bid\" IS NULL DESC, "
                   "jet_number(\"bid\") ASC NULLS LAST, \"bid\" ASC NULLS FIRST , \"name\" NULLS "
                   "FIRST"));
    EXPECT_EQ(pg("Select * from Projects p Order By p.Region asc"),
              "Select * from Projects p Order By p.Region IS NULL DESC, jet_number(p.Region) ASC "
              "NULLS LAST, p.Region ASC NULLS FIRST");
    // Only a plain column: an expression over one sorts as the expression (a number in ORDER BY
    // stays in the text: it may name a result column).
    EXPECT_EQ(pg("Select * from Projects Order By Region + 1"),
              tidy("Select * from Projects Order By Region + 1 NULLS FIRST"));
}

TEST(JetTranslatorPg, LikeMatchesWithoutCaseAndWithoutEscapes) {
    EXPECT_EQ(pg("SELECT Count(*) FROM Projects WHERE [Name] LIKE '%o''brien%'"),
              tidy("SELECT Count(*) FROM Projects WHERE \"name\" ILIKE $1 COLLATE \"default\" "
                   "ESCAPE ''"));
    EXPECT_EQ(
        pg("Select * from Projects where (Name NOT LIKE '%' & City & '%' OR City like "
           "'A%') AND Job_ID > 1 ORDER BY Name"),
        tidy("Select * from Projects where (Name NOT ILIKE $1 || City || $2 COLLATE \"default\" "
             "ESCAPE '' OR City ILIKE $3 COLLATE \"default\" ESCAPE '') AND Job_ID > $4 ORDER "
             "BY Name NULLS FIRST"));
    const TranslatedStatement t =
        translateJet("Select * from Projects where Name like '50\\%'", desktopKinds(), kPg);
    EXPECT_EQ(t.params, QVariantList({"50\\%"})); // the backslash stays an ordinary character
}

TEST(JetTranslatorPg, AddingWhatMayBeThereDoesNothingOnConflict) {
    const char* sheet =
        "INSERT INTO Plans (JobID, File, Description, [Size]) VALUES (4,'A1','D',1)";
    EXPECT_EQ(
        pg(sheet, {Dialect::PostgreSql, true}),
        tidy("INSERT INTO Plans (JobID , File , Description , \"size\") VALUES ($1 , $2 , $3 , "
             "$4) ON CONFLICT DO NOTHING"));
    EXPECT_EQ(pg(sheet),
              tidy("INSERT INTO Plans (JobID , File , Description , \"size\") VALUES ($1 "
                   ", $2 , $3 , $4)"));
    // SQLite tells a refused row by its result code; its text stays as it was.
    EXPECT_EQ(translateJet(sheet, desktopKinds(), {Dialect::Sqlite, true}).sql,
              translateJet(sheet, desktopKinds()).sql);
}

// One connection's cache sees one dialect, but a remembered shape must never answer for
// another dialect or for the other form of INSERT.
TEST(JetTranslatorPg, RememberedShapesAreKeptApartByDialectAndForm) {
    const JetSchema schema = desktopKinds();
    const QString sql = "INSERT INTO Plans (JobID, File) VALUES (4,'A1')";
    JetTranslationCache cache;
    const TranslateOptions forms[] = {
        {Dialect::Sqlite, false}, {Dialect::PostgreSql, false}, {Dialect::PostgreSql, true}};
    for (int round = 0; round < 2; ++round) {
        for (const TranslateOptions& o : forms) {
            const TranslatedStatement cached = cache.translate(sql, schema, o);
            const TranslatedStatement fresh = translateJet(sql, schema, o);
            EXPECT_EQ(cached.sql, fresh.sql) << int(o.dialect) << o.unlessDuplicate;
            EXPECT_EQ(cached.params, fresh.params);
        }
    }
}

} // namespace
