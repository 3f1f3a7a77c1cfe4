#include "shell/CompactAndRepair.h"

#include "base/MainWindow.h"
#include "base/modResources.h"
#include "platform/db/Compaction.h"
#include "platform/db/DataPath.h"
#include "platform/db/DbError.h"
#include "platform/ui/Ui.h"

#include <QCoreApplication>

namespace brevant::shell {

bool CompactAndRepair(const QString& dataLocation, const QString& databaseName,
                      const QString& tempName, bool showDone,
                      const StatusTextFunction& setStatusText) {
    const auto status = [&](const QString& text) {
        if (setStatusText)
            setStatusText(text);
    };
    status(QCoreApplication::translate("brevant::shell::CompactAndRepair",
                                       "Compacting Database -- Please Wait ..."));
    QString folder = dataLocation;
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    // A database restored from the temporary copy takes the name the program creates it with.
    const QString canonical = QStringLiteral("Desktop.mdb");
    const QString database = db::resolveCaseInsensitive(
        folder + QLatin1Char('/') +
        (databaseName.compare(canonical, Qt::CaseInsensitive) == 0 ? canonical : databaseName));
    const QString temp = db::resolveCaseInsensitive(folder + QLatin1Char('/') + tempName);
    try {
        db::recoverInterruptedCompaction(database, temp);
        db::compactInto(database, temp);
        db::replaceFile(temp, database);
    } catch (const db::DbError& e) {
        ui::message(
            QCoreApplication::translate("brevant::shell::CompactAndRepair",
                                        "Error with compact / repair of database - %1 %2...")
                .arg(e.number())
                .arg(e.description()),
            ui::Buttons::Ok, ui::Icon::Critical,
            QCoreApplication::translate("brevant::shell::CompactAndRepair", "System Error"));
        status(QString());
        return false;
    } catch (const std::exception& e) {
        ui::message(
            QCoreApplication::translate("brevant::shell::CompactAndRepair",
                                        "Error with compact / repair of database - %1 %2...")
                .arg(db::errors::Unspecified)
                .arg(QString::fromLocal8Bit(e.what())),
            ui::Buttons::Ok, ui::Icon::Critical,
            QCoreApplication::translate("brevant::shell::CompactAndRepair", "System Error"));
        status(QString());
        return false;
    }
    if (showDone)
        ui::message(
            QCoreApplication::translate("brevant::shell::CompactAndRepair",
                                        "Compact and Repair complete ..."),
            ui::Buttons::Ok, ui::Icon::Exclamation,
            QCoreApplication::translate("brevant::shell::CompactAndRepair", "System Error"));
    status(QString());
    return true;
}

bool CompactAndRepair(const QString& databaseName, const QString& tempName, bool showDone) {
    return CompactAndRepair(modResources::DataLocation, databaseName, tempName, showDone,
                            [](const QString& text) { base::SetStatusText(text); });
}

} // namespace brevant::shell
