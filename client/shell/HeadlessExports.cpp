#include "shell/HeadlessExports.h"

#include "base/Settings.h"
#include "base/modResources.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/ui/TerminalText.h"
#include "reports/BidCalendar.h"
#include "shell/HeadlessUpdateCheck.h"
#include "shell/Startup.h"
#include "store/ProjectList.h"
#include "store/ProjectListCsv.h"

#include <QDateTime>

namespace brevant::shell {

namespace {

// Opens the program's database as the window's start-up does; closed again on scope exit.
class OpenDatabase {
public:
    OpenDatabase() : ok_(InitializeApplication()) {}
    ~OpenDatabase() { modResources::CloseDatabase(); }
    OpenDatabase(const OpenDatabase&) = delete;
    OpenDatabase& operator=(const OpenDatabase&) = delete;
    bool ok() const {
        return ok_ && modResources::DbConnection && modResources::DbConnection->isOpen();
    }

private:
    bool ok_;
};

int writeOrFail(const QString& path, const QByteArray& data, QTextStream& err) {
    QString error;
    if (store::WriteFileAtomically(path, data, &error))
        return 0;
    err << path << ": " << error << Qt::endl;
    return 1;
}

} // namespace

std::optional<std::vector<int>> ParseJobList(const QString& text) {
    const auto ids = shell::parseJobList(text);
    if (!ids)
        return std::nullopt;
    std::vector<int> out;
    for (const int id : *ids) {
        if (id <= 0)
            return std::nullopt; // no project has such a number
        out.push_back(id);
    }
    return out;
}

int ExportCalendarCommand(const QString& path, const std::vector<int>& jobIds, QTextStream& out,
                          QTextStream& err) {
    OpenDatabase db;
    if (!db.ok()) {
        err << "The project database could not be opened." << Qt::endl;
        return 1;
    }
    try {
        auto& conn = *modResources::DbConnection;
        const std::vector<int> ids = jobIds.empty() ? reports::TrackedJobIds(conn) : jobIds;
        if (ids.empty()) {
            // An empty calendar would replace the user's shared one without a word.
            err << "No projects are tagged, so there is nothing to put in the bid calendar."
                << Qt::endl;
            return 1;
        }
        const reports::BidCalendar calendar = reports::MakeBidCalendar(
            conn, ids, ReminderDaysSetting(), QDateTime::currentDateTimeUtc());
        if (writeOrFail(path, calendar.text, err) != 0)
            return 1;
        out << reports::BidCalendarSummary(calendar, path) << Qt::endl;
        return 0;
    } catch (const db::DbError& e) {
        err << e.number() << ' ' << ui::escapeForTerminal(e.description()) << Qt::endl;
        return 1;
    }
}

int ExportListCommand(const QString& path, const QString& filter, QTextStream& out,
                      QTextStream& err) {
    const QString name = filter.trimmed().toUpper();
    if (!QStringList{"ALL", "NEW", "TRACK", "VIEW"}.contains(name)) {
        err << "Unknown filter \"" << filter << "\": use ALL, NEW, TRACK or VIEW." << Qt::endl;
        return 1;
    }
    OpenDatabase db;
    if (!db.ok()) {
        err << "The project database could not be opened." << Qt::endl;
        return 1;
    }
    const store::LoadResult rows = store::loadProjects(
        *modResources::DbConnection, store::filterFromName(name), store::SortState());
    if (!rows.ok)
        return 1; // the load error was shown through the Ui
    QByteArray csv;
    try {
        csv =
            store::ProjectListCsv(rows.rows, store::ReadSheetDetails(*modResources::DbConnection));
    } catch (const db::DbError& e) {
        err << e.number() << ' ' << ui::escapeForTerminal(e.description()) << Qt::endl;
        return 1;
    }
    if (writeOrFail(path, csv, err) != 0)
        return 1;
    out << rows.rows.size() << " project(s) were written to " << path << Qt::endl;
    return 0;
}

} // namespace brevant::shell
