// The same projects for the same typed words whichever store holds them: one SQLite file and
// one PostgreSQL store filled alike, searched with words that carry accents, apostrophes,
// hyphens, digits, quotes and the operators of either query language. The differences kept are
// the letters PostgreSQL's unaccent spells out that SQLite keeps as they are; each is checked as
// such, so a change on either side shows.
#include "DbFixture.h"
#include "platform/db/DbError.h"
#include "platform/ui/ScriptedUi.h"
#include "store/LocalSearch.h"

#include <algorithm>
#include <unistd.h>

using namespace brevant;
using namespace brevant::store;

namespace {

using Ids = std::vector<int>;

class SearchOnBothStores : public DesktopDb {
protected:
    void SetUp() override {
        DesktopDb::SetUp();
        QString why;
        if (!pgScratch.create(&why))
            GTEST_SKIP() << why.toStdString();
        pg.open(pgScratch.locator());
    }

    void both(const QString& jet) {
        db.execute(jet);
        pg.execute(jet);
    }
    void project(int id, const QString& name, const QString& notes,
                 const QString& city = QStringLiteral("Springfield")) {
        both(QStringLiteral("INSERT INTO Projects (Job_ID, [Name], City, Notes) VALUES (%1, %2, "
                            "%3, %4)")
                 .arg(id)
                 .arg(quoted(name), quoted(city), quoted(notes)));
    }
    static QString quoted(QString s) {
        return QLatin1Char('\'') + s.replace(QLatin1Char('\''), QStringLiteral("''")) +
               QLatin1Char('\'');
    }

    static Ids find(db::Connection& c, const QString& typed) {
        auto ids = searchJobIds(c, typed);
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    void fill() {
        project(1, "École Saint-Éloi", "Façade repair – Zürich office, naïve café");
        project(2, "O'Brien Hall", "re-roof; NEAR the river AND/OR the bridge, NOT before May");
        project(3, "Mill Street \"Phase 2\"", "bid bond 10% - call Joe @ 555-1212; 3.5 acres v1.2");
        project(4, "Straße Œuvre ﬁnance", "Søren Łódź Đakovo");
        project(5, "Pump-house <b>&amp;</b>", "| !tank & (pipe) :* 'x' <-> ^mill* body:pump {job}");
        project(6, "Überlingen Müller", QStringLiteral("e\u0301glise NFD-form"), "Zürich");
        project(7, "Fire Station 4", "1e5 0x1F 2027-05-01 C++ C# .NET");
        both("INSERT INTO Contacts (Job_ID, [Name], Contact, City) VALUES "
             "(2, 'Kessler Mechanical', 'Dana Ortiz', 'Québec')");
        both("INSERT INTO Specs (JobID, Spec, Description) VALUES (3, '08710', 'Door Hardware')");
        both("INSERT INTO Awards (JobID, [Name], Contact, Comment) VALUES "
             "(7, 'Granite Builders', 'Lee', 'apparent low \"bid\"')");
        both("INSERT INTO Attachments (JobID, FileName, Path, Description) VALUES "
             "(5, 'walk.jpg', '/x/walk.jpg', 'site walk photos from tuesday')");
    }

    db::Connection pg; // closed before pgScratch drops its schema
    ui::ScopedScriptedUi ui;
};

TEST_F(SearchOnBothStores, TheSameWordsFindTheSameProjects) {
    // Half of the rows come before the index, half after: the first fill and the triggers.
    project(1, "École Saint-Éloi", "Façade repair – Zürich office, naïve café");
    ensureSearchIndex(db);
    ensureSearchIndex(pg);
    both("DELETE FROM Projects WHERE Job_ID = 1");
    fill();

    const QStringList probes = {
        // accents, either way round and in either case
        "ecole", "école", "ÉCOLE", "eco", "eloi", "saint-eloi", "saint eloi", "facade", "façade",
        "zurich", "zür", "naive", "naïve", "cafe", "café", "muller", "MÜLLER", "mül", "uberlingen",
        "eglise", "église", "quebec", "québec",
        // apostrophes, hyphens, quotes
        "o'brien", "O’Brien", "brien", "obrien", "re-roof", "reroof", "roof", "\"phase 2\"",
        "\"phase", "phase", "'x'", "nfd-form", "pump-house", "house",
        // digits
        "2", "10%", "10", "555-1212", "5551212", "555", "08710", "087", "3.5", "3", "acres", "v1.2",
        "v1", "1e5", "1e", "0x1f", "2027-05-01", "2027", "4", "station 4",
        // operators of FTS5 and of tsquery
        "NEAR", "NEAR(", "and", "AND/OR", "OR", "or bridge", "NOT", "not may", "^mill", "mill*",
        "body:pump", "body:", "{job}", "job", "<b>", "amp", "&amp;", "|tank", "!tank", "(pipe)",
        "pipe:*", "tank <-> pipe", "c++", "c#", ".net", "joe@", "@", "\"\"\"", "*",
        // every source table, several words at once
        "kessler mech", "ortiz", "hardware", "granite", "\"bid\"", "bid low", "tuesday", "walk.jpg",
        "jpg", "springfield", "springfield station", "springfield kessler", "nowhere",
        // the ligatures and stroke letters typed as they are stored
        "straße", "straß", "œuvre", "ŒUVRE", "ﬁnance", "søren", "łódź", "đakovo"};
    for (const QString& typed : probes)
        EXPECT_EQ(find(db, typed), find(pg, typed)) << qPrintable(typed);
    // The probes must find something, or equality would prove little.
    EXPECT_EQ(find(db, "ecole"), Ids({1}));
    EXPECT_EQ(find(db, "o'brien"), Ids({2}));
    EXPECT_EQ(find(db, "555-1212"), Ids({3}));
    EXPECT_EQ(find(db, "springfield"), Ids({1, 2, 3, 4, 5, 7}));
    EXPECT_EQ(find(pg, "mül"), Ids({6}));
    EXPECT_EQ(find(pg, "station 4"), Ids({7}));
    EXPECT_EQ(find(pg, "and"), Ids({2}));
    EXPECT_EQ(find(pg, "!tank"), Ids({5}));
    EXPECT_EQ(find(pg, "straß"), Ids({4}));
    EXPECT_TRUE(ui.shown().isEmpty());
}

TEST_F(SearchOnBothStores, UnaccentSpellsOutLigaturesAndStrokeLettersOnPostgreSqlOnly) {
    ensureSearchIndex(db);
    ensureSearchIndex(pg);
    fill();
    // SQLite keeps ß, œ, ﬁ, ø, ł and đ as letters of their own; PostgreSQL's unaccent writes
    // them as ss, oe, fi, o, l and d, so there the plain spelling finds them too.
    struct Kept {
        const char* typed;
        Ids onSqlite, onPostgreSql;
    };
    const Kept kept[] = {
        {"strasse", {}, {4}}, {"oeuvre", {}, {4}}, {"finance", {}, {4}},
        {"soren", {}, {4}},   {"lodz", {}, {4}},   {"dakovo", {}, {4}},
    };
    for (const Kept& k : kept) {
        EXPECT_EQ(find(db, k.typed), k.onSqlite) << k.typed;
        EXPECT_EQ(find(pg, k.typed), k.onPostgreSql) << k.typed;
    }
}

// A row whose text is longer than a tsvector can hold must still be written: the index keeps
// its first words instead of failing the project's own insert (and with it a whole merge).
TEST_F(SearchOnBothStores, AHugeTextIsStoredAndItsFirstWordsFound) {
    ensureSearchIndex(pg);
    QString notes = QStringLiteral("asbestos ");
    notes.reserve(1600000);
    for (int i = 0; notes.size() < 1500000; ++i) {
        QString word;
        for (int n = i; word.size() < 5; n /= 26)
            word += QChar(u'a' + n % 26);
        notes += QStringLiteral("q") + word + QLatin1Char(' ');
    }
    notes += QStringLiteral("trailing");
    pg.execute(QStringLiteral("INSERT INTO Projects (Job_ID, Notes) VALUES (9, '%1')").arg(notes));
    EXPECT_EQ(find(pg, "asbestos"), Ids({9}));
    EXPECT_EQ(find(pg, "qbaaa"), Ids({9}));
    EXPECT_TRUE(find(pg, "trailing").empty()); // past the indexed part
}

// A role that may not create extensions on a database without unaccent: the index cannot be
// made, and both the start and the search say why; the store itself stays usable.
TEST_F(SearchOnBothStores, WithoutUnaccentTheSearchSaysWhatIsMissing) {
    pg.close();
    const QByteArray role = "brevant_noext_" + QByteArray::number(getpid());
    const QString schema =
        pgScratch.locator().section(QStringLiteral("search_path="), 1).chopped(1);
    auto& admin = pgScratch.admin();
    admin.run(QByteArrayView("DROP EXTENSION IF EXISTS unaccent CASCADE"));
    admin.run(QByteArrayView("DROP ROLE IF EXISTS " + role));
    admin.run(QByteArrayView("CREATE ROLE " + role + " LOGIN"));
    // The store's tables were made by the fixture's first opening; the role uses them.
    for (const char* grant :
         {"GRANT USAGE, CREATE ON SCHEMA %1 TO %2", "GRANT ALL ON ALL TABLES IN SCHEMA %1 TO %2",
          "GRANT ALL ON ALL SEQUENCES IN SCHEMA %1 TO %2"})
        admin.run(QByteArrayView(
            QString::fromLatin1(grant).arg(schema, QString::fromUtf8(role)).toUtf8()));
    {
        db::Connection limited;
        limited.open(pgScratch.locator() + QStringLiteral(" user=") + QString::fromUtf8(role));
        try {
            ensureSearchIndex(limited);
            ADD_FAILURE() << "the index was made without unaccent";
        } catch (const db::DbError& e) {
            EXPECT_TRUE(e.description().contains("CREATE EXTENSION unaccent"))
                << e.description().toStdString();
        }
        limited.execute("INSERT INTO Projects (Job_ID, [Name]) VALUES (1, 'Elm School')");
        const LoadResult r = searchProjects(limited, "elm", SortState());
        EXPECT_FALSE(r.ok);
        ASSERT_EQ(ui.shown().size(), 1);
        EXPECT_TRUE(ui.shown().front().text.contains("unaccent"));
    }
    admin.run(QByteArrayView("DROP OWNED BY " + role + " CASCADE"));
    admin.run(QByteArrayView("DROP ROLE " + role));
}

} // namespace
