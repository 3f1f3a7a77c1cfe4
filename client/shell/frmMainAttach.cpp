// The main window's attachment list (its "&Attach" pop-up menu and files dropped on it), the
// assignment commands of the project list and the current job listing report. What each
// command does is in store/AttachmentCommands, store/Assignments and reports/.
#include "shell/frmMain.h"

#include "base/ImageIndexes.h"
#include "base/ProgramFolders.h"
#include "base/modResources.h"
#include "platform/db/DbError.h"
#include "platform/richtext/RtfDocument.h"
#include "platform/ui/Ui.h"
#include "reports/ProjectListReport.h"
#include "reports/frmReportView.h"
#include "store/Assignments.h"
#include "store/AttachmentCommands.h"
#include "store/Attachments.h"
#include "store/frmAssign.h"
#include "store/frmAttach.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTextEdit>
#include <QTreeWidget>
#include <QUrl>
#include <harlix/ComError.h>
#include <stdexcept>

namespace brevant::shell {

namespace {

void hourglass(bool on) {
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void showError(const QString& text) {
    ui::message(text, ui::Buttons::Ok, ui::Icon::Exclamation,
                QCoreApplication::translate("brevant::shell::frmMain", "System Error"));
}

// The local files of a drag, in order.
QStringList droppedFiles(const QMimeData* data) {
    QStringList files;
    if (!data)
        return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    return files;
}

} // namespace

store::AttachmentContext frmMain::attachmentContext() {
    store::AttachmentContext c;
    c.connection = modResources::DbConnection.get();
    c.cacheLocation = modResources::CacheLocation;
    // The window's current project, the one whose attachments are listed.
    c.jobId = selectedJobId();
    c.askDescription = [this] { return store::frmAttach(DialogResult, this).Ask(); };
    c.reload = [this](int jobId) { LoadAttachments(jobId); };
    c.hourglass = hourglass;
    return c;
}

void frmMain::LoadAttachments(int jobId) {
    // Drops go to the list's viewport, where the window's event filter sees them; it takes
    // them once a project's attachments are listed.
    ListView5->viewport()->setAcceptDrops(true);
    ListView5->clear();
    if (!modResources::DbConnection)
        return;
    try {
        store::frmAttach::FillAttachmentList(
            ListView5, store::LoadAttachments(*modResources::DbConnection, jobId));
        // Our own pictures for the known file types, where the image list has them.
        for (int i = 0; i < ListView5->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = ListView5->topLevelItem(i);
            const QIcon icon =
                ImageList2.icon(base::AttachmentImage(item->data(0, Qt::UserRole).toString()));
            if (!icon.isNull())
                item->setIcon(0, icon);
        }
    } catch (const db::DbError& e) {
        showError(QStringLiteral("%1 %2").arg(e.number()).arg(e.description()));
    }
}

void frmMain::mnuAttachAdd_Click() {
    store::AttachDocument(attachmentContext());
}

void frmMain::mnuAttachDel_Click() {
    QTreeWidgetItem* row = ListView5->currentItem();
    store::RemoveSelectedDocument(attachmentContext(), row ? row->text(0) : QString());
}

void frmMain::mnuAttachOpen_Click() {
    if (QTreeWidgetItem* row = ListView5->currentItem())
        store::OpenDocument(attachmentContext(), row->text(0),
                            row->data(0, store::frmAttach::AttachmentFolderRole).toString(),
                            row->data(0, store::frmAttach::kAttachmentContentRole).toString());
}

bool frmMain::ListView5_DragDrop(QEvent* event) {
    auto* drop = static_cast<QDropEvent*>(event);
    const QStringList files = droppedFiles(drop->mimeData());
    if (files.isEmpty() || !selectedJobId()) {
        event->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (event->type() == QEvent::Drop)
        store::AttachDroppedFiles(attachmentContext(), files);
    return true;
}

store::AssignmentContext frmMain::assignmentContext() {
    store::AssignmentContext c;
    c.connection = modResources::DbConnection.get();
    c.checkedJobIds = checkedJobIds();
    c.askName = [this] { return store::frmAssign(DialogResult, this).Ask(); };
    c.showAssignment = [this](int jobId, const QString& name) {
        if (QTreeWidgetItem* row = FindProjectRow(jobId))
            row->setText(2, name);
    };
    c.hourglass = hourglass;
    return c;
}

void frmMain::mnuListAssign_Click() {
    store::SetAssignments(assignmentContext());
}

void frmMain::mnuListAssign2_Click() {
    store::ClearAssignments(assignmentContext());
}

void frmMain::mnuListJobList_Click() {
    QList<reports::ProjectListRow> rows;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
        rows.push_back({ListView1->topLevelItem(i)->text(0), ListView1->topLevelItem(i)->text(1)});
    const QDateTime now = QDateTime::currentDateTime();
    const QString rtf = reports::ProjectListReportRtf(rows, now);
    richtext::setRtf(*RichTextBox1->document(), rtf);
    try {
        reports::ProjectListReport(base::ProgramFolder(), rows, now);
        if (!reports::OpenProjectListReport(base::ProgramFolder()))
            (new reports::frmReportView(tr("Current Project List Report"), rtf, this))->show();
    } catch (const harlix::ComError& e) {
        showError(
            QStringLiteral("%1 %2").arg(e.number()).arg(QString::fromStdString(e.description())));
    } catch (const std::runtime_error& e) {
        showError(
            tr("Error creating the job listing report: %1").arg(QString::fromStdString(e.what())));
    }
}

} // namespace brevant::shell
