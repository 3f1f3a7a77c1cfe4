// The main window's output commands: the print buttons under the detail tabs, the list menu's
// (and toolbar's) full report, the project copy and e-mailing the ticked documents.
#include "shell/frmMain.h"

#include "base/modResources.h"
#include "platform/db/DbError.h"
#include "platform/ui/Ui.h"
#include "reports/MailDocuments.h"
#include "reports/frmCopy.h"
#include "reports/frmPrinter.h"
#include "reports/frmSelectFiles.h"
#include "store/AttachmentCache.h"
#include "store/frmAttach.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QTreeWidget>

namespace brevant::shell {

namespace {

constexpr int TagRole = Qt::UserRole;
constexpr int IconRole = Qt::UserRole + 1;

QList<reports::DocumentRow> rowsOf(const QTreeWidget* list, int tagRole) {
    QList<reports::DocumentRow> rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        rows.append({item->data(0, tagRole).toString(), item->checkState(0) == Qt::Checked,
                     item->data(0, IconRole).toInt()});
    }
    return rows;
}

void noProjectSelected() {
    ui::message(
        QCoreApplication::translate("brevant::shell::frmMain", "No project(s) selected ..."),
        ui::Buttons::Ok, ui::Icon::Information,
        QCoreApplication::translate("brevant::shell::frmMain", "System Message"));
}

} // namespace

void frmMain::printButton(const QString& kind) {
    if (!selectedJobId()) {
        noProjectSelected();
        return;
    }
    reports::frmPrinter(kind, this).exec();
}

void frmMain::mnuListPrintSummary_Click() {
    if (!AnyChecked(ListView1)) {
        ui::message(tr("No project(s) were selected for printing ..."), ui::Buttons::Ok,
                    ui::Icon::Information, tr("System Message"));
        return;
    }
    reports::frmPrinter(QStringLiteral("FULL"), this).exec();
}

void frmMain::mnuFile_Copy_Click() {
    const std::optional<int> project = selectedJobId();
    if (!project) {
        noProjectSelected();
        return;
    }
    reports::frmCopy(*project, this).exec();
}

void frmMain::mnuFileEmail_Click() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Ticked attachments go as files of this PC: a firm store's are fetched into its cache.
    QList<reports::DocumentRow> attachments =
        rowsOf(ListView5, store::frmAttach::kAttachmentPathRole);
    for (int i = 0; i < attachments.size(); ++i) {
        const QTreeWidgetItem* item = ListView5->topLevelItem(i);
        if (!attachments[i].checked || !modResources::DbConnection)
            continue;
        try {
            attachments[i].tag = store::AttachmentFileToSend(
                *modResources::DbConnection, modResources::CacheLocation,
                item->data(0, store::frmAttach::kAttachmentContentRole).toString(), item->text(0),
                attachments[i].tag);
        } catch (const db::DbError& e) {
            QApplication::restoreOverrideCursor();
            ui::message(e.description(), ui::Buttons::Ok, ui::Icon::Exclamation,
                        tr("System Error"));
            return;
        }
    }
    const QString selection =
        reports::BuildMailSelection(rowsOf(ListView2, TagRole), rowsOf(ListView3, TagRole),
                                    rowsOf(ListView4, TagRole), attachments);
    const std::optional<int> project = selectedJobId();
    const QTreeWidgetItem* row = project ? FindProjectRow(*project) : nullptr;
    if (selection.isEmpty() || !row) {
        ui::message(reports::NoFilesSelectedText(), ui::Buttons::Ok, ui::Icon::Information,
                    tr("System Message"));
        QApplication::restoreOverrideCursor();
        return;
    }
    const QString folder = QDir(modResources::CacheLocation).filePath(QString::number(*project));
    reports::frmSelectFiles form(selection, folder, row->text(1), this);
    QApplication::restoreOverrideCursor();
    form.exec();
}

} // namespace brevant::shell
