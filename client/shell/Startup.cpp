#include "shell/Startup.h"

#include "base/ChosenStore.h"
#include "base/ProgramFolders.h"
#include "base/Settings.h"
#include "base/Workstation.h"
#include "base/modResources.h"
#include "platform/db/Compaction.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/DesktopSchema.h"
#include "platform/db/Recordset.h"
#include "platform/db/StoreCheck.h"
#include "platform/ui/Ui.h"
#include "reports/ReportFormat.h"
#include "shell/CompactAndRepair.h"
#include "shell/StoreChoice.h"
#include "store/LocalSearch.h"

#include <QCoreApplication>
#include <harlix/ComError.h>

#include <QDir>
#include <QFileInfo>
#include <functional>

namespace brevant::shell {

namespace {

bool toBool(const QString& text) {
    // Settings hold "1"/"0"; "True"/"False" (and any other number) are read the same way.
    const QString t = text.trimmed();
    if (t.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0)
        return true;
    bool ok = false;
    const double n = t.toDouble(&ok);
    return ok && n != 0;
}

QDate toDate(const QString& text) {
    const QString t = text.trimmed();
    for (const char* format : {"M/d/yyyy", "M/d/yy", "yyyy-MM-dd"}) {
        QDate d = QDate::fromString(t, QLatin1String(format));
        if (d.isValid()) {
            if (d.year() < 1930 && QLatin1String(format) == QLatin1String("M/d/yy"))
                d = d.addYears(100);
            return d;
        }
    }
    return QDate::fromString(t.left(10), Qt::ISODate);
}

QString connectionString(const QString& folder) {
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + folder +
           QStringLiteral("\\Desktop.mdb;Persist Security Info=False");
}

bool hasDatabase(const QString& folder) {
    // The name is looked up without regard to case, as the file system of old did.
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return false;
    const QStringList found = dir.entryList({QStringLiteral("Desktop.mdb")}, QDir::Files);
    return !found.isEmpty();
}

// A compaction killed after its checked copy was written but before the rename leaves only
// "#db1.mdb". Bring it back before deciding that the folder holds no database: otherwise the
// first-run step would create an empty database beside it and the next shutdown would remove
// the copy as a stale leftover.
void recoverLeftoverCompaction(const QString& folder) {
    if (folder.isEmpty() || hasDatabase(folder))
        return;
    const QString temp = folder + QStringLiteral("/#db1.mdb");
    if (!QFileInfo::exists(temp))
        return;
    try {
        db::recoverInterruptedCompaction(folder + QStringLiteral("/Desktop.mdb"), temp);
    } catch (const std::exception&) {
        // A copy that does not check out stays where it is; the usual start-up goes on.
    }
}

bool startupAbandoned = false;

enum class ChosenStoreOpening { Opened, ThisComputer, Quit };

// Opens the store STORE names. A store that cannot be opened is said so, with what the check
// found, and the user retries, changes Preferences (then the choice is read again) or quits: a
// firm's projects never silently give way to an empty file on this computer.
ChosenStoreOpening openChosenStore(db::Connection& connection,
                                   const std::function<void()>& openPreferences) {
    for (;;) {
        if (base::ChosenStoreIsThisComputer())
            return ChosenStoreOpening::ThisComputer;
        const db::StoreLocator locator = base::ChosenStore();
        QString failure;
        try {
            connection.open(locator);
            // The firm store shows this workstation's document cache, not another's.
            connection.setWorkstation(base::WorkstationId());
            return ChosenStoreOpening::Opened;
        } catch (const db::DbError& e) {
            failure = e.description();
        }
        const db::StoreCheck check = db::checkStore(locator);
        const QString why = check.usable() ? failure : storeCheckText(check);
        const QString text =
            QCoreApplication::translate("brevant::shell::Startup",
                                        "The project store cannot be opened:\n%1\n\n%2")
                .arg(locator.describe(), why);
        const QString title =
            QCoreApplication::translate("brevant::shell::Startup", "System Error");
        const ui::Answer answer =
            openPreferences
                ? ui::current().messageWithAction(
                      text, ui::Buttons::RetryCancel, ui::Icon::Exclamation, title,
                      QCoreApplication::translate("brevant::shell::Startup", "&Preferences..."))
                : ui::message(text, ui::Buttons::RetryCancel, ui::Icon::Exclamation, title);
        if (answer == ui::Answer::Action)
            openPreferences();
        else if (answer != ui::Answer::Retry)
            return ChosenStoreOpening::Quit;
    }
}

} // namespace

QString DefaultDataLocation() {
    return base::DefaultStoreFolder();
}

void LoadSettings() {
    using namespace modResources;
    CacheLocation = ReadSetting(QStringLiteral("CACHELOC"), base::ProgramFolder());
    DataLocation = base::StoreFolder();
    FirstDown = toBool(ReadSetting(QStringLiteral("FIRSTDOWN"), QStringLiteral("0")));
    ProxyOn = toBool(ReadSetting(QStringLiteral("PROXY"), QStringLiteral("0")));
    if (ProxyOn) {
        HttpProxy.server = ReadSetting(QStringLiteral("PROXYURL"), QString());
        bool ok = false;
        const int port = ReadSetting(QStringLiteral("PROXYPORT"), QStringLiteral("80")).toInt(&ok);
        HttpProxy.port = ok ? port : 80;
    } else {
        HttpProxy.server.clear();
        HttpProxy.port = 80;
    }
    ShowReminder = toBool(ReadSetting(QStringLiteral("MESSAGE"), QStringLiteral("1")));
    if (ShowReminder)
        LastUpdate =
            toDate(ReadSetting(QStringLiteral("LASTUPDATE"), QStringLiteral("01/01/1970")));
    else
        LastUpdate = QDate();
}

bool EnsureDefaultDatabase() {
    const QString folder = DefaultDataLocation();
    recoverLeftoverCompaction(folder);
    if (hasDatabase(folder))
        return false;
    QDir().mkpath(folder);
    db::createDesktopDatabase(folder + QStringLiteral("/Desktop.mdb"));
    return true;
}

bool StartupAbandoned() {
    return startupAbandoned;
}

bool InitializeApplication(const std::function<void()>& openPreferences) {
    using namespace modResources;
    startupAbandoned = false;
    try {
        LoadSettings();
        DocumentsSelected = false;
        EnsureDefaultDatabase();

        if (DbRecordset)
            DbRecordset->close();
        if (DbConnection)
            DbConnection->close();
        DbConnection = std::make_unique<db::Connection>();
        const ChosenStoreOpening chosen = openChosenStore(*DbConnection, openPreferences);
        if (chosen == ChosenStoreOpening::Quit) {
            startupAbandoned = true;
            if (!DbRecordset)
                DbRecordset = std::make_unique<db::Recordset>();
            return false;
        }
        // Preferences may have changed the data folder on the way.
        if (chosen == ChosenStoreOpening::ThisComputer)
            DataLocation = ReadSetting(QStringLiteral("DATALOC"), DefaultDataLocation());
        recoverLeftoverCompaction(DataLocation);
        if (chosen == ChosenStoreOpening::Opened) {
            // The firm's store is open; the folder's file plays no part.
        } else if (hasDatabase(DataLocation)) {
            DbConnection->open(connectionString(DataLocation));
        } else {
            ui::message(
                QCoreApplication::translate("brevant::shell::Startup",
                                            "Database not found, using default location.  Go to "
                                            "Options-> Program Preferences and verify the database "
                                            "location."),
                ui::Buttons::Ok, ui::Icon::Information,
                QCoreApplication::translate("brevant::shell::Startup", "System Message"));
            DataLocation = DefaultDataLocation();
            DbConnection->open(connectionString(DataLocation));
            WriteSetting(QStringLiteral("DATALOC"), DataLocation);
        }
        try {
            // Databases made by earlier versions get the tables added since.
            db::upgradeDesktopSchema(*DbConnection);
        } catch (const db::DbError&) {
            // A database that cannot be written still opens; the update merge reports it.
        }
        DbRecordset = std::make_unique<db::Recordset>();
        try {
            store::ensureSearchIndex(*DbConnection);
        } catch (const db::DbError&) {
            // The local search then reports its own error; the program works without it.
        }
        return true;
    } catch (const db::DbError& e) {
        ui::message(QCoreApplication::translate("brevant::shell::Startup",
                                                "Error initializing application: %1 - %2")
                        .arg(e.number())
                        .arg(e.description()),
                    ui::Buttons::Ok, ui::Icon::Exclamation,
                    QCoreApplication::translate("brevant::shell::Startup", "System Error"));
    } catch (const harlix::ComError& e) {
        ui::message(QCoreApplication::translate("brevant::shell::Startup",
                                                "Error initializing application: %1 - %2")
                        .arg(static_cast<long>(e.number()))
                        .arg(QString::fromStdString(e.description())),
                    ui::Buttons::Ok, ui::Icon::Exclamation,
                    QCoreApplication::translate("brevant::shell::Startup", "System Error"));
    } catch (const std::exception& e) {
        ui::message(QCoreApplication::translate("brevant::shell::Startup",
                                                "Error initializing application: %1 - %2")
                        .arg(-1)
                        .arg(QString::fromLocal8Bit(e.what())),
                    ui::Buttons::Ok, ui::Icon::Exclamation,
                    QCoreApplication::translate("brevant::shell::Startup", "System Error"));
    }
    // Later commands fail in their own way; the recordset must exist for them to do so.
    if (!DbRecordset)
        DbRecordset = std::make_unique<db::Recordset>();
    return false;
}

bool ReminderDue(bool showReminder, const QDate& lastUpdate, const QDate& today, int messageDays) {
    if (!showReminder || !lastUpdate.isValid() || lastUpdate <= QDate(1970, 1, 1))
        return false;
    return lastUpdate.daysTo(today) > messageDays;
}

QString ReminderText(const QDate& lastUpdate) {
    // The date as the reports show a date value: the locale's short form ("3/5/2026").
    return QCoreApplication::translate(
               "brevant::shell::Startup",
               "Your last update was performed on %1 - Be sure to update projects in order to get "
               "updated information and addenda ...")
        .arg(reports::DefaultDateText(lastUpdate.startOfDay()));
}

bool ShowUpdateReminder(const QDate& today) {
    const int days = ReminderDaysSetting();
    if (!ReminderDue(modResources::ShowReminder, modResources::LastUpdate, today, days))
        return false;
    ui::message(ReminderText(modResources::LastUpdate), ui::Buttons::Ok, ui::Icon::Information,
                QCoreApplication::translate("brevant::shell::Startup", "System Message"));
    return true;
}

void SaveListLayout(const std::vector<ColumnWidth>& columns, int attachViewMode) {
    for (const auto& [caption, twips] : columns) {
        try {
            WriteSetting(caption, QString::number(twips));
        } catch (...) {
        }
    }
    try {
        WriteSetting(QStringLiteral("ATTACHLIST"), QString::number(attachViewMode));
    } catch (...) {
    }
}

void CloseDatabase() {
    modResources::CloseDatabase();
}

void CompactDesktopDatabase() {
    // Only this computer's file is compacted; a server keeps its own database in order.
    if (!base::ChosenStoreIsThisComputer())
        return;
    CompactAndRepair(QStringLiteral("desktop.mdb"), QStringLiteral("#db1.mdb"), false);
}

} // namespace brevant::shell
