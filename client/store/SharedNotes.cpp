#include "store/SharedNotes.h"

#include "platform/db/Connection.h"
#include "platform/db/DesktopSchema.h"
#include "platform/db/ProjectUnit.h"
#include "platform/db/Recordset.h"
#include "store/ProjectList.h"

#include <QCoreApplication>
#include <optional>

namespace brevant::store {

namespace {

// The stored notes (Null as empty), nullopt when the project is not stored.
std::optional<QString> storedNotes(db::Connection& c, int jobId) {
    db::Recordset rs;
    rs.open(QStringLiteral("Select [Notes] from [Projects] where [Job_ID] = ") +
                QString::number(jobId),
            c);
    if (rs.eof())
        return std::nullopt;
    return rs.field(0).toString();
}

QString literal(const QString& text) {
    QString t = text;
    t.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + t + QLatin1Char('\'');
}

} // namespace

NotesSave saveNotesIfUnchanged(db::Connection& connection, int jobId, const QString& base,
                               const QString& mine) {
    NotesSave out;
    db::runProjectUnit(connection, jobId, [&] {
        out = NotesSave{};
        const std::optional<QString> stored = storedNotes(connection, jobId);
        if (!stored) {
            out.outcome = NotesSave::Outcome::Gone;
            return;
        }
        // Compared here, not in SQL: the store compares text without regard to case, and a
        // change of case by another estimator is a change all the same.
        if (*stored == mine)
            return;
        if (*stored != base) {
            out.outcome = NotesSave::Outcome::Conflict;
            out.theirs = *stored;
            return;
        }
        connection.execute(saveNotesSql(jobId, mine));
    });
    return out;
}

QString chosenNotes(NotesChoice choice, const QString& mine, const QString& theirs) {
    switch (choice) {
    case NotesChoice::Mine:
        return mine;
    case NotesChoice::Theirs:
        return theirs;
    case NotesChoice::Both:
        break;
    }
    return theirs + QStringLiteral("\n--------\n") + mine;
}

QString resolveNotesConflict(db::Connection& connection, int jobId, NotesChoice choice,
                             const QString& mine, const QString& theirs, const QDateTime& now) {
    db::upgradeDesktopSchema(connection);
    const QString kept = chosenNotes(choice, mine, theirs);
    QString setAside;
    if (choice == NotesChoice::Mine)
        setAside = theirs;
    else if (choice == NotesChoice::Theirs)
        setAside = mine;
    db::runProjectUnit(connection, jobId, [&] {
        connection.execute(saveNotesSql(jobId, kept));
        if (choice != NotesChoice::Both)
            connection.execute(
                QStringLiteral("INSERT INTO Change_History (JobID, Found, What, Old_Value, "
                               "New_Value, Found_By) VALUES (") +
                QString::number(jobId) + QLatin1Char(',') +
                literal(now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))) + QLatin1Char(',') +
                literal(QCoreApplication::translate("brevant::store::SharedNotes", "Notes")) +
                QLatin1Char(',') + literal(setAside) + QLatin1Char(',') + literal(kept) +
                QLatin1Char(',') + literal(connection.estimator()) + QLatin1Char(')'));
    });
    return kept;
}

} // namespace brevant::store
