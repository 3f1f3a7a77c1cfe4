#pragma once
// Notes on a store that several estimators share. The window saves as the user types; each save
// first checks, under the project's lock, that the stored notes are still the ones the window
// last loaded or wrote. When another estimator changed them meanwhile nothing is written: the
// window shows both versions and the user chooses, and the version not chosen is kept in the
// project's change history, so nothing is lost either way.
#include <QDateTime>
#include <QString>

namespace brevant::db {
class Connection;
}

namespace brevant::store {

struct NotesSave {
    enum class Outcome {
        Saved,    // written (or already equal)
        Conflict, // another estimator changed them: theirs holds the stored text
        Gone,     // the project is no longer stored
    };
    Outcome outcome = Outcome::Saved;
    QString theirs;
};

// Writes mine when the stored notes are exactly base (compared as written, case included).
// Throws db::DbError when the store fails.
NotesSave saveNotesIfUnchanged(db::Connection& connection, int jobId, const QString& base,
                               const QString& mine);

// What the user chose in a conflict.
enum class NotesChoice { Mine, Theirs, Both };

// The notes a choice keeps: Both is theirs, a separating line, then mine.
QString chosenNotes(NotesChoice choice, const QString& mine, const QString& theirs);

// Writes the chosen notes whatever is stored now, and records in the project's change history
// ("Notes", the version left out, the version kept) what the choice set aside. Returns the
// notes written (the window's new base). Throws db::DbError.
QString resolveNotesConflict(db::Connection& connection, int jobId, NotesChoice choice,
                             const QString& mine, const QString& theirs, const QDateTime& now);

} // namespace brevant::store
