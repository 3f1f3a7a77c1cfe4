#pragma once
// Start-up and shutdown steps of the client that need no window: reading the start-up
// settings, opening (and on the first run creating) Desktop.mdb, the update reminder, and
// saving the list layout and closing the database at the end.
#include <QDate>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

namespace brevant::shell {

// Reads CACHELOC, DATALOC, FIRSTDOWN, PROXY (+ PROXYURL / PROXYPORT), MESSAGE and, only when
// the reminder is on, LASTUPDATE into the process-wide state.
void LoadSettings();

// The default database folder: the program folder + "/Work".
QString DefaultDataLocation();

// What an installer did: when the program folder holds no Work/Desktop.mdb, creates it with the
// empty schema. Returns true when a database was created.
bool EnsureDefaultDatabase();

// LoadSettings, then opens the chosen store (base::ChosenStore). This computer's store is
// Desktop.mdb in DataLocation, falling back (with its message) to the program folder's Work
// folder and storing that as DATALOC when the file is not there. A store chosen in Preferences
// (STORE) that cannot be opened is said so, with what failed, and offers Retry, Preferences
// (openPreferences, when given; the choice is read again after it) and Cancel, which abandons
// the start-up (StartupAbandoned()): it never falls back to this computer's file. An empty
// PostgreSQL database gets the tables on this first open. Creates the shared recordset. A
// failure shows "Error initializing application: " + number + " - " + description and returns
// false; what was set up until then stays.
bool InitializeApplication(const std::function<void()>& openPreferences = {});
// True when the last InitializeApplication ended because the user chose not to go on without
// the chosen store: the program closes.
bool StartupAbandoned();

// Whether the update reminder is due: the reminder is on, the last update is later than
// 01/01/1970, and more than messageDays day boundaries lie between it and today.
bool ReminderDue(bool showReminder, const QDate& lastUpdate, const QDate& today, int messageDays);
// "Your last update was performed on " + date + " - Be sure to update ...".
QString ReminderText(const QDate& lastUpdate);
// Reads MESSAGEDAYS and shows the reminder when it is due. Returns true when it was shown.
bool ShowUpdateReminder(const QDate& today = QDate::currentDate());

// One list column's caption and width in twips, as the shutdown stores it.
using ColumnWidth = std::pair<QString, int>;
// Stores every column width under its caption, then ATTACHLIST. Failures are ignored.
void SaveListLayout(const std::vector<ColumnWidth>& columns, int attachViewMode);

// Closes and releases the shared recordset and the connection. Failures are ignored.
void CloseDatabase();

// Compacts Desktop.mdb (closed) in DataLocation through "#db1.mdb", reporting progress in the
// status bar; a failure is reported by the compaction itself. Nothing happens when another
// store than this computer's file is chosen (a server maintains its own database).
void CompactDesktopDatabase();

} // namespace brevant::shell
