// Notes on a shared store: a save that finds the notes changed by another estimator writes
// nothing and hands back theirs; the choice that follows keeps what it sets aside in the
// project's history.
#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "platform/db/Recordset.h"
#include "store/SharedNotes.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace brevant::store {
namespace {

class SharedNotesTest : public ::testing::Test {
protected:
    void SetUp() override {
        file = dir.filePath("Desktop.mdb");
        db::createDesktopDatabase(file);
        mine.open(file);
        theirs.open(file);
        mine.execute("INSERT INTO Projects (Job_ID, [Name], Notes) VALUES (7, 'SCHOOL', "
                     "'call the owner')");
    }
    QString stored(db::Connection& c) {
        db::Recordset rs;
        rs.open("Select Notes from Projects where Job_ID = 7", c);
        return rs.eof() ? QString("<gone>") : rs.field(0).toString();
    }
    QStringList history() {
        db::Recordset rs;
        rs.open("Select What, Old_Value, New_Value from Change_History where JobID = 7 "
                "ORDER BY Change_ID",
                mine);
        QStringList out;
        for (; !rs.eof(); rs.moveNext())
            out << rs.field(0).toString() + "|" + rs.field(1).toString() + "|" +
                       rs.field(2).toString();
        return out;
    }

    QTemporaryDir dir;
    QString file;
    db::Connection mine, theirs;
    const QDateTime now{QDate(2027, 1, 4), QTime(9, 30)};
};

TEST_F(SharedNotesTest, SavesOverWhatWasLoadedAndNeverOverAnotherEstimatorsChange) {
    NotesSave s = saveNotesIfUnchanged(mine, 7, "call the owner", "call the owner today");
    EXPECT_EQ(s.outcome, NotesSave::Outcome::Saved);
    EXPECT_EQ(stored(theirs), "call the owner today");
    // The other estimator's window still holds the first text; its save is refused.
    s = saveNotesIfUnchanged(theirs, 7, "call the owner", "bid bond ready");
    EXPECT_EQ(s.outcome, NotesSave::Outcome::Conflict);
    EXPECT_EQ(s.theirs, "call the owner today");
    EXPECT_EQ(stored(mine), "call the owner today");
    // A change of case alone is a change too (the store compares text without case).
    saveNotesIfUnchanged(mine, 7, "call the owner today", "CALL THE OWNER TODAY");
    EXPECT_EQ(saveNotesIfUnchanged(theirs, 7, "call the owner today", "x").outcome,
              NotesSave::Outcome::Conflict);
    // Writing what is stored already is no conflict, whatever was loaded.
    EXPECT_EQ(saveNotesIfUnchanged(theirs, 7, "old", "CALL THE OWNER TODAY").outcome,
              NotesSave::Outcome::Saved);
    mine.execute("Delete from Projects where Job_ID = 7");
    EXPECT_EQ(saveNotesIfUnchanged(mine, 7, "", "x").outcome, NotesSave::Outcome::Gone);
}

TEST_F(SharedNotesTest, EveryChoiceKeepsWhatItSetsAside) {
    EXPECT_EQ(resolveNotesConflict(mine, 7, NotesChoice::Mine, "mine", "theirs", now), "mine");
    EXPECT_EQ(stored(theirs), "mine");
    EXPECT_EQ(resolveNotesConflict(mine, 7, NotesChoice::Theirs, "mine 2", "theirs 2", now),
              "theirs 2");
    EXPECT_EQ(stored(theirs), "theirs 2");
    EXPECT_EQ(history(), (QStringList{"Notes|theirs|mine", "Notes|mine 2|theirs 2"}));
    const QString both = resolveNotesConflict(mine, 7, NotesChoice::Both, "b", "a", now);
    EXPECT_EQ(both, "a\n--------\nb");
    EXPECT_EQ(stored(theirs), both);
    EXPECT_EQ(history().size(), 2); // both kept: nothing set aside
}

} // namespace
} // namespace brevant::store
