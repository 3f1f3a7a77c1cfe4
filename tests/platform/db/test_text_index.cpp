// The text index as platform/db offers it, on both engines, apart from the project search that
// the client's tests cover: another table set, rows without a key, rows that are alike.
#include "DbFixture.h"

#include "platform/db/TextIndex.h"
#include "platform/db/sqlite/SqliteTextIndex.h"

#include <algorithm>

using namespace brevant;

namespace {

const db::TextIndex kSpecIndex{QStringLiteral("Spec_Words"),
                               {{QStringLiteral("Specs"),
                                 QStringLiteral("JobID"),
                                 {QStringLiteral("Spec"), QStringLiteral("Description")}}}};

class TextIndexTest : public BothEngines {
protected:
    std::vector<qint64> find(const QStringList& words) {
        auto keys = db::searchTextIndex(this->db, kSpecIndex, words);
        std::sort(keys.begin(), keys.end());
        return keys;
    }
};

using Keys = std::vector<qint64>;

TEST_P(TextIndexTest, RowsWithoutAKeyAreNeverFoundAndAlikeRowsGoOneByOne) {
    db.execute("INSERT INTO Specs (JobID, Spec, Description) VALUES (1, '09900', 'Painting')");
    db.execute("INSERT INTO Specs (JobID, Spec, Description) VALUES (Null, '09910', 'Painting')");
    db::ensureTextIndex(db, kSpecIndex);
    EXPECT_EQ(find({"painting"}), Keys({1}));
    EXPECT_TRUE(find({}).empty());

    // Two rows with the same text: deleting one keeps the other found.
    db.execute("INSERT INTO Specs (JobID, Spec, Description) VALUES (2, '09900', 'Painting')");
    db.execute("INSERT INTO Specs (JobID, Spec, Description) VALUES (2, '09900', 'Painting')");
    db.execute("INSERT INTO Specs (JobID, Spec, Description) VALUES (2, '09950', 'Coatings')");
    EXPECT_EQ(db.execute("DELETE FROM Specs WHERE JobID = 2 AND Spec = '09950'"), 1);
    EXPECT_EQ(find({"painting"}), Keys({1, 2}));
    EXPECT_TRUE(find({"coatings"}).empty());
    db.execute("UPDATE Specs SET Description = 'Wall Coverings' WHERE JobID = 1");
    EXPECT_EQ(find({"painting"}), Keys({2}));
    EXPECT_EQ(find({"wall", "cov"}), Keys({1}));
    // A key given later makes the row findable; a key taken away hides it.
    db.execute("UPDATE Specs SET JobID = 3 WHERE Spec = '09910'");
    db.execute("UPDATE Specs SET JobID = Null WHERE JobID = 1");
    EXPECT_EQ(find({"painting"}), Keys({2, 3}));
    EXPECT_TRUE(find({"wall"}).empty());
    db::ensureTextIndex(db, kSpecIndex); // in step: nothing to rebuild, nothing lost
    EXPECT_EQ(find({"painting"}), Keys({2, 3}));
}

BREVANT_ON_BOTH_ENGINES(TextIndexTest);

TEST(Fts5Expression, QuotesEveryWordAsAPrefixTerm) {
    using db::sqlite::fts5MatchExpression;
    EXPECT_EQ(fts5MatchExpression({"elm", "sch"}), "\"elm\"* \"sch\"*");
    EXPECT_EQ(fts5MatchExpression({"say", "\"hi\""}), "\"say\"* \"\"\"hi\"\"\"*");
    EXPECT_EQ(fts5MatchExpression({}), "");
}

} // namespace
