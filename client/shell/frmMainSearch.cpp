// The main window's local search box above the project list and the two exports of the File
// menu (bid calendar, project list as a spreadsheet file). The index, the calendar and the CSV
// are the store's and the reports'.
#include "shell/frmMain.h"

#include "base/Settings.h"
#include "base/modResources.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/ui/Ui.h"
#include "reports/BidCalendar.h"
#include "store/LocalSearch.h"
#include "store/ProjectListCsv.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace brevant::shell {

namespace {

constexpr int TagRole = Qt::UserRole; // the row's Job_ID

void systemMessage(const QString& text) {
    ui::message(text, ui::Buttons::Ok, ui::Icon::Information,
                QCoreApplication::translate("brevant::shell::frmMain", "System Message"));
}

void systemError(const QString& text) {
    ui::message(text, ui::Buttons::Ok, ui::Icon::Exclamation,
                QCoreApplication::translate("brevant::shell::frmMain", "System Error"));
}

} // namespace

QWidget* frmMain::buildSearchPane() {
    auto* pane = new QWidget(this);
    txtSearch = new QLineEdit(pane);
    txtSearch->setObjectName(QStringLiteral("txtSearch"));
    txtSearch->setPlaceholderText(tr("Search local projects (Ctrl+F)"));
    txtSearch->setClearButtonEnabled(true);
    connect(txtSearch, &QLineEdit::textChanged, this, [this] { txtSearch_Change(); });
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        txtSearch->setFocus(Qt::ShortcutFocusReason);
        txtSearch->selectAll();
    });
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(txtSearch);
    layout->addWidget(buildFirstStep());
    layout->addWidget(ListView1, 1);
    return pane;
}

QString frmMain::searchText() const {
    return txtSearch ? txtSearch->text().trimmed() : QString();
}

void frmMain::txtSearch_Change() {
    searchWords_ = store::searchWords(searchText());
    LoadProjects(currentFilter(), true);
}

void frmMain::clearSearch() {
    if (!txtSearch)
        return;
    const QSignalBlocker block(txtSearch);
    txtSearch->clear();
    searchWords_.clear();
}

void frmMain::mnuFileExportCalendar_Click() {
    if (!modResources::DbConnection || !modResources::DbConnection->isOpen())
        return;
    std::vector<int> ids = checkedJobIds();
    try {
        if (ids.empty())
            ids = reports::TrackedJobIds(*modResources::DbConnection);
        if (ids.empty()) {
            systemMessage(tr("No projects are checked or tagged, so there is nothing "
                             "to put in the bid calendar ..."));
            return;
        }
        const QString path = ui::current().saveFile(
            tr("Export Bid Calendar"), QDir::home().filePath(QStringLiteral("bid-calendar.ics")),
            tr("iCalendar files (*.ics);;All files (*)"));
        if (path.isEmpty())
            return;
        const reports::BidCalendar calendar =
            reports::MakeBidCalendar(*modResources::DbConnection, ids, ReminderDaysSetting(),
                                     QDateTime::currentDateTimeUtc());
        QString error;
        if (!store::WriteFileAtomically(path, calendar.text, &error)) {
            systemError(tr("The bid calendar could not be written to %1: %2 ...").arg(path, error));
            return;
        }
        systemMessage(reports::BidCalendarSummary(calendar, path));
    } catch (const db::DbError& e) {
        systemError(QStringLiteral("%1 %2").arg(e.number()).arg(e.description()));
    }
}

void frmMain::mnuFileExportList_Click() {
    std::vector<store::ProjectRow> rows;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = ListView1->topLevelItem(i);
        store::ProjectRow row;
        row.jobId = item->data(0, TagRole).toInt();
        row.dateText = item->text(0);
        row.name = item->text(1);
        row.assignment = item->text(2);
        rows.push_back(row);
    }
    const QString path = ui::current().saveFile(
        tr("Export Project List"), QDir::home().filePath(QStringLiteral("projects.csv")),
        tr("CSV files (*.csv);;All files (*)"));
    if (path.isEmpty())
        return;
    QByteArray csv;
    try {
        csv = store::ProjectListCsv(rows, store::ReadSheetDetails(*modResources::DbConnection));
    } catch (const db::DbError& e) {
        systemError(QStringLiteral("%1 %2").arg(e.number()).arg(e.description()));
        return;
    }
    QString error;
    if (!store::WriteFileAtomically(path, csv, &error)) {
        systemError(tr("The project list could not be written to %1: %2 ...").arg(path, error));
        return;
    }
    systemMessage(tr("%1 project(s) were written to %2 ...").arg(rows.size()).arg(path));
}

} // namespace brevant::shell
