#pragma once
// What the user is told when the connection to the firm's store broke while one of his changes
// to a project was on its way. The change may have been committed just before the break or not
// at all; the program cannot know which and never sends it again (it could be stored twice).
// It reads the project again (the next use of the store opens a new session) and says, naming
// the project, what the store holds now.
#include <QList>
#include <QString>

namespace brevant::db {
class Connection;
class DbError;
} // namespace brevant::db

namespace brevant::store {

// The text for a lost connection during work on the projects (each named by its number and
// name as the store now holds it, or said to be absent). When the store cannot be read again
// the text says so too, with the reason.
QString lostUnitText(db::Connection& connection, const QList<int>& jobIds);

// The text for any failure of work on the projects: lostUnitText for a lost connection, the
// number and description otherwise.
QString storeFailureText(db::Connection& connection, const db::DbError& error,
                         const QList<int>& jobIds);

} // namespace brevant::store
