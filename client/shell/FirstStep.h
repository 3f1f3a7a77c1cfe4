#pragma once
// The first step shown in the main window while the project database is empty: setting the
// service's address in Preferences when none was ever stored, else finding projects.
#include <QString>

namespace brevant::db {
class Connection;
}

namespace brevant::shell {

enum class FirstStep { None, SetServer, FindProjects };

// None while projects are stored; else SetServer when no SERVERADDR is stored (the built-in
// 127.0.0.1 is only the local stand-in), else FindProjects.
FirstStep NextFirstStep(long projectCount, const QString& storedServerAddress);
// The same from the database and the settings; None when the database cannot be read (its
// own message says why).
FirstStep CurrentFirstStep(db::Connection& connection);

// What the hint says and what its button is called.
QString FirstStepText(FirstStep step);
QString FirstStepButton(FirstStep step);

} // namespace brevant::shell
